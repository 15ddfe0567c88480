// Codes are read by their shape: a capital, a digit (or a second capital before a digit, as in
// QA1), a letter or digit, then an optional "." part; a word that goes on is no code.
#include "guidelines/guideline_refs.h"

#include <cctype>
#include <cstring>
#include <strings.h>

static bool IsWord(char c) { return isalnum((unsigned char)c); }

// Length of one code at text[at], copied without a final "." or "-" into code; 0 when none.
static int32_t OneCode(const char *text, int32_t length, int32_t at, char code[GUIDELINE_CODE_CHARS]) {
    if (at > 0 && IsWord(text[at - 1])) return 0;
    if (at + 3 > length || !isupper((unsigned char)text[at])) return 0;
    const unsigned char second = (unsigned char)text[at + 1], third = (unsigned char)text[at + 2];
    if (!(isdigit(second) && isalnum(third)) && !(isupper(second) && isdigit(third))) return 0;
    int32_t k = at + 3;
    if (k + 1 < length && text[k] == '.' && isalnum((unsigned char)text[k + 1])) {
        k++;
        while (k < length && (isupper((unsigned char)text[k]) || isdigit((unsigned char)text[k])))
            k++;
    }
    if (k < length && IsWord(text[k])) return 0;
    const int32_t stem = k;
    // "Z68.-", "T36.0X5-": every code below.
    if (k + 1 < length && text[k] == '.' && text[k + 1] == '-') k += 2;
    else if (k < length && text[k] == '-' && (k + 1 >= length || !IsWord(text[k + 1]))) k++;
    if (stem - at >= GUIDELINE_CODE_CHARS) return 0;
    memcpy(code, text + at, (size_t)(stem - at));
    code[stem - at] = '\0';
    return k - at;
}

int32_t GuidelineCodeAt(const char *text, int32_t length, int32_t at, GuidelineCodeSpan *span) {
    const int32_t n = OneCode(text, length, at, span->low);
    if (n == 0) return 0;
    strcpy(span->high, span->low);
    // A range: "-" right after a code, or " – " (Windows-1252 en dash) or " - " between two.
    int32_t j = at + n;
    if (text[j - 1] != '-' && j < length && text[j] == '-') {
        j++;
    } else if (j + 2 < length && text[j] == ' ' && (text[j + 1] == '-' || text[j + 1] == '\x96') &&
               text[j + 2] == ' ') {
        j += 3;
    } else {
        return n;
    }
    char high[GUIDELINE_CODE_CHARS];
    const int32_t m = j < length ? OneCode(text, length, j, high) : 0;
    if (m == 0) return n;
    strcpy(span->high, high);
    return j + m - at;
}

// Compares a and b over the shorter of them: a code sorts with its own prefixes.
static int ComparePrefix(const char *a, const char *b) {
    const size_t n = strlen(a) < strlen(b) ? strlen(a) : strlen(b);
    return strncmp(a, b, n);
}

bool GuidelineSpansMeet(const GuidelineCodeSpan *a, const GuidelineCodeSpan *b) {
    return ComparePrefix(a->low, b->high) <= 0 && ComparePrefix(b->low, a->high) <= 0;
}

bool GuidelineSpanOfCode(const char *code, GuidelineCodeSpan *span) {
    if (!code || !span) return false;
    const int32_t length = (int32_t)strlen(code);
    return length > 0 && GuidelineCodeAt(code, length, 0, span) == length;
}

// The section whose ID is the length bytes at text, trying shorter when a closing full stop or
// parenthesis came along ("Section I.B.14." ends a sentence); -1 and *used 0 when none.
static int32_t LongestId(const GuidelineFile *file, const char *text, int32_t length, int32_t *used) {
    char id[64];
    for (int32_t n = length < (int32_t)sizeof id ? length : (int32_t)sizeof id - 1; n > 0; n--) {
        // Not into a word, nor with the full stop after an ID.
        if ((n < length && IsWord(text[n]) && IsWord(text[n - 1])) || text[n - 1] == '.') continue;
        memcpy(id, text, (size_t)n);
        id[n] = '\0';
        const int32_t section = GuidelineFind(file, id);
        if (section >= 0) {
            *used = n;
            return section;
        }
    }
    *used = 0;
    return -1;
}

int32_t GuidelineReferenceAt(const GuidelineFile *file, const char *text, int32_t length,
                             int32_t at, int32_t *section) {
    if (at > 0 && IsWord(text[at - 1])) return 0;
    static const char SECTION[] = "Section ";
    const int32_t w = (int32_t)sizeof SECTION - 1;
    int32_t start = -1;
    if (at + w < length && strncmp(text + at, SECTION, (size_t)w) == 0) {
        start = at + w;
    } else if (at >= 4 && strncasecmp(text + at - 4, "see ", 4) == 0) {
        start = at;  // "See I.C.21. for ...": an ID with a dot of its own
    } else {
        return 0;
    }
    int32_t end = start;
    while (end < length && (IsWord(text[end]) || strchr(".()", text[end]))) end++;
    if (start == at && !memchr(text + start, '.', (size_t)(end - start))) return 0;
    int32_t used = 0;
    const int32_t found = LongestId(file, text + start, end - start, &used);
    if (found < 0 || (start == at && !memchr(text + start, '.', (size_t)used))) return 0;
    *section = found;
    return start + used - at;
}
