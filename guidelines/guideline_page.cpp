// Section pages: text written in pieces the viewer takes, codes ("E11.9", "T36-T50", "O09.-")
// and "Section I.B.14" references in link style.
#include "guidelines/guideline_page.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "archive/embedded_archive.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static void Write(const PageSink *sink, const char *text, int32_t length) {
    char piece[VIEW_PIECE_CHARS + 1];
    while (length > 0) {
        const int32_t n = length < VIEW_PIECE_CHARS ? length : VIEW_PIECE_CHARS;
        memcpy(piece, text, (size_t)n);
        piece[n] = '\0';
        if (sink->writeText) sink->writeText(sink->context, piece, n);
        text += n;
        length -= n;
    }
}

static void WriteString(const PageSink *sink, const char *text) {
    Write(sink, text, (int32_t)strlen(text));
}

static void Link(const PageSink *sink, const char *text, int32_t length) {
    if (sink->setLink) sink->setLink(sink->context, 1);
    Write(sink, text, length);
    if (sink->setLink) sink->setLink(sink->context, 0);
}

// Length of a code at text ("E11", "E11.9", "Z68.-", "T36-T50"), 0 when there is none.
static int32_t CodeLength(const char *text, int32_t length, int32_t at) {
    if (at > 0 && isalnum((unsigned char)text[at - 1])) return 0;
    auto code = [&](int32_t i) -> int32_t {
        if (i + 3 > length || !isupper((unsigned char)text[i]) || !isdigit((unsigned char)text[i + 1]) ||
            !isalnum((unsigned char)text[i + 2]))
            return 0;
        int32_t k = i + 3;
        if (k + 1 < length && text[k] == '.' && (isalnum((unsigned char)text[k + 1]) || text[k + 1] == '-')) {
            k++;
            while (k < length && (isupper((unsigned char)text[k]) || isdigit((unsigned char)text[k]) ||
                                  text[k] == '-'))
                k++;
        }
        return k < length && isalnum((unsigned char)text[k]) ? 0 : k - i;
    };
    int32_t n = code(at);
    if (n == 3 && at + 4 < length && text[at + 3] == '-') {
        int32_t m = code(at + 4);
        if (m > 0) n += 1 + m;
    }
    return n;
}

// Length of "Section ID" at text when ID names a section, 0 otherwise.
static int32_t ReferenceLength(const GuidelineFile *file, const char *text, int32_t length,
                               int32_t at) {
    static const char WORD[] = "Section ";
    const int32_t w = (int32_t)sizeof WORD - 1;
    if (at + w >= length || strncmp(text + at, WORD, (size_t)w) != 0) return 0;
    int32_t k = at + w;
    while (k < length && (isalnum((unsigned char)text[k]) || strchr(".()", text[k]))) k++;
    while (k > at + w && (text[k - 1] == '.' || text[k - 1] == ')')) {
        char id[64];
        const int32_t n = k - at - w;
        if (n < (int32_t)sizeof id) {
            memcpy(id, text + at + w, (size_t)n);
            id[n] = '\0';
            if (GuidelineFind(file, id) >= 0) return k - at;
        }
        k--;
    }
    char id[64];
    const int32_t n = k - at - w;
    if (n <= 0 || n >= (int32_t)sizeof id) return 0;
    memcpy(id, text + at + w, (size_t)n);
    id[n] = '\0';
    return GuidelineFind(file, id) >= 0 ? k - at : 0;
}

static void WriteLinked(const GuidelineFile *file, const PageSink *sink, const char *text,
                        int32_t length) {
    int32_t plain = 0;
    for (int32_t i = 0; i < length;) {
        int32_t n = ReferenceLength(file, text, length, i);
        if (n == 0) n = CodeLength(text, length, i);
        if (n == 0) {
            i++;
            continue;
        }
        Write(sink, text + plain, i - plain);
        Link(sink, text + i, n);
        i += n;
        plain = i;
    }
    Write(sink, text + plain, length - plain);
}

int32_t ComposeGuideline(const GuidelineFile *file, int32_t n, const PageSink *sink) {
    if (!file || !sink) return ERR_NULLPTR;
    if (n < 0 || n >= file->sectionCount) return ERR_INVINDEX;
    for (int32_t k = n; k < file->sections[n].end; k++) {
        const GuidelineSection *s = &file->sections[k];
        if (k > n) WriteString(sink, "\n");
        if (sink->setEffects) sink->setEffects(sink->context, 1, 0, 0);
        WriteString(sink, s->id);
        WriteString(sink, "  ");
        WriteString(sink, s->heading);
        if (sink->setEffects) sink->setEffects(sink->context, 0, 0, 0);
        WriteString(sink, "\n");
        for (int32_t l = 0; l < s->lineCount; l++) {
            const GuidelineLine *line = &file->lines[s->firstLine + l];
            if (line->kind == GUIDELINE_ITEM) WriteString(sink, "\x95 ");
            WriteLinked(file, sink, line->text, line->length);
            WriteString(sink, "\n");
        }
    }
    return 0;
}

int32_t GuidelineFileLoadEmbedded(GuidelineFile *file) {
    if (!file) return ERR_NULLPTR;
    int32_t size = 0;
    char *buffer = nullptr;
    int32_t status = PakLoadEmbeddedEntry("guidelines.dat", &size, &buffer);
    if (status < 0) return status;
    status = GuidelineFileParse(buffer, (size_t)size, file);
    MemFree(buffer);
    return status;
}
