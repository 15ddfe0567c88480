// Word matching: word boundaries and the search for a word's start in a text.
#include "word_match.h"

#include "foundation/status.h"

static inline unsigned char Fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

static inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int32_t WordCharIs(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 0x80;
}

int32_t WordSplit(const char *phrase, WordSpan *spans, int32_t capacity) {
    if (phrase == nullptr || (spans == nullptr && capacity > 0)) {
        return ERR_NULLPTR;
    }
    int32_t count = 0;
    int32_t i = 0;
    while (phrase[i] != '\0') {
        while (IsBlank(phrase[i])) {
            i++;
        }
        if (phrase[i] == '\0') {
            break;
        }
        int32_t start = i;
        while (phrase[i] != '\0' && !IsBlank(phrase[i])) {
            i++;
        }
        if (count < capacity) {
            spans[count].offset = start;
            spans[count].length = i - start;
        }
        if (count < INT32_MAX) {
            count++;
        }
    }
    return count;
}

ptrdiff_t WordStartFind(const char *text, size_t n, const char *word, size_t m) {
    if (text == nullptr || word == nullptr || m == 0 || n < m) {
        return -1;
    }
    const unsigned char *t = (const unsigned char *)text;
    const unsigned char *w = (const unsigned char *)word;
    const unsigned char first = Fold(w[0]);
    for (size_t i = 0; i + m <= n; i++) {
        if (Fold(t[i]) != first || (i > 0 && WordCharIs(t[i - 1]))) {
            continue;
        }
        size_t k = 1;
        while (k < m && Fold(t[i + k]) == Fold(w[k])) {
            k++;
        }
        if (k == m) {
            return (ptrdiff_t)i;
        }
    }
    return -1;
}
