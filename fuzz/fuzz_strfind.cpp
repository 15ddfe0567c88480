// libFuzzer target: StrFindNoCase against a naive leftmost search with ASCII folding. The input
// is split at its first zero byte into the word and the text; both answers must be the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "classification/search.h"

static unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

static const char *Naive(const char *text, const char *word) {
    if (*word == '\0' || *text == '\0') {
        return nullptr;
    }
    for (const char *t = text; *t; t++) {
        size_t k = 0;
        while (word[k] && t[k] && Fold((unsigned char)t[k]) == Fold((unsigned char)word[k])) {
            k++;
        }
        if (word[k] == '\0') {
            return t;
        }
    }
    return nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const uint8_t *zero = static_cast<const uint8_t *>(memchr(data, 0, size));
    size_t wordLength = zero ? (size_t)(zero - data) : size / 4;
    size_t textStart = zero ? wordLength + 1 : wordLength;
    char *word = static_cast<char *>(malloc(wordLength + 1));
    memcpy(word, data, wordLength);
    word[wordLength] = '\0';
    size_t textLength = size - textStart;
    char *text = static_cast<char *>(malloc(textLength + 1));
    memcpy(text, data + textStart, textLength);
    text[textLength] = '\0';
    if (StrFindNoCase(text, word) != Naive(text, word)) {
        abort();
    }
    free(text);
    free(word);
    return 0;
}
