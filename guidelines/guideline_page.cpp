// Section pages: text written in pieces the viewer takes, codes ("E11.9", "T36-T50", "O09.-")
// and "Section I.B.14" references in link style.
#include "guidelines/guideline_page.h"

#include <cstdlib>
#include <cstring>

#include "archive/embedded_archive.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "guidelines/guideline_refs.h"

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

static void WriteLinked(const GuidelineFile *file, const PageSink *sink, const char *text,
                        int32_t length) {
    int32_t plain = 0;
    for (int32_t i = 0; i < length;) {
        int32_t section = 0;
        GuidelineCodeSpan span;
        int32_t n = GuidelineReferenceAt(file, text, length, i, &section);
        if (n == 0) n = GuidelineCodeAt(text, length, i, &span);
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
