// Word matching: word boundaries and the search for a word's start in a text.
#include "word_match.h"

#include "foundation/status.h"
#include "search_scan.h"

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
    return ScanFind((const unsigned char *)text, 0, n, (const unsigned char *)word, m,
                    SCAN_WORD_START);
}
