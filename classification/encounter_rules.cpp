// The encounter's errors of the classification: invalid and repeated codes, Excludes1 pairs, a
// manifestation code listed first. Each note's references come from the cache, and which codes
// they cover from binary searches over the codes sorted by key.
#include <algorithm>
#include <cstring>

#include "encounter.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static int32_t Add(Encounter *e, EncounterFindingKind kind, int32_t code, int32_t other,
                   int32_t record, uint32_t field, int32_t refOffset) {
    EncounterFinding f = {kind, code, other, record, field, refOffset, LEVEL_ERROR, 0, -1};
    return EncounterAddFinding(e, &f);
}

int32_t EncounterAddFinding(Encounter *e, const EncounterFinding *finding) {
    if (e == nullptr || finding == nullptr) return ERR_NULLPTR;
    if (MemReserve((void **)&e->findings, &e->findingCapacity, (int64_t)e->findingCount + 1,
                   (int32_t)sizeof(EncounterFinding), 16) < 0)
        return ERR_ALLOC;
    e->findings[e->findingCount++] = *finding;
    if (finding->level != LEVEL_REMINDER) e->errorCount++;
    return 0;
}

int32_t EncounterParent(const Encounter *e, int32_t position) {
    const RecordTable *table = e->table;
    if (position <= 0 || (uint32_t)position >= table->recordCount) return 0;
    uint32_t parent = table->records[position].parent;
    // Parents come before their children: a chain that does not go down ends too.
    return (parent < (uint32_t)position) ? (int32_t)parent : 0;
}

int32_t EncounterTakesPart(const Encounter *e, int32_t i) {
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
    for (int32_t p = e->codes[a].check.record; p > 0; p = EncounterParent(e, p)) {
        const NoteRef *refs = nullptr;
        int32_t count = 0;
        int32_t status = NoteRefCacheGet(&e->refs, p, FIELD_EXCLUDES1, &refs, &count);
        if (status < 0) return status;
        for (int32_t r = 0; r < count; r++) {
            int32_t lo = 0, hi = 0;
            NoteRefCoveredRun(&refs[r], e->keys, e->sortedCount, &lo, &hi);
            for (int32_t j = lo; j < hi; j++) {
                int32_t b = e->sorted[j];
                if (b == a || e->mark[b] == a || !NoteRefCovers(&refs[r], e->codes[b].key)) {
                    continue;
                }
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
        if (!EncounterTakesPart(e, a)) continue;
        int32_t status = PairsOf(e, a);
        if (status < 0) return status;
    }
    return 0;
}

int32_t EncounterFindManifestationFirst(Encounter *e) {
    if (e == nullptr) return ERR_NULLPTR;
    if (e->codeCount == 0 || e->codes[0].check.record <= 0 || !EncounterIsManifestation(e, 0)) {
        return 0;
    }
    // Marked by the list alone, the finding names the code's record and no field of it.
    int32_t record = EncounterManifestationRecord(e, 0);
    if (record > 0) return Add(e, FINDING_MANIFESTATION_FIRST, 0, -1, record, FIELD_TITLE, -1);
    return Add(e, FINDING_MANIFESTATION_FIRST, 0, -1, e->codes[0].check.record, 0, -1);
}

