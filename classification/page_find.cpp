// Page find: a byte compare over Windows-1252 folded to upper case, as Unicode folds those letters.
#include "classification/page_find.h"

#include <cstring>

static unsigned char Upper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return (unsigned char)(c - 'a' + 'A');
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return (unsigned char)(c - 0x20);  // à..þ, not ÷
    switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
    }
}

int32_t PageTextFind(const char *text, int32_t length, const char *word, int32_t from) {
    if (!text || !word || !*word || from < 0) return -1;
    const int32_t n = (int32_t)strlen(word);
    for (int32_t at = from; at + n <= length; at++) {
        int32_t k = 0;
        while (k < n && Upper((unsigned char)text[at + k]) == Upper((unsigned char)word[k])) k++;
        if (k == n) return at;
    }
    return -1;
}
