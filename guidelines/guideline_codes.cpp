// The map holds every code reference once, in document order; a record's sections are those of
// the references that meet its code, ranked by depth with the chapter's section kept.
#include "guidelines/guideline_codes.h"

#include <cstdlib>
#include <cstring>

#include "foundation/status.h"

static int32_t Gather(GuidelineCodeMap *map, int32_t *capacity, const char *text, int32_t length,
                      int32_t section) {
    for (int32_t i = 0; i < length;) {
        GuidelineCodeRef ref = {};
        const int32_t n = GuidelineCodeAt(text, length, i, &ref.span);
        if (n == 0) {
            i++;
            continue;
        }
        i += n;
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

// Whether section n is a chapter's (I.C.N): its heading names the chapter's codes.
static bool IsChapter(const GuidelineFile *file, int32_t n) {
    const int32_t parent = file->sections[n].parent;
    return parent >= 0 && strcmp(file->sections[parent].id, "I.C") == 0;
}

int32_t GuidelineSectionsOf(const GuidelineFile *file, const GuidelineCodeMap *map,
                            const char *code, int32_t *out, int32_t capacity) {
    if (!file || !map || !code || (!out && capacity > 0)) return ERR_NULLPTR;
    GuidelineCodeSpan span;
    if (!GuidelineSpanOfCode(code, &span) || capacity <= 0) return 0;
    uint8_t *named = (uint8_t *)calloc((size_t)file->sectionCount + 1, 1);
    if (!named) return ERR_ALLOC;
    int32_t chapters = 0;
    for (int32_t r = 0; r < map->count; r++) {
        const int32_t n = map->refs[r].section;
        if (named[n] || !GuidelineSpansMeet(&map->refs[r].span, &span)) continue;
        named[n] = 1;
        chapters += IsChapter(file, n);
    }
    // Deepest first; when they are too many, the chapter's sections keep their places.
    int32_t room = capacity - (chapters < capacity ? chapters : capacity);
    int32_t count = 0;
    for (int32_t depth = GUIDELINE_MAX_DEPTH; depth >= 0 && count < capacity; depth--) {
        for (int32_t n = 0; n < file->sectionCount && count < capacity; n++) {
            if (!named[n] || file->sections[n].depth != depth) continue;
            if (!IsChapter(file, n)) {
                if (room == 0) continue;
                room--;
            }
            out[count++] = n;
        }
    }
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
    Put(sink, "\n");
    return 0;
}
