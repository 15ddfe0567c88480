// Full-text search over the record table. A record's present fields are searched as one run of
// its text block; a match is kept only where a present field covers it, so the answer is the
// same as searching each present field in turn.
#include "search.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "foundation/mem.h"
#include "foundation/status.h"

static inline unsigned char Fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

// 1 when p[0..m) equals word ignoring ASCII case.
static inline int MatchesAt(const unsigned char *p, const unsigned char *word, size_t m) {
    for (size_t k = 0; k < m; k++) {
        if (Fold(p[k]) != Fold(word[k])) {
            return 0;
        }
    }
    return 1;
}

// Offset of the leftmost occurrence of word (m > 0 characters) in p[0..n), ignoring ASCII case,
// or -1. Candidates are positions whose first two characters match; only those are compared in
// full. With SSE2, sixteen positions are tested at once.
static ptrdiff_t FindIn(const unsigned char *p, size_t n, const unsigned char *word, size_t m) {
    if (m == 0 || n < m) {
        return -1;
    }
    if (m == 1) {
        unsigned char first = Fold(word[0]);
        for (size_t i = 0; i < n; i++) {
            if (Fold(p[i]) == first) {
                return (ptrdiff_t)i;
            }
        }
        return -1;
    }
    size_t last = n - m;  // last candidate position
    size_t i = 0;
#if defined(__SSE2__)
    // A letter's two cases differ only in bit 0x20, and no other byte shares them once that bit
    // is set; any other character is compared as it is.
    const unsigned char w0 = Fold(word[0]);
    const unsigned char w1 = Fold(word[1]);
    const int letter0 = w0 >= 'A' && w0 <= 'Z';
    const int letter1 = w1 >= 'A' && w1 <= 'Z';
    const __m128i mask0 = _mm_set1_epi8(letter0 ? 0x20 : 0);
    const __m128i mask1 = _mm_set1_epi8(letter1 ? 0x20 : 0);
    const __m128i want0 = _mm_set1_epi8((char)(letter0 ? (w0 | 0x20) : w0));
    const __m128i want1 = _mm_set1_epi8((char)(letter1 ? (w1 | 0x20) : w1));
    // Blocks of 16 candidates whose second characters also lie inside p[0..n).
    while (last >= 16 && i <= last - 16) {
        __m128i a = _mm_loadu_si128((const __m128i *)(p + i));
        __m128i b = _mm_loadu_si128((const __m128i *)(p + i + 1));
        __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, mask0), want0),
                                    _mm_cmpeq_epi8(_mm_or_si128(b, mask1), want1));
        unsigned bits = (unsigned)_mm_movemask_epi8(hit);
        while (bits != 0) {
            size_t at = i + (size_t)__builtin_ctz(bits);
            if (MatchesAt(p + at + 2, word + 2, m - 2)) {
                return (ptrdiff_t)at;
            }
            bits &= bits - 1;
        }
        i += 16;
    }
#endif
    for (; i <= last; i++) {
        if (MatchesAt(p + i, word, m)) {
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
    // Branch-free, so that the compiler can vectorise it: absent offsets (-1) are the largest
    // unsigned values and the smallest signed ones.
    uint32_t lowest = UINT32_MAX;
    int32_t highest = -1;
    for (uint32_t j = 0; j < MAX_RECORD_FIELDS; j++) {
        int32_t off = r->fieldOffsets[j];
        lowest = (uint32_t)off < lowest ? (uint32_t)off : lowest;
        highest = off > highest ? off : highest;
    }
    if (highest < 0) {
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
    // Out of memory gives no results at all rather than a list with hits missing from it.
    if (state->searchWord == nullptr) {
        MemStrFree(previousWord);
        return ERR_ALLOC;
    }
    size_t m = strlen(word);
    const unsigned char *w = (const unsigned char *)word;
    for (uint32_t i = 0; table->records != nullptr && i < table->recordCount; i++) {
        const TextRecord *r = &table->records[i];
        if (r->marker != RECORD_MARKER || !RecordContains(r, w, m)) {
            continue;
        }
        PageRef hit = {PAGE_KIND_RECORD, (int32_t)i};
        int32_t number = AddSearchHit(state, hit);
        if (number < 0) {
            ClearSearchResults(state);
            MemStrFree(previousWord);
            return ERR_ALLOC;
        }
        if (onHit != nullptr) {
            onHit(context, number, &state->hits[number]);
        }
    }
    MemStrFree(previousWord);
    return 0;
}
