// The guidelines entry reader: one pass that splits lines in place and links sections to their
// parents and subtree ends.
#include "guidelines/guideline_file.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "foundation/status.h"

void GuidelineFileFree(GuidelineFile *file) {
    if (!file) return;
    free(file->text);
    free(file->sections);
    free(file->lines);
    *file = GuidelineFile{};
}

// Splits the tab-separated field at *at up to the next tab (or the line's end when last).
static char *Field(char **at, char *lineEnd, int last) {
    char *start = *at;
    if (start > lineEnd) return nullptr;
    char *tab = last ? lineEnd : (char *)memchr(start, '\t', (size_t)(lineEnd - start));
    if (!tab) return nullptr;
    *tab = '\0';
    *at = tab + 1;
    return start;
}

static int32_t Parse(GuidelineFile *file, size_t size) {
    int32_t maxLines = 0;
    for (size_t i = 0; i < size; i++) maxLines += file->text[i] == '\n';
    maxLines++;
    file->sections = (GuidelineSection *)calloc((size_t)maxLines, sizeof(GuidelineSection));
    file->lines = (GuidelineLine *)calloc((size_t)maxLines, sizeof(GuidelineLine));
    if (!file->sections || !file->lines) return ERR_ALLOC;
    char *at = file->text;
    char *const end = file->text + size;
    while (at < end) {
        char *lineEnd = (char *)memchr(at, '\n', (size_t)(end - at));
        if (!lineEnd) lineEnd = end;
        *lineEnd = '\0';
        char *next = lineEnd + 1;
        if (lineEnd - at < 2 || at[1] != '\t') return ERR_INVDATA;
        const char tag = at[0];
        at += 2;
        if (tag == 'S') {
            char *depthText = Field(&at, lineEnd, 0);
            char *id = Field(&at, lineEnd, 0);
            char *heading = Field(&at, lineEnd, 1);
            if (!depthText || !id || !heading || !*id || strlen(depthText) != 1) return ERR_INVDATA;
            const int32_t depth = depthText[0] - '0';
            if (depth < 0 || depth > GUIDELINE_MAX_DEPTH) return ERR_INVDATA;
            const int32_t n = file->sectionCount;
            int32_t parent = -1;
            if (depth > 0) {
                // The parent is the latest section one level up, or higher when the body skips a
                // level ("1)" right under a numbered heading).
                for (int32_t k = n - 1; k >= 0; k--) {
                    if (file->sections[k].depth < depth) {
                        parent = k;
                        break;
                    }
                }
            }
            for (int32_t k = 0; k < n; k++)
                if (strcmp(file->sections[k].id, id) == 0) return ERR_INVDATA;
            file->sections[n] = GuidelineSection{id, heading, depth, parent, n + 1,
                                                 file->lineCount, 0};
            for (int32_t p = parent; p >= 0; p = file->sections[p].parent)
                file->sections[p].end = n + 1;
            file->sectionCount++;
        } else if (tag == GUIDELINE_PARAGRAPH || tag == GUIDELINE_ITEM) {
            if (file->sectionCount == 0 || at >= lineEnd) return ERR_INVDATA;
            file->lines[file->lineCount++] =
                GuidelineLine{(uint8_t)tag, at, (int32_t)(lineEnd - at)};
            file->sections[file->sectionCount - 1].lineCount++;
        } else {
            return ERR_INVDATA;
        }
        at = next;
    }
    return file->sectionCount > 0 ? 0 : ERR_INVDATA;
}

int32_t GuidelineFileParse(const char *bytes, size_t size, GuidelineFile *file) {
    if (!bytes || !file) return ERR_NULLPTR;
    *file = GuidelineFile{};
    file->text = (char *)malloc(size + 1);
    if (!file->text) return ERR_ALLOC;
    memcpy(file->text, bytes, size);
    file->text[size] = '\0';
    // A last line feed ends the last line rather than starting an empty one.
    if (size > 0 && file->text[size - 1] == '\n') size--;
    const int32_t status = Parse(file, size);
    if (status < 0) GuidelineFileFree(file);
    return status;
}

// Whether two IDs name the same section token by token, however the levels are marked: the
// text writes "I.C.1.g.1.c.i" for I.C.1.g.1(c)(i).
static bool SameTokens(const char *a, const char *b) {
    for (;;) {
        while (*a && !isalnum((unsigned char)*a)) a++;
        while (*b && !isalnum((unsigned char)*b)) b++;
        if (!*a || !*b) return !*a && !*b;
        while (isalnum((unsigned char)*a) && tolower((unsigned char)*a) == tolower((unsigned char)*b))
            a++, b++;
        if (isalnum((unsigned char)*a) || isalnum((unsigned char)*b)) return false;
    }
}

int32_t GuidelineFind(const GuidelineFile *file, const char *id) {
    if (!file || !id) return -1;
    for (int32_t n = 0; n < file->sectionCount; n++)
        if (strcasecmp(file->sections[n].id, id) == 0) return n;
    for (int32_t n = 0; n < file->sectionCount; n++)
        if (SameTokens(file->sections[n].id, id)) return n;
    return -1;
}
