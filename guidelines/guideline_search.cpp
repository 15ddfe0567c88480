// Each word is looked for once over all the text; the sections that hold it mark their
// ancestors, so a search costs one pass per word however deep the tree.
#include "guidelines/guideline_search.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "foundation/status.h"

// Byte classes, built once: whether a byte is part of a word, and its ASCII lower case.
struct ByteTables {
    uint8_t word[256];
    uint8_t lower[256];
    ByteTables() {
        for (int c = 0; c < 256; c++) {
            word[c] = isalnum(c) || c >= 0x80;
            lower[c] = (uint8_t)(c >= 'A' && c <= 'Z' ? c + 32 : c);
        }
    }
};
static const ByteTables kBytes;

// Whether a word of text (length bytes) begins with word (wordLength bytes, lower case).
static int HoldsWordStart(const char *text, int32_t length, const char *word, int32_t wordLength) {
    const uint8_t *t = (const uint8_t *)text, *w = (const uint8_t *)word;
    for (int32_t i = 0; i + wordLength <= length; i++) {
        if (kBytes.lower[t[i]] != w[0] || (i > 0 && kBytes.word[t[i - 1]])) continue;
        int32_t k = 1;
        while (k < wordLength && kBytes.lower[t[i + k]] == w[k]) k++;
        if (k == wordLength) return 1;
    }
    return 0;
}

int32_t GuidelineSearch(const GuidelineFile *file, const char *text, int32_t *hits,
                        int32_t capacity, int32_t *count) {
    if (!file || !text || !count || (!hits && capacity > 0)) return ERR_NULLPTR;
    *count = 0;
    // The words in lower case, one after another in lowered.
    char lowered[GUIDELINE_SEARCH_CHARS + 1];
    const char *words[GUIDELINE_SEARCH_MAX_WORDS];
    int32_t lengths[GUIDELINE_SEARCH_MAX_WORDS];
    int32_t wordCount = 0, used = 0;
    for (const char *at = text; *at;) {
        while (*at == ' ' || *at == '\t') at++;
        const char *start = at;
        while (*at && *at != ' ' && *at != '\t') at++;
        if (at == start) break;
        if (wordCount == GUIDELINE_SEARCH_MAX_WORDS || used + (at - start) > GUIDELINE_SEARCH_CHARS)
            return ERR_INVPARAM;
        words[wordCount] = lowered + used;
        for (const char *c = start; c < at; c++) lowered[used++] = (char)kBytes.lower[(uint8_t)*c];
        lengths[wordCount++] = (int32_t)(at - start);
    }
    if (wordCount == 0) return ERR_EMPTY;
    uint32_t *found = (uint32_t *)calloc((size_t)file->sectionCount + 1, sizeof(uint32_t));
    if (!found) return ERR_ALLOC;
    for (int32_t n = 0; n < file->sectionCount; n++) {
        const GuidelineSection *s = &file->sections[n];
        uint32_t own = 0;
        for (int32_t w = 0; w < wordCount; w++) {
            int held = HoldsWordStart(s->heading, (int32_t)strlen(s->heading), words[w], lengths[w]);
            for (int32_t l = 0; !held && l < s->lineCount; l++) {
                const GuidelineLine *line = &file->lines[s->firstLine + l];
                held = HoldsWordStart(line->text, line->length, words[w], lengths[w]);
            }
            if (held) own |= 1u << w;
        }
        for (int32_t p = n; p >= 0 && own; p = file->sections[p].parent) found[p] |= own;
    }
    const uint32_t all = wordCount == 32 ? 0xFFFFFFFFu : (1u << wordCount) - 1;
    for (int32_t depth = GUIDELINE_MAX_DEPTH; depth >= 0; depth--) {
        for (int32_t n = 0; n < file->sectionCount; n++) {
            if (file->sections[n].depth != depth || found[n] != all) continue;
            if (*count < capacity) hits[*count] = n;
            (*count)++;
        }
    }
    free(found);
    return 0;
}
