// Suffix restrictions of note references: a list of dot suffixes after a category, or ordinal
// character positions with their values. Only the shapes read here restrict; any other word
// after "with" leaves the reference whole, so a misread note errs toward covering more.
#include "note_suffix.h"

#include <cstring>

static bool IsCodeChar(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
static bool IsLower(unsigned char c) { return c >= 'a' && c <= 'z'; }

// Up to NOTE_SUFFIX_CHARS code characters at p into out; the count, 0 when none or too many.
static int32_t Value(const char *p, char *out) {
    int32_t n = 0;
    while (IsCodeChar((unsigned char)p[n])) n++;
    if (n == 0 || n > NOTE_SUFFIX_CHARS) return 0;
    memcpy(out, p, (size_t)n);
    out[n] = '\0';
    return n;
}

static bool Add(NoteSuffix *s, int8_t position, const char *lo, const char *hi) {
    if (s->count >= NOTE_SUFFIX_ALTS) return false;
    NoteSuffixAlt *a = &s->alts[s->count++];
    a->position = position;
    strcpy(a->lo, lo);
    strcpy(a->hi, hi);
    return true;
}

// Blanks, commas, "or", "and", and a sentence's stray ". " between values.
static int32_t Gap(const char *p) {
    int32_t n = 0;
    for (;;) {
        if (p[n] == ' ' || p[n] == ',') {
            n++;
        } else if (p[n] == '.' && p[n + 1] == ' ') {
            n++;
        } else if (strncmp(p + n, "or ", 3) == 0) {
            n += 3;
        } else if (strncmp(p + n, "and ", 4) == 0) {
            n += 4;
        } else {
            return n;
        }
    }
}

// ".42", ".51-.52", ".61-", ".14, .24, .94": the characters after a category's three.
static int32_t DotList(const char *text, NoteSuffix *s) {
    int32_t used = 0;
    for (const char *p = text;;) {
        char lo[NOTE_SUFFIX_CHARS + 1], hi[NOTE_SUFFIX_CHARS + 1];
        if (p[0] != '.') break;
        int32_t n = Value(p + 1, lo);
        if (n == 0) break;
        p += 1 + n;
        strcpy(hi, lo);
        if (p[0] == '-' && p[1] == '.' && Value(p + 2, hi) > 0) {
            p += 2 + strlen(hi);
        } else if (p[0] == '-') {
            p++;  // ".61-": everything below .61, which a beginning covers anyway
        }
        if (!Add(s, 4, lo, hi)) return -1;
        used = (int32_t)(p - text);
        p += Gap(p);
    }
    return used;
}

struct Ordinal {
    const char *word;
    int8_t position;
};
static const Ordinal kOrdinals[] = {
    {"4th", 4},   {"fourth", 4}, {"5th", 5},     {"fifth", 5}, {"6th", 6},   {"sixth", 6},
    {"six", 6},   {"7th", 7},    {"seventh", 7}, {"final", 0},
};

static int32_t OrdinalAt(const char *p, int8_t *position) {
    for (const Ordinal &o : kOrdinals) {
        size_t n = strlen(o.word);
        if (strncmp(p, o.word, n) == 0 && !IsLower((unsigned char)p[n])) {
            *position = o.position;
            return (int32_t)n;
        }
    }
    return 0;
}

// "fifth or sixth character 1-4 or 6", "7th character B or C", "fifth to sixth characters 51",
// "final characters -23", "5th character .6".
static int32_t Ordinals(const char *text, NoteSuffix *s) {
    int8_t positions[4];
    int32_t count = 0;
    bool span = false;
    const char *p = text;
    for (;;) {
        int8_t position = 0;
        int32_t n = OrdinalAt(p, &position);
        if (n == 0 || count == 4) return 0;
        positions[count++] = position;
        p += n;
        if (strncmp(p, " or ", 4) == 0) {
            p += 4;
        } else if (strncmp(p, " to ", 4) == 0) {
            span = true;
            p += 4;
        } else {
            break;
        }
    }
    if (*p == '-' || *p == ' ') p++;
    if (strncmp(p, "character", 9) != 0) return 0;
    p += 9;
    if (*p == 's') p++;
    if (*p != ' ') return 0;
    p++;
    int32_t used = 0;
    for (;;) {
        char lo[NOTE_SUFFIX_CHARS + 1], hi[NOTE_SUFFIX_CHARS + 1];
        const char *v = p;
        if (*v == '-' || *v == '.') v++;  // "-23": the final characters; ".6": the dot of a code
        int32_t n = Value(v, lo);
        if (n == 0) break;
        v += n;
        strcpy(hi, lo);
        if (v[0] == '-' && Value(v + 1, hi) > 0) v += 1 + strlen(hi);
        for (int32_t k = 0; k < (span ? 1 : count); k++) {
            if (!Add(s, positions[k], lo, hi)) return -1;
        }
        used = (int32_t)(v - text);
        p = v + Gap(v);
    }
    return used;
}

int32_t NoteSuffixAt(const char *text, NoteSuffix *suffix) {
    if (suffix == nullptr) return 0;
    memset(suffix, 0, sizeof *suffix);
    if (text == nullptr) return 0;
    int32_t n = text[0] == '.' ? DotList(text, suffix) : Ordinals(text, suffix);
    if (n <= 0) memset(suffix, 0, sizeof *suffix);
    return n > 0 ? n : 0;
}

static bool AltMatches(const NoteSuffixAlt *a, const char *code) {
    size_t length = strlen(code), lo = strlen(a->lo), hi = strlen(a->hi);
    const char *at;
    if (a->position == 0) {
        if (length < lo || lo != hi) return false;
        at = code + length - lo;
    } else {
        if (length < (size_t)a->position) return false;
        at = code + a->position - 1;
    }
    return strncmp(at, a->lo, lo) >= 0 && strncmp(at, a->hi, hi) <= 0;
}

int32_t NoteSuffixMatches(const NoteSuffix *suffix, const char *code) {
    if (suffix == nullptr || suffix->count == 0) return 1;
    if (code == nullptr) return 0;
    for (int32_t k = 0; k < suffix->count; k++) {
        if (AltMatches(&suffix->alts[k], code)) return 1;
    }
    return 0;
}

int32_t NoteSuffixSame(const NoteSuffix *a, const NoteSuffix *b) {
    if (a == nullptr || b == nullptr || a->count != b->count) return 0;
    for (int32_t k = 0; k < a->count; k++) {
        const NoteSuffixAlt *x = &a->alts[k], *y = &b->alts[k];
        if (x->position != y->position || strcmp(x->lo, y->lo) != 0 || strcmp(x->hi, y->hi) != 0) {
            return 0;
        }
    }
    return 1;
}
