// Code references read with the same shapes the section pages link: "E11", "E11.9", "Z68.-",
// "T36-T50", "F01 – F99".
#include "guidelines/guideline_codes.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "foundation/status.h"

// Length of a code at text[at] (copied into code without a final "-", *below set for one), 0
// when none begins there.
static int32_t ReadCode(const char *text, int32_t length, int32_t at, char code[9], uint8_t *below) {
    if (at > 0 && isalnum((unsigned char)text[at - 1])) return 0;
    if (at + 3 > length || !isupper((unsigned char)text[at]) || !isdigit((unsigned char)text[at + 1]) ||
        !isalnum((unsigned char)text[at + 2]))
        return 0;
    int32_t k = at + 3;
    if (k + 1 < length && text[k] == '.' && (isalnum((unsigned char)text[k + 1]) || text[k + 1] == '-')) {
        k++;
        while (k < length && (isupper((unsigned char)text[k]) || isdigit((unsigned char)text[k]))) k++;
    }
    *below = 0;
    int32_t stem = k;
    if (k < length && text[k] == '-' && (k + 1 >= length || !isalnum((unsigned char)text[k + 1]))) {
        *below = 1;
        k++;
    }
    if (k < length && isalnum((unsigned char)text[k])) return 0;
    if (stem > at && text[stem - 1] == '.') stem--;
    if (stem - at > 8) return 0;
    memcpy(code, text + at, (size_t)(stem - at));
    code[stem - at] = '\0';
    return k - at;
}

static int32_t Gather(GuidelineCodeMap *map, int32_t *capacity, const char *text, int32_t length,
                      int32_t section) {
    for (int32_t i = 0; i < length;) {
        GuidelineCodeRef ref = {};
        const int32_t n = ReadCode(text, length, i, ref.low, &ref.below);
        if (n == 0) {
            i++;
            continue;
        }
        i += n;
        // A range: "-" right after a plain code, or " – " (Windows-1252 en dash) between two.
        int32_t j = i;
        if (!ref.below && j < length && text[j] == '-') j++;
        else if (j + 2 < length && text[j] == ' ' && (text[j + 1] == '-' || text[j + 1] == '\x96') &&
                 text[j + 2] == ' ')
            j += 3;
        uint8_t highBelow = 0;
        int32_t m = j > i ? ReadCode(text, length, j, ref.high, &highBelow) : 0;
        if (m > 0) i = j + m;
        else ref.high[0] = '\0';
        ref.section = section;
        if (map->count == *capacity) {
            const int32_t grown = *capacity ? *capacity * 2 : 256;
            GuidelineCodeRef *refs =
                (GuidelineCodeRef *)realloc(map->refs, (size_t)grown * sizeof(GuidelineCodeRef));
            if (!refs) return ERR_ALLOC;
            map->refs = refs;
            *capacity = grown;
        }
        map->refs[map->count++] = ref;
    }
    return 0;
}

int32_t GuidelineCodeMapBuild(GuidelineCodeMap *map, const GuidelineFile *file) {
    if (!map || !file) return ERR_NULLPTR;
    *map = GuidelineCodeMap{};
    int32_t capacity = 0;
    for (int32_t n = 0; n < file->sectionCount; n++) {
        const GuidelineSection *s = &file->sections[n];
        int32_t status = Gather(map, &capacity, s->heading, (int32_t)strlen(s->heading), n);
        for (int32_t l = 0; status >= 0 && l < s->lineCount; l++) {
            const GuidelineLine *line = &file->lines[s->firstLine + l];
            status = Gather(map, &capacity, line->text, line->length, n);
        }
        if (status < 0) {
            GuidelineCodeMapFree(map);
            return status;
        }
    }
    return 0;
}

void GuidelineCodeMapFree(GuidelineCodeMap *map) {
    if (!map) return;
    free(map->refs);
    *map = GuidelineCodeMap{};
}

static int Covers(const GuidelineCodeRef *ref, const char *code) {
    const size_t lowLength = strlen(ref->low);
    if (ref->high[0]) {
        const size_t highLength = strlen(ref->high);
        return strncmp(code, ref->low, lowLength) >= 0 &&
               (strncmp(code, ref->high, highLength) <= 0);
    }
    if (ref->below) return strncmp(code, ref->low, lowLength) == 0;
    return strcmp(code, ref->low) == 0 || (lowLength == 3 && strncmp(code, ref->low, 3) == 0);
}

int32_t GuidelineSectionsOf(const GuidelineFile *file, const GuidelineCodeMap *map,
                            const char *code, int32_t *out, int32_t capacity) {
    if (!file || !map || !code || (!out && capacity > 0)) return ERR_NULLPTR;
    uint8_t *named = (uint8_t *)calloc((size_t)file->sectionCount + 1, 1);
    if (!named) return ERR_ALLOC;
    for (int32_t r = 0; r < map->count; r++)
        if (Covers(&map->refs[r], code)) named[map->refs[r].section] = 1;
    int32_t count = 0;
    for (int32_t depth = GUIDELINE_MAX_DEPTH; depth >= 0 && count < capacity; depth--)
        for (int32_t n = 0; n < file->sectionCount && count < capacity; n++)
            if (named[n] && file->sections[n].depth == depth) out[count++] = n;
    free(named);
    return count;
}

static void Put(const PageSink *sink, const char *text) {
    if (sink->writeText && *text) sink->writeText(sink->context, text, (int32_t)strlen(text));
}

int32_t ComposeGuidelineSections(const GuidelineFile *file, const GuidelineCodeMap *map,
                                 const char *code, const PageSink *sink) {
    if (!sink) return ERR_NULLPTR;
    int32_t sections[GUIDELINE_SECTIONS_SHOWN];
    const int32_t count = GuidelineSectionsOf(file, map, code, sections, GUIDELINE_SECTIONS_SHOWN);
    if (count < 0) return count;
    Put(sink, "Guidelines:\n");
    if (count == 0) Put(sink, "none\n");
    for (int32_t k = 0; k < count; k++) {
        const GuidelineSection *s = &file->sections[sections[k]];
        if (sink->setLink) sink->setLink(sink->context, 1);
        Put(sink, s->id);
        Put(sink, " ");
        Put(sink, s->heading);
        if (sink->setLink) sink->setLink(sink->context, 0);
        Put(sink, "\n");
    }
    return 0;
}
