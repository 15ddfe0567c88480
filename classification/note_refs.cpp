// Note references: the shapes a coder reads as codes in a note, what a reference covers, and the
// per-record cache that parses each note once however many encounters ask.
#include "note_refs.h"

#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"

static bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
static bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
static bool IsCodeChar(unsigned char c) { return IsUpper(c) || IsDigit(c); }

// One code of a reference at p into out (dot left out); its length as written, 0 when none.
static int32_t CodeAt(const unsigned char *p, char *out) {
    if (!IsUpper(p[0]) || !IsDigit(p[1]) || !IsCodeChar(p[2])) return 0;
    memcpy(out, p, 3);
    int32_t n = 3, k = 3;
    if (p[3] == '.' && IsCodeChar(p[4])) {
        n = 4;
        while (n < 8 && IsCodeChar(p[n])) out[k++] = (char)p[n++];
    }
    out[k] = '\0';
    return n;
}

int32_t NoteRefAt(const char *text, NoteRef *ref) {
    if (text == nullptr || ref == nullptr) return 0;
    const unsigned char *p = (const unsigned char *)text;
    int32_t n = CodeAt(p, ref->first);
    if (n == 0) return 0;
    ref->suffix.count = 0;
    memcpy(ref->last, ref->first, sizeof ref->last);
    if (p[n] == '-') {
        int32_t second = CodeAt(p + n + 1, ref->last);
        if (second > 0) n += 1 + second;
    }
    // "O24.4-", "E08.-": all codes below, which a code covers anyway.
    if (p[n] == '-') {
        n++;
    } else if (p[n] == '.' && p[n + 1] == '-') {
        n += 2;
    }
    return n;
}

int32_t NoteRefCovers(const NoteRef *ref, const char *code) {
    if (ref == nullptr || code == nullptr) return 0;
    // strncmp stops at the code's end, which then compares below: a shorter code that is a
    // beginning of S is below S, as the rule has it.
    return strncmp(code, ref->first, strlen(ref->first)) >= 0 &&
           strncmp(code, ref->last, strlen(ref->last)) <= 0 &&
           NoteSuffixMatches(&ref->suffix, code);
}

int32_t NoteRefSame(const NoteRef *a, const NoteRef *b) {
    if (a == nullptr || b == nullptr) return 0;
    return strcmp(a->first, b->first) == 0 && strcmp(a->last, b->last) == 0 &&
           NoteSuffixSame(&a->suffix, &b->suffix);
}

int32_t NoteRefCoveredRun(const NoteRef *ref, const char *const *keys, int32_t count, int32_t *lo,
                          int32_t *hi) {
    if (ref == nullptr || keys == nullptr || lo == nullptr || hi == nullptr) return ERR_NULLPTR;
    // Both tests are monotone over sorted keys, so each end is a binary search.
    size_t firstLength = strlen(ref->first), lastLength = strlen(ref->last);
    int32_t a = 0, b = count;
    while (a < b) {
        int32_t m = a + (b - a) / 2;
        if (strncmp(keys[m], ref->first, firstLength) < 0) a = m + 1; else b = m;
    }
    *lo = a;
    b = count;
    while (a < b) {
        int32_t m = a + (b - a) / 2;
        if (strncmp(keys[m], ref->last, lastLength) <= 0) a = m + 1; else b = m;
    }
    *hi = a;
    return 0;
}

int32_t NoteRefCacheInit(NoteRefCache *cache, const RecordTable *table) {
    if (cache == nullptr || table == nullptr) return ERR_NULLPTR;
    memset(cache, 0, sizeof *cache);
    if ((uint64_t)table->recordCount * NOTE_REF_FIELDS * 2 * sizeof(int32_t) > INT32_MAX) {
        return ERR_ALLOC;
    }
    int32_t slots = (int32_t)(table->recordCount * NOTE_REF_FIELDS);
    cache->runs = (int32_t *)MemAlloc(2 * slots * (int32_t)sizeof(int32_t) + 1);
    if (cache->runs == nullptr) return ERR_ALLOC;
    cache->table = table;
    cache->slotCount = slots;
    return 0;
}

int32_t NoteRefCacheFree(NoteRefCache *cache) {
    if (cache == nullptr) return ERR_NULLPTR;
    MemFree(cache->runs);
    MemFree(cache->refs);
    memset(cache, 0, sizeof *cache);
    return 0;
}

static int32_t Append(NoteRefCache *cache, const NoteRef *ref) {
    if (cache->refCount == cache->refCapacity) {
        int32_t capacity = cache->refCapacity == 0 ? 256 : cache->refCapacity * 2;
        if (capacity > INT32_MAX / (int32_t)sizeof(NoteRef) / 2) return ERR_ALLOC;
        NoteRef *grown =
            (NoteRef *)MemRealloc(cache->refs, capacity * (int32_t)sizeof(NoteRef));
        if (grown == nullptr) return ERR_ALLOC;
        cache->refs = grown;
        cache->refCapacity = capacity;
    }
    cache->refs[cache->refCount++] = *ref;
    return 0;
}

// A suffix written at text + i ("with .42", "with 5th character 1") for the item's references
// since the last suffix; the characters read, 0 for none.
static int32_t Suffix(NoteRefCache *cache, const char *text, int32_t i, int32_t *pending) {
    if (text[i] != 'w' || strncmp(text + i, "with ", 5) != 0 || (i > 0 && IsCodeChar((unsigned char)text[i - 1])) ||
        (i > 0 && text[i - 1] >= 'a' && text[i - 1] <= 'z')) {
        return 0;
    }
    int32_t at = i + 5;
    while (text[at] == ' ') at++;
    NoteSuffix suffix;
    int32_t n = NoteSuffixAt(text + at, &suffix);
    if (n == 0 || *pending == cache->refCount) return 0;
    for (int32_t r = *pending; r < cache->refCount; r++) cache->refs[r].suffix = suffix;
    *pending = cache->refCount;
    return at + n - i;
}

// Every reference of text, item by item; a reference starts after no letter or digit.
static int32_t Parse(NoteRefCache *cache, const char *text) {
    int32_t item = 0, pending = cache->refCount;
    for (int32_t i = 0; text[i] != '\0';) {
        if (text[i] == '.' && text[i + 1] == '/') {
            i += 2;
            while (text[i] == '/') i++;
            item = i;
            pending = cache->refCount;
            continue;
        }
        int32_t read = Suffix(cache, text, i, &pending);
        if (read > 0) {
            i += read;
            continue;
        }
        NoteRef ref;
        int32_t n = (i == 0 || !IsCodeChar((unsigned char)text[i - 1])) ? NoteRefAt(text + i, &ref)
                                                                        : 0;
        if (n == 0) {
            i++;
            continue;
        }
        ref.offset = i;
        ref.length = n;
        ref.itemOffset = item;
        const char *end = strstr(text + i, "./");
        ref.itemLength = (int32_t)(end != nullptr ? end - text : (int32_t)strlen(text)) - item;
        int32_t status = Append(cache, &ref);
        if (status < 0) return status;
        i += n;
    }
    return 0;
}

static int32_t FieldSlot(uint32_t field) {
    switch (field) {
        case FIELD_USE_ADDITIONAL: return 0;
        case FIELD_EXCLUDES1: return 1;
        case FIELD_CODE_FIRST: return 2;
        case FIELD_CODE_ALSO: return 3;
        default: return -1;
    }
}

int32_t NoteRefCacheGet(NoteRefCache *cache, int32_t position, uint32_t field,
                        const NoteRef **refs, int32_t *count) {
    if (cache == nullptr || refs == nullptr || count == nullptr || cache->runs == nullptr) {
        return ERR_NULLPTR;
    }
    *refs = nullptr;
    *count = 0;
    int32_t slot = FieldSlot(field);
    if (slot < 0 || position < 0 || (uint32_t)position >= cache->table->recordCount) {
        return ERR_INVPARAM;
    }
    int32_t *run = &cache->runs[2 * (position * NOTE_REF_FIELDS + slot)];
    if (run[0] == 0) {
        int32_t first = cache->refCount;
        int32_t status = Parse(cache, RecordField(&cache->table->records[position], field));
        if (status < 0) {
            cache->refCount = first;
            return status;
        }
        run[0] = first + 1;
        run[1] = cache->refCount - first;
    }
    if (run[1] > 0) {
        *refs = &cache->refs[run[0] - 1];
        *count = run[1];
    }
    return 0;
}
