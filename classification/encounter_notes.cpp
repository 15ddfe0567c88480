// The notes' requests in a visit: "Code first", "Use additional code" and "Code also", each note
// read as requests (note_requests.h), met by the codes of the visit, weighed as a warning or a
// reminder, and given once per visit.
#include <cstring>

#include "encounter.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "note_requests.h"

struct NoteRule {
    uint32_t field;
    EncounterFindingKind kind;
    bool before;  // met only by a code listed before the one the note is on
    bool whole;   // the note's items are alternatives of one request
    bool warns;   // an unconditional request of the code's own record is a warning
};

// A code-first note names the one condition to code before; its items are alternatives.
static const NoteRule kCodeFirst = {FIELD_CODE_FIRST, FINDING_CODE_FIRST, true, true, true};
static const NoteRule kUseAdditional = {FIELD_USE_ADDITIONAL, FINDING_USE_ADDITIONAL, false,
                                        false, true};
// "Code also" names a condition that may be present, never the code's completion.
static const NoteRule kCodeAlso = {FIELD_CODE_ALSO, FINDING_CODE_ALSO, false, false, false};

enum : int32_t { NEARER_MAX = 16 };

// Whether a code of the visit other than a (before a, when asked) is covered by ref.
static bool Covered(const Encounter *e, const NoteRef *ref, int32_t a, bool before) {
    int32_t lo = 0, hi = 0;
    NoteRefCoveredRun(ref, e->keys, e->sortedCount, &lo, &hi);
    if (before && ref->suffix.count == 0) {
        int32_t least = EncounterLeastPosition(e, lo, hi);
        return least >= 0 && least < a;
    }
    for (int32_t k = lo; k < hi; k++) {
        int32_t j = e->sorted[k];
        if (j == a || (before && j > a) || !NoteRefCovers(ref, e->codes[j].key)) continue;
        return true;
    }
    return false;
}

// Any code before a that is no manifestation: the underlying disease a list of examples or a
// manifestation asks for.
static bool UnderlyingBefore(Encounter *e, int32_t a) {
    for (int32_t j = 0; j < a; j++) {
        if (e->codes[j].check.record > 0 && !EncounterIsManifestation(e, j)) return true;
    }
    return false;
}

static bool Contains(const NoteRef *a, int32_t na, const NoteRef *b, int32_t nb) {
    for (int32_t i = 0; i < nb; i++) {
        bool found = false;
        for (int32_t k = 0; k < na && !found; k++) found = NoteRefSame(&a[k], &b[i]) != 0;
        if (!found) return false;
    }
    return true;
}

static uint32_t Mix(uint32_t h, const char *s) {
    for (; *s != '\0'; s++) h = (h ^ (uint8_t)*s) * 16777619u;
    return (h ^ 0xFF) * 16777619u;
}

// Equal references hash alike (NoteRefSame).
static uint32_t RefHash(const NoteRef *ref) {
    uint32_t h = Mix(Mix(2166136261u, ref->first), ref->last);
    for (int32_t k = 0; k < ref->suffix.count; k++) {
        h = Mix((h ^ (uint32_t)ref->suffix.alts[k].position) * 16777619u, ref->suffix.alts[k].lo);
        h = Mix(h, ref->suffix.alts[k].hi);
    }
    return h;
}

// A new pass of the given notes: every slot of an older stamp is empty.
static void GivenReset(Encounter *e) {
    if (++e->givenStamp == 0) {
        if (e->given != nullptr) memset(e->given, 0, (size_t)e->givenCapacity * sizeof *e->given);
        e->givenStamp = 1;
    }
    e->givenCount = 0;
}

static void GivenPut(EncounterGiven *table, int32_t capacity, const EncounterGiven *entry,
                     uint32_t stamp) {
    uint32_t mask = (uint32_t)capacity - 1;
    uint32_t i = entry->hash & mask;
    while (table[i].stamp == stamp) i = (i + 1) & mask;
    table[i] = *entry;
}

// Puts the references of the note given at p; a full table grows.
static int32_t GivenAdd(Encounter *e, int32_t p, const NoteRef *refs, int32_t count) {
    if (2 * (e->givenCount + count) >= e->givenCapacity) {
        int32_t capacity = e->givenCapacity == 0 ? 64 : e->givenCapacity;
        while (2 * (e->givenCount + count) >= capacity) capacity *= 2;
        if (capacity > (1 << 26)) return ERR_ALLOC;
        EncounterGiven *grown =
            (EncounterGiven *)MemAlloc(capacity * (int32_t)sizeof(EncounterGiven));
        if (grown == nullptr) return ERR_ALLOC;
        memset(grown, 0, (size_t)capacity * sizeof *grown);
        for (int32_t i = 0; i < e->givenCapacity; i++) {
            if (e->given[i].stamp == e->givenStamp) GivenPut(grown, capacity, &e->given[i], e->givenStamp);
        }
        MemFree(e->given);
        e->given = grown;
        e->givenCapacity = capacity;
    }
    for (int32_t r = 0; r < count; r++) {
        EncounterGiven entry = {e->givenStamp, RefHash(&refs[r]), p};
        GivenPut(e->given, e->givenCapacity, &entry, e->givenStamp);
        e->givenCount++;
    }
    return 0;
}

// Whether a note given holds ref and, with it, is p's own note, contains p's references, or
// (first) is contained in them. Every note compared has been parsed, so getting it keeps p's
// references where they are.
static bool GivenNests(Encounter *e, const NoteRule *rule, int32_t p, const NoteRef *refs,
                       int32_t count, const NoteRef *ref, bool first) {
    if (e->givenCapacity == 0) return false;
    uint32_t hash = RefHash(ref), mask = (uint32_t)e->givenCapacity - 1;
    for (uint32_t i = hash & mask; e->given[i].stamp == e->givenStamp; i = (i + 1) & mask) {
        if (e->given[i].hash != hash) continue;
        int32_t q = e->given[i].record;
        if (q == p) return true;
        const NoteRef *other = nullptr;
        int32_t otherCount = 0;
        if (NoteRefCacheGet(&e->refs, q, rule->field, &other, &otherCount) < 0) continue;
        if (first ? Contains(other, otherCount, refs, count)
                  : NoteRefSame(&other[0], ref) && Contains(refs, count, other, otherCount)) {
            return true;
        }
    }
    return false;
}

// Whether p's note repeats one already weighed: given for an earlier code, or its references
// nested with those of a nearer record of this code or of a note already given.
static int32_t Repeats(Encounter *e, const NoteRule *rule, int32_t p, const int32_t *nearer,
                       int32_t nearerCount, int32_t givenFrom, bool *repeats) {
    *repeats = false;
    const NoteRef *refs = nullptr;
    int32_t count = 0;
    int32_t status = NoteRefCacheGet(&e->refs, p, rule->field, &refs, &count);
    if (status < 0) return status;
    if (count == 0) {
        // A manifestation's note without references: given at most once by its record.
        for (int32_t k = givenFrom; k < e->findingCount && !*repeats; k++) {
            *repeats = e->findings[k].kind == rule->kind && e->findings[k].record == p;
        }
        return 0;
    }
    for (int32_t k = 0; k < nearerCount && !*repeats; k++) {
        const NoteRef *other = nullptr;
        int32_t otherCount = 0;
        if (NoteRefCacheGet(&e->refs, nearer[k], rule->field, &other, &otherCount) < 0) continue;
        if (otherCount == 0) continue;
        *repeats = Contains(refs, count, other, otherCount) || Contains(other, otherCount, refs, count);
    }
    // A note given that contains p's holds its first reference; one that p contains begins with
    // one of p's.
    if (!*repeats) *repeats = GivenNests(e, rule, p, refs, count, &refs[0], true);
    for (int32_t r = 0; r < count && !*repeats; r++) {
        *repeats = GivenNests(e, rule, p, refs, count, &refs[r], false);
    }
    return 0;
}

// The requests of p's note that the visit leaves unmet for code a, and whether one is a warning.
static uint32_t Unmet(Encounter *e, const NoteRule *rule, int32_t a, int32_t p, bool *warn) {
    const NoteRef *refs = nullptr;
    int32_t count = 0;
    NoteRefCacheGet(&e->refs, p, rule->field, &refs, &count);
    NoteRequest requests[NOTE_REQUESTS_MAX];
    const char *note = RecordField(&e->table->records[p], rule->field);
    bool manifestation = rule->field == FIELD_CODE_FIRST && EncounterIsManifestation(e, a);
    bool own = p == e->codes[a].check.record;
    // The words matter for a warning and for examples to code first.
    bool words = (rule->warns && own) || rule->before;
    int32_t n = NoteRequestsRead(note, refs, count, rule->whole, words, requests,
                                 NOTE_REQUESTS_MAX);
    uint32_t unmet = 0;
    for (int32_t g = 0; g < n; g++) {
        const NoteRequest *q = &requests[g];
        bool met;
        if (manifestation || (rule->before && q->examples)) {
            met = UnderlyingBefore(e, a);
        } else {
            if (q->refCount == 0) continue;
            met = false;
            for (int32_t r = q->refFirst; r < q->refFirst + q->refCount && !met; r++) {
                met = Covered(e, &refs[r], a, rule->before);
            }
        }
        if (met) continue;
        unmet |= 1u << g;
        if (rule->warns && own && !q->conditional && !q->examples) *warn = true;
    }
    // A manifestation with nothing before it; first-listed, its own error says so.
    if (manifestation) *warn = unmet != 0 && a > 0;
    return unmet;
}

static int32_t Apply(Encounter *e, const NoteRule *rule) {
    if (e == nullptr) return ERR_NULLPTR;
    int32_t givenFrom = e->findingCount;
    GivenReset(e);
    for (int32_t a = 0; a < e->codeCount; a++) {
        if (!EncounterTakesPart(e, a)) continue;
        int32_t nearer[NEARER_MAX], nearerCount = 0;
        bool manifestation = false;
        for (int32_t p = e->codes[a].check.record; p > 0; p = EncounterParent(e, p)) {
            const char *note = RecordField(&e->table->records[p], rule->field);
            if (note[0] == '\0') continue;
            if (nearerCount == 0) {
                manifestation = rule->field == FIELD_CODE_FIRST && EncounterIsManifestation(e, a);
            }
            const NoteRef *refs = nullptr;
            int32_t count = 0;
            int32_t status = NoteRefCacheGet(&e->refs, p, rule->field, &refs, &count);
            if (status < 0) return status;
            if (count == 0 && !(manifestation && note[0] != '\0')) continue;
            bool repeats = false;
            status = Repeats(e, rule, p, nearer, nearerCount, givenFrom, &repeats);
            if (status < 0) return status;
            if (nearerCount < NEARER_MAX) nearer[nearerCount++] = p;
            if (repeats) continue;
            bool warn = false;
            uint32_t unmet = Unmet(e, rule, a, p, &warn);
            if (unmet != 0) {
                EncounterFinding f = {rule->kind, a, -1, p, rule->field, -1,
                                      warn ? LEVEL_WARNING : LEVEL_REMINDER, unmet, -1};
                if (EncounterAddFinding(e, &f) < 0) return ERR_ALLOC;
                // p was parsed above and nothing parsed since: refs is still p's.
                NoteRefCacheGet(&e->refs, p, rule->field, &refs, &count);
                if (GivenAdd(e, p, refs, count) < 0) return ERR_ALLOC;
            }
            // A manifestation asks for one underlying disease, whichever note names it.
            if (manifestation) break;
        }
    }
    return 0;
}

int32_t EncounterFindCodeFirst(Encounter *e) { return Apply(e, &kCodeFirst); }
int32_t EncounterFindUseAdditional(Encounter *e) { return Apply(e, &kUseAdditional); }
int32_t EncounterFindCodeAlso(Encounter *e) { return Apply(e, &kCodeAlso); }
