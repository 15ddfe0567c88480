// The encounter rules: invalid and repeated codes, Excludes1 pairs, a manifestation code listed
// first, and the reminders of "Code first" and "Use additional code". Each note's references come
// from the cache, and which codes they cover from binary searches over the codes sorted by key.
#include <algorithm>
#include <cstring>

#include "encounter.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static int32_t Add(Encounter *e, EncounterFindingKind kind, int32_t code, int32_t other,
                   int32_t record, uint32_t field, int32_t refOffset) {
    if (MemReserve((void **)&e->findings, &e->findingCapacity, (int64_t)e->findingCount + 1,
                   (int32_t)sizeof(EncounterFinding), 16) < 0)
        return ERR_ALLOC;
    e->findings[e->findingCount++] = {kind, code, other, record, field, refOffset};
    if (EncounterFindingIsError(kind)) e->errorCount++;
    return 0;
}

// The code's record's parent, or 0 at the chapter (parents come before their children: a chain
// that does not go down ends too).
static int32_t Up(const RecordTable *table, int32_t position) {
    uint32_t parent = table->records[position].parent;
    return (parent < (uint32_t)position && parent < table->recordCount) ? (int32_t)parent : 0;
}

// Codes that take part in the note rules: the first of their normal form, naming a record.
static bool Distinct(const Encounter *e, int32_t i) {
    return e->codes[i].first == i && e->codes[i].check.record > 0;
}

int32_t EncounterFindInvalid(Encounter *e) {
    if (e == nullptr) return ERR_NULLPTR;
    for (int32_t i = 0; i < e->codeCount; i++) {
        if (e->codes[i].check.validity == CODE_BILLABLE) continue;
        if (Add(e, FINDING_INVALID, i, -1, -1, 0, -1) < 0) return ERR_ALLOC;
    }
    return 0;
}

int32_t EncounterFindDuplicates(Encounter *e) {
    if (e == nullptr) return ERR_NULLPTR;
    for (int32_t i = 0; i < e->codeCount; i++) {
        if (e->codes[i].first == i) continue;
        if (Add(e, FINDING_DUPLICATE, i, e->codes[i].first, -1, 0, -1) < 0) return ERR_ALLOC;
    }
    return 0;
}

// Every B that a's Excludes1 notes cover, from the nearest record up, B's first finding kept.
static int32_t PairsOf(Encounter *e, int32_t a) {
    int32_t start = e->findingCount;
    for (int32_t p = e->codes[a].check.record; p > 0; p = Up(e->table, p)) {
        const NoteRef *refs = nullptr;
        int32_t count = 0;
        int32_t status = NoteRefCacheGet(&e->refs, p, FIELD_EXCLUDES1, &refs, &count);
        if (status < 0) return status;
        for (int32_t r = 0; r < count; r++) {
            int32_t lo = 0, hi = 0;
            NoteRefCoveredRun(&refs[r], e->keys, e->sortedCount, &lo, &hi);
            for (int32_t j = lo; j < hi; j++) {
                int32_t b = e->sorted[j];
                if (b == a || e->mark[b] == a) continue;
                e->mark[b] = a;
                if (Add(e, FINDING_EXCLUDES1, a, b, p, FIELD_EXCLUDES1, refs[r].offset) < 0) {
                    return ERR_ALLOC;
                }
            }
        }
    }
    std::sort(e->findings + start, e->findings + e->findingCount,
              [](const EncounterFinding &x, const EncounterFinding &y) { return x.other < y.other; });
    return 0;
}

int32_t EncounterFindExcludes1(Encounter *e) {
    if (e == nullptr) return ERR_NULLPTR;
    for (int32_t i = 0; i < e->codeCount; i++) e->mark[i] = -1;
    for (int32_t a = 0; a < e->codeCount; a++) {
        if (!Distinct(e, a)) continue;
        int32_t status = PairsOf(e, a);
        if (status < 0) return status;
    }
    return 0;
}

static bool ContainsNoCase(const char *text, const char *phrase) {
    size_t n = strlen(phrase);
    for (const char *p = text; *p != '\0'; p++) {
        size_t k = 0;
        while (k < n && p[k] != '\0' &&
               (p[k] == phrase[k] || (p[k] >= 'A' && p[k] <= 'Z' && p[k] + 32 == phrase[k]))) {
            k++;
        }
        if (k == n) return true;
    }
    return false;
}

static bool IsManifestationTitle(const char *title) {
    return ContainsNoCase(title, "in diseases classified elsewhere") ||
           ContainsNoCase(title, "in other diseases classified elsewhere") ||
           ContainsNoCase(title, "as the cause of diseases classified elsewhere");
}

int32_t EncounterFindManifestationFirst(Encounter *e) {
    if (e == nullptr) return ERR_NULLPTR;
    if (e->codeCount == 0 || e->codes[0].check.record <= 0) return 0;
    for (int32_t p = e->codes[0].check.record; p > 0; p = Up(e->table, p)) {
        CodeKind kind = RecordCodeKind(e->table, p);
        if (kind != CODE_KIND_LEAF && kind != CODE_KIND_HEADER) break;
        if (IsManifestationTitle(RecordField(&e->table->records[p], FIELD_TITLE))) {
            return Add(e, FINDING_MANIFESTATION_FIRST, 0, -1, p, FIELD_TITLE, -1);
        }
    }
    return 0;
}

// Whether one of the references is met: by a code listed before a (code first), or by any other
// code (use additional).
static bool Met(const Encounter *e, const NoteRef *refs, int32_t count, int32_t a, bool before) {
    for (int32_t r = 0; r < count; r++) {
        int32_t lo = 0, hi = 0;
        NoteRefCoveredRun(&refs[r], e->keys, e->sortedCount, &lo, &hi);
        if (before) {
            int32_t least = EncounterLeastPosition(e, lo, hi);
            if (least >= 0 && least < a) return true;
        } else if (hi - lo - (NoteRefCovers(&refs[r], e->codes[a].key) ? 1 : 0) > 0) {
            return true;
        }
    }
    return false;
}

static int32_t Reminders(Encounter *e, uint32_t field, EncounterFindingKind kind, bool before) {
    if (e == nullptr) return ERR_NULLPTR;
    for (int32_t a = 0; a < e->codeCount; a++) {
        if (!Distinct(e, a)) continue;
        for (int32_t p = e->codes[a].check.record; p > 0; p = Up(e->table, p)) {
            const NoteRef *refs = nullptr;
            int32_t count = 0;
            int32_t status = NoteRefCacheGet(&e->refs, p, field, &refs, &count);
            if (status < 0) return status;
            if (count > 0 && !Met(e, refs, count, a, before) &&
                Add(e, kind, a, -1, p, field, -1) < 0) {
                return ERR_ALLOC;
            }
        }
    }
    return 0;
}

int32_t EncounterFindCodeFirst(Encounter *e) {
    return Reminders(e, FIELD_CODE_FIRST, FINDING_CODE_FIRST, true);
}

int32_t EncounterFindUseAdditional(Encounter *e) {
    return Reminders(e, FIELD_USE_ADDITIONAL, FINDING_USE_ADDITIONAL, false);
}
