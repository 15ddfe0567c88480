// Full-text search over the record table. A record's present fields are searched as one run of
// its text block; a match is kept only where a present field covers it, so the answer is the
// same as searching each present field in turn.
#include "search.h"

#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"

static inline unsigned char Fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

// Offset of the leftmost occurrence of word (m > 0 characters) in p[0..n), ignoring ASCII case,
// or -1. The first character is looked for alone; the rest is compared only at its hits.
static ptrdiff_t FindIn(const unsigned char *p, size_t n, const unsigned char *word, size_t m) {
    if (m == 0 || n < m) {
        return -1;
    }
    unsigned char first = Fold(word[0]);
    unsigned char other = first;
    if (first >= 'A' && first <= 'Z') {
        other = (unsigned char)(first - 'A' + 'a');
    }
    size_t last = n - m;
    for (size_t i = 0; i <= last; i++) {
        unsigned char c = p[i];
        if (c != first && c != other) {
            continue;
        }
        size_t k = 1;
        while (k < m && Fold(p[i + k]) == Fold(word[k])) {
            k++;
        }
        if (k == m) {
            return (ptrdiff_t)i;
        }
    }
    return -1;
}

const char *StrFindNoCase(const char *text, const char *word) {
    if (text == nullptr || word == nullptr || word[0] == '\0' || text[0] == '\0') {
        return nullptr;
    }
    ptrdiff_t at = FindIn((const unsigned char *)text, strlen(text), (const unsigned char *)word,
                          strlen(word));
    return at < 0 ? nullptr : text + at;
}

int32_t ClearSearchResults(SearchState *state) {
    if (state == nullptr) {
        return ERR_NULLPTR;
    }
    MemStrFree(state->searchWord);
    MemFree(state->hits);
    state->searchWord = nullptr;
    state->hits = nullptr;
    state->hitCount = 0;
    state->hitCapacity = 0;
    return 0;
}

int32_t AddSearchHit(SearchState *state, PageRef hit) {
    if (state == nullptr) {
        return ERR_NULLPTR;
    }
    if (state->hitCount >= state->hitCapacity) {
        int64_t entries = (int64_t)state->hitCount + HIT_GROWTH;
        int64_t bytes = entries * (int64_t)sizeof(PageRef);
        PageRef *grown = bytes > INT32_MAX ? nullptr
                                           : (PageRef *)MemRealloc(state->hits, (int32_t)bytes);
        if (grown == nullptr) {
            return ERR_ALLOC;
        }
        state->hits = grown;
        state->hitCapacity = (int32_t)entries;
    }
    state->hits[state->hitCount] = hit;
    return state->hitCount++;
}

// 1 when some present field of r contains word. Present fields are zero-terminated runs inside
// r->text; a match found in the block counts only if a present field starts at or before it
// within the same run (the block may hold text that no field reaches: after the 40th ';' or
// after a zero byte of the data).
static int RecordContains(const TextRecord *r, const unsigned char *word, size_t m) {
    if (r->text == nullptr) {
        return 0;
    }
    int32_t lowest = -1;
    int32_t highest = -1;
    for (uint32_t j = 0; j < MAX_RECORD_FIELDS; j++) {
        int32_t off = r->fieldOffsets[j];
        if (off < 0) {
            continue;
        }
        if (lowest < 0 || off < lowest) {
            lowest = off;
        }
        if (off > highest) {
            highest = off;
        }
    }
    if (lowest < 0) {
        return 0;
    }
    const unsigned char *text = (const unsigned char *)r->text;
    size_t end = (size_t)highest + strlen(r->text + highest);
    size_t from = (size_t)lowest;
    while (from < end) {
        ptrdiff_t at = FindIn(text + from, end - from, word, m);
        if (at < 0) {
            return 0;
        }
        size_t x = from + (size_t)at;
        size_t runStart = x;
        while (runStart > 0 && text[runStart - 1] != '\0') {
            runStart--;
        }
        for (uint32_t j = 0; j < MAX_RECORD_FIELDS; j++) {
            int32_t off = r->fieldOffsets[j];
            if (off >= 0 && (size_t)off >= runStart && (size_t)off <= x) {
                return 1;
            }
        }
        from = x + 1;
    }
    return 0;
}

int32_t SearchRecords(SearchState *state, const RecordTable *table, const char *word,
                      SearchHitFn onHit, void *context) {
    if (state == nullptr || table == nullptr || word == nullptr) {
        return ERR_NULLPTR;
    }
    if (word[0] == '\0') {
        return ERR_EMPTY;
    }
    // The word may be the previous search's own copy: that copy goes only after the scan.
    char *previousWord = state->searchWord;
    state->searchWord = nullptr;
    ClearSearchResults(state);
    state->searchWord = MemStrDup(word);
    size_t m = strlen(word);
    const unsigned char *w = (const unsigned char *)word;
    for (uint32_t i = 0; table->records != nullptr && i < table->recordCount; i++) {
        const TextRecord *r = &table->records[i];
        if (r->marker != RECORD_MARKER || !RecordContains(r, w, m)) {
            continue;
        }
        PageRef hit = {PAGE_KIND_RECORD, (int32_t)i};
        int32_t number = AddSearchHit(state, hit);
        if (number >= 0 && onHit != nullptr) {
            onHit(context, number, &state->hits[number]);
        }
    }
    MemStrFree(previousWord);
    return 0;
}
