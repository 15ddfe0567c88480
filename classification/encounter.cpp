// Encounter reading: typed codes split at their separators, each checked and kept with its whole
// normal form, repeats linked to their first, and the distinct codes sorted by key for the rules.
#include "encounter.h"

#include <algorithm>
#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"

int32_t EncounterIsSeparator(int32_t c) {
    return (c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r' || c == '\n') ? 1 : 0;
}

static int32_t Reserve(void **array, int32_t *capacity, int64_t need, int32_t size) {
    return MemReserve(array, capacity, need, size, 16);
}

int32_t EncounterInit(Encounter *e, const RecordTable *table, const SeventhCharTable *chars) {
    if (e == nullptr || table == nullptr) return ERR_NULLPTR;
    memset(e, 0, sizeof *e);
    int32_t status = NoteRefCacheInit(&e->refs, table);
    if (status < 0) return status;
    e->table = table;
    e->chars = chars;
    return 0;
}

int32_t EncounterFree(Encounter *e) {
    if (e == nullptr) return ERR_NULLPTR;
    NoteRefCacheFree(&e->refs);
    MemFree(e->codes);
    MemFree(e->normal);
    MemFree(e->token);
    MemFree(e->sorted);
    MemFree(e->keys);
    MemFree(e->runMin);
    MemFree(e->mark);
    MemFree(e->findings);
    MemFree(e->manifestationOf);
    MemFree(e->given);
    MemFree(e->ruleCodes);
    memset(e, 0, sizeof *e);
    return 0;
}

int32_t EncounterSetRelease(Encounter *e, const Releases *releases, int32_t release) {
    if (e == nullptr || releases == nullptr) return ERR_NULLPTR;
    if (release < 0 || release >= releases->count) return ERR_INVPARAM;
    e->releases = releases;
    e->release = release;
    return 0;
}

const char *EncounterCodeTitle(const Encounter *e, int32_t i, char *buffer, int32_t capacity) {
    if (buffer == nullptr || capacity < 0) return "";
    buffer[0] = '\0';
    if (e == nullptr || i < 0 || i >= e->codeCount) return buffer;
    const EncounterCode *c = &e->codes[i];
    ReleaseCheckResult r = {};
    r.check = c->check;
    r.title = c->title;
    return ReleasesCheckTitle(e->table, &r, buffer, capacity);
}

// The code as the release has it; one it does not hold names no record, so that no note of the
// newest release's table speaks for it.
static void CheckCode(Encounter *e, EncounterCode *c) {
    c->other = -1;
    if (e->releases == nullptr) {
        CodeCheck(e->table, e->chars, e->token, &c->check);
        c->status = c->check.validity == CODE_BILLABLE       ? RELEASE_BILLABLE
                    : c->check.validity == CODE_NOT_BILLABLE ? RELEASE_NOT_BILLABLE
                                                             : RELEASE_UNKNOWN;
        return;
    }
    ReleaseCheckResult r;
    ReleasesCheck(e->releases, e->release, e->table, e->chars, e->token, &r);
    c->check = r.check;
    c->status = r.status;
    c->other = r.other;
    c->title = r.title;
    if (r.status == RELEASE_BILLABLE) {
        c->check.validity = CODE_BILLABLE;
    } else if (r.status == RELEASE_NOT_BILLABLE) {
        c->check.validity = CODE_NOT_BILLABLE;
    } else {
        c->check.validity = CODE_UNKNOWN;
        c->check.kind = CODE_KIND_NONE;
        c->check.record = -1;
        c->check.def = nullptr;
        c->check.seventh = -1;
        c->check.meaning = nullptr;
    }
}

static void Empty(Encounter *e) {
    e->codeCount = 0;
    e->normalLength = 0;
    e->sortedCount = 0;
    e->runLevels = 0;
    e->findingCount = 0;
    e->errorCount = 0;
}

// Checks text[0..length) as one typed code and appends it.
static int32_t AddCode(Encounter *e, const char *text, int32_t length) {
    if (Reserve((void **)&e->token, &e->tokenCapacity, (int64_t)length + 1, 1) < 0 ||
        Reserve((void **)&e->codes, &e->codeCapacity, (int64_t)e->codeCount + 1,
                (int32_t)sizeof(EncounterCode)) < 0 ||
        Reserve((void **)&e->normal, &e->normalCapacity, (int64_t)e->normalLength + length + 2,
                1) < 0) {
        return ERR_ALLOC;
    }
    for (int32_t i = 0; i < length; i++) e->token[i] = text[i] == '\0' ? '?' : text[i];
    e->token[length] = '\0';
    EncounterCode *c = &e->codes[e->codeCount];
    memset(c, 0, sizeof *c);
    c->manifestation = -1;  // most visits never ask
    // The normal form adds one dot at most.
    c->normalOffset = e->normalLength;
    c->normalLength = CodeNormalise(e->token, e->normal + e->normalLength, length + 1);
    e->normalLength += c->normalLength;
    CheckCode(e, c);
    int32_t k = 0;
    for (const char *p = c->check.code; *p != '\0'; p++) {
        if (*p != '.') c->key[k++] = *p;
    }
    c->key[k] = '\0';
    c->first = e->codeCount++;
    return 0;
}

static bool SameNormal(const Encounter *e, int32_t a, int32_t b) {
    const EncounterCode *x = &e->codes[a], *y = &e->codes[b];
    return x->normalLength == y->normalLength &&
           memcmp(e->normal + x->normalOffset, e->normal + y->normalOffset,
                  (size_t)x->normalLength) == 0;
}

// Links each repeat to its first, through an order by normal form (then position).
static int32_t LinkRepeats(Encounter *e) {
    if (Reserve((void **)&e->sorted, &e->sortedCapacity, e->codeCount, 4) < 0) return ERR_ALLOC;
    for (int32_t i = 0; i < e->codeCount; i++) e->sorted[i] = i;
    std::sort(e->sorted, e->sorted + e->codeCount, [e](int32_t a, int32_t b) {
        const EncounterCode *x = &e->codes[a], *y = &e->codes[b];
        int32_t n = std::min(x->normalLength, y->normalLength);
        int c = memcmp(e->normal + x->normalOffset, e->normal + y->normalOffset, (size_t)n);
        if (c != 0) return c < 0;
        if (x->normalLength != y->normalLength) return x->normalLength < y->normalLength;
        return a < b;
    });
    for (int32_t i = 1; i < e->codeCount; i++) {
        int32_t previous = e->sorted[i - 1], here = e->sorted[i];
        if (SameNormal(e, previous, here)) e->codes[here].first = e->codes[previous].first;
    }
    return 0;
}

// The distinct codes that name a record, by key, and the least positions over their runs of
// 2^level, so that "is any covered code listed before this one" is one look per reference.
static int32_t SortByKey(Encounter *e) {
    int32_t n = 0;
    for (int32_t i = 0; i < e->codeCount; i++) {
        if (e->codes[i].first == i && e->codes[i].check.record > 0) e->sorted[n++] = i;
    }
    std::sort(e->sorted, e->sorted + n,
              [e](int32_t a, int32_t b) { return strcmp(e->codes[a].key, e->codes[b].key) < 0; });
    e->sortedCount = n;
    int32_t levels = 1;
    while ((1 << levels) <= n) levels++;
    if (Reserve((void **)&e->keys, &e->keyCapacity, n, (int32_t)sizeof(char *)) < 0 ||
        Reserve((void **)&e->runMin, &e->runMinCapacity, (int64_t)levels * n, 4) < 0 ||
        Reserve((void **)&e->mark, &e->markCapacity, e->codeCount, 4) < 0) {
        return ERR_ALLOC;
    }
    for (int32_t i = 0; i < n; i++) {
        e->keys[i] = e->codes[e->sorted[i]].key;
        e->runMin[i] = e->sorted[i];
    }
    for (int32_t level = 1; level < levels; level++) {
        int32_t *row = e->runMin + level * n, *below = row - n;
        int32_t half = 1 << (level - 1);
        for (int32_t i = 0; i + 2 * half <= n; i++) row[i] = std::min(below[i], below[i + half]);
    }
    e->runLevels = levels;
    return 0;
}

int32_t EncounterRead(Encounter *e, const char *text, size_t length) {
    if (e == nullptr || (text == nullptr && length > 0) || e->table == nullptr) return ERR_NULLPTR;
    Empty(e);
    if (length > (size_t)ENCOUNTER_MAX_TEXT) return ERR_TOOLONG;
    int32_t status = 0;
    for (size_t i = 0; i < length && status == 0;) {
        if (EncounterIsSeparator((unsigned char)text[i])) {
            i++;
            continue;
        }
        size_t start = i;
        while (i < length && !EncounterIsSeparator((unsigned char)text[i])) i++;
        status = AddCode(e, text + start, (int32_t)(i - start));
    }
    if (status == 0) status = LinkRepeats(e);
    if (status == 0) status = SortByKey(e);
    if (status < 0) Empty(e);
    return status;
}

int32_t EncounterLeastPosition(const Encounter *e, int32_t lo, int32_t hi) {
    if (e == nullptr || lo < 0 || hi > e->sortedCount || lo >= hi) return -1;
    int32_t level = 0;
    while ((2 << level) <= hi - lo) level++;
    const int32_t *row = e->runMin + level * e->sortedCount;
    return std::min(row[lo], row[hi - (1 << level)]);
}

int32_t EncounterFindingIsError(EncounterFindingKind kind) {
    return ((kind >= FINDING_INVALID && kind <= FINDING_MANIFESTATION_FIRST) ||
            kind == FINDING_GUIDELINE)
               ? 1
               : 0;
}

char EncounterFindingPrefix(const EncounterFinding *finding) {
    return finding != nullptr && finding->level == LEVEL_REMINDER ? '?' : '!';
}

int32_t EncounterCheck(Encounter *e) {
    if (e == nullptr || e->table == nullptr) return ERR_NULLPTR;
    e->findingCount = 0;
    e->errorCount = 0;
    int32_t (*const rules[])(Encounter *) = {
        EncounterFindInvalid,           EncounterFindDuplicates, EncounterFindExcludes1,
        EncounterFindManifestationFirst, EncounterFindGuidelines, EncounterFindCodeFirst,
        EncounterFindUseAdditional,     EncounterFindCodeAlso,
    };
    for (auto rule : rules) {
        int32_t status = rule(e);
        if (status < 0) return status;
    }
    std::stable_sort(e->findings, e->findings + e->findingCount,
                     [](const EncounterFinding &x, const EncounterFinding &y) {
                         return x.level < y.level;
                     });
    return 0;
}
