// Scanning core of the searches. A record's present fields are searched as one run of its text
// block; a match is kept only where a present field covers it, so the answer is the same as
// searching each present field in turn.
#include "search_scan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "word_match.h"

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

static inline int StartsWord(const unsigned char *text, size_t at) {
    return at == 0 || !WordCharIs(text[at - 1]);
}

// The word's first k characters (k = 1 or 2) are already known to match at `at`.
static inline int Accept(const unsigned char *text, size_t at, const unsigned char *word, size_t m,
                         size_t k, ScanMode mode) {
    return (mode != SCAN_WORD_START || StartsWord(text, at)) &&
           MatchesAt(text + at + k, word + k, m - k);
}

#if defined(__SSE2__)
// The bit that tells a letter's cases apart, in every lane; none for any other character.
static inline __m128i CaseMask(unsigned char c) {
    c = Fold(c);
    return _mm_set1_epi8((c >= 'A' && c <= 'Z') ? 0x20 : 0);
}

// What a lane holds, once or-ed with CaseMask(c), where the text has c in either case.
static inline __m128i Wanted(unsigned char c) {
    c = Fold(c);
    return _mm_set1_epi8((char)((c >= 'A' && c <= 'Z') ? (c | 0x20) : c));
}
#endif

ptrdiff_t ScanFind(const unsigned char *text, size_t from, size_t n, const unsigned char *word,
                   size_t m, ScanMode mode) {
    if (text == nullptr || word == nullptr || m == 0 || n < m || from > n - m) {
        return -1;
    }
    const size_t last = n - m;  // last candidate position
    size_t i = from;
#if defined(__SSE2__)
    // A letter's two cases differ only in bit 0x20, and no other byte shares them once that bit
    // is set; any other character is compared as it is. Candidates are positions whose first
    // two characters and last character match (fewer for a shorter word); the word's other
    // characters and the byte before are only looked at for those.
    const size_t lastChar = m > 2 ? m - 1 : 0;
    const __m128i mask0 = CaseMask(word[0]);
    const __m128i want0 = Wanted(word[0]);
    const __m128i mask1 = CaseMask(m > 1 ? word[1] : 0);
    const __m128i want1 = Wanted(m > 1 ? word[1] : 0);
    const __m128i maskN = CaseMask(word[lastChar]);
    const __m128i wantN = Wanted(word[lastChar]);
    const size_t known = m > 1 ? 2 : 1;
    // Blocks of 16 candidates whose characters compared here all lie inside text[0..n).
    while (i + 16 <= last) {
        __m128i a = _mm_loadu_si128((const __m128i *)(text + i));
        __m128i hit = _mm_cmpeq_epi8(_mm_or_si128(a, mask0), want0);
        if (m > 1) {
            __m128i b = _mm_loadu_si128((const __m128i *)(text + i + 1));
            hit = _mm_and_si128(hit, _mm_cmpeq_epi8(_mm_or_si128(b, mask1), want1));
        }
        if (lastChar > 0) {
            __m128i c = _mm_loadu_si128((const __m128i *)(text + i + lastChar));
            hit = _mm_and_si128(hit, _mm_cmpeq_epi8(_mm_or_si128(c, maskN), wantN));
        }
        unsigned bits = (unsigned)_mm_movemask_epi8(hit);
        while (bits != 0) {
            size_t at = i + (size_t)__builtin_ctz(bits);
            if (Accept(text, at, word, m, known, mode)) {
                return (ptrdiff_t)at;
            }
            bits &= bits - 1;
        }
        i += 16;
    }
#endif
    // The rest, fewer than 16 + m positions: most of a short field, so the first character
    // decides quickly.
    const unsigned char first = Fold(word[0]);
    for (; i <= last; i++) {
        if (Fold(text[i]) == first && Accept(text, i, word, m, 1, mode)) {
            return (ptrdiff_t)i;
        }
    }
    return -1;
}

// Lowest and highest present offset among the first N fields (count when N is 0). Branch-free,
// so that the compiler vectorises the usual whole-record case, whose count it then knows: absent
// offsets (-1) are the largest unsigned values and the smallest signed ones.
template <uint32_t N>
static inline void FieldBounds(const TextRecord *r, uint32_t *lowest, int32_t *highest,
                               uint32_t count = N) {
    uint32_t low = UINT32_MAX;
    int32_t high = -1;
    for (uint32_t j = 0; j < (N != 0 ? N : count); j++) {
        int32_t off = r->fieldOffsets[j];
        low = (uint32_t)off < low ? (uint32_t)off : low;
        high = off > high ? off : high;
    }
    *lowest = low;
    *highest = high;
}

int32_t ScanRecord(const TextRecord *r, const unsigned char *word, size_t m, ScanMode mode,
                   uint32_t fieldLimit) {
    if (r == nullptr || r->text == nullptr || m == 0) {
        return 0;
    }
    if (fieldLimit > MAX_RECORD_FIELDS) {
        fieldLimit = MAX_RECORD_FIELDS;
    }
    uint32_t lowest = UINT32_MAX;
    int32_t highest = -1;
    if (fieldLimit == MAX_RECORD_FIELDS) {
        FieldBounds<MAX_RECORD_FIELDS>(r, &lowest, &highest);
    } else {
        FieldBounds<0>(r, &lowest, &highest, fieldLimit);
    }
    if (highest < 0) {
        return 0;
    }
    // Present fields are zero-terminated runs inside the block; a match counts only if a present
    // field starts at or before it within the same run (the block may hold text that no field
    // reaches: after the 40th ';' or after a zero byte of the data). Fields follow the zero byte
    // that ended the one before, so a field's start is always the start of a word.
    const unsigned char *text = (const unsigned char *)r->text;
    size_t end = (size_t)highest + strlen(r->text + highest);
    size_t from = (size_t)lowest;
    while (from < end) {
        ptrdiff_t at = ScanFind(text, from, end, word, m, mode);
        if (at < 0) {
            return 0;
        }
        size_t x = (size_t)at;
        size_t runStart = x;
        while (runStart > 0 && text[runStart - 1] != '\0') {
            runStart--;
        }
        for (uint32_t j = 0; j < fieldLimit; j++) {
            int32_t off = r->fieldOffsets[j];
            if (off >= 0 && (size_t)off >= runStart && (size_t)off <= x) {
                return 1;
            }
        }
        from = x + 1;
    }
    return 0;
}
