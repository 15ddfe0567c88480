// Record page composition: builds a page's heading and captioned notes in the caller's buffers
// and hands them to a sink as output steps, recording the page's code links on the way.
#include "page_compose.h"

#include <cstring>

#include "code_refs.h"
#include "foundation/status.h"
#include "page_ref.h"
#include "str_bounded.h"

static inline unsigned char Fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

int32_t ClearLinks(LinkTable *table) {
    if (table == nullptr) {
        return ERR_NULLPTR;
    }
    table->linkCount = 0;
    return 0;
}

int32_t AddLink(LinkTable *table, const LinkEntry *entry) {
    if (table == nullptr || entry == nullptr) {
        return ERR_NULLPTR;
    }
    if (table->linkCount >= MAX_LINKS) {
        return ERR_TOOMANY;
    }
    table->links[table->linkCount++] = *entry;
    return 0;
}

uint16_t LinkKindForText(const LinkTable *table, const char *text) {
    if (table == nullptr || text == nullptr) {
        return PAGE_KIND_RECORD;
    }
    size_t length = strlen(text);
    for (uint16_t i = 0; i < table->linkCount && i < MAX_LINKS; i++) {
        const char *code = table->links[i].code;
        if (strnlen(code, sizeof table->links[i].code) != length) {
            continue;
        }
        size_t k = 0;
        while (k < length && Fold((unsigned char)code[k]) == Fold((unsigned char)text[k])) {
            k++;
        }
        if (k == length) {
            return table->links[i].kind;
        }
    }
    return PAGE_KIND_RECORD;
}

static void SetFont(const PageSink *sink, int32_t points, uint16_t weight) {
    if (sink->setFont != nullptr) {
        sink->setFont(sink->context, PAGE_FONT_FACE, points, weight);
    }
}

static void SetEffects(const PageSink *sink, int32_t bold, int32_t italic, int32_t underline) {
    if (sink->setEffects != nullptr) {
        sink->setEffects(sink->context, bold, italic, underline);
    }
}

static void SetLink(const PageSink *sink, int32_t on) {
    if (sink->setLink != nullptr) {
        sink->setLink(sink->context, on);
    }
}

// Hands length bytes of text to the sink through the scratch buffer, in pieces the viewer can
// take whole, so that nothing is cut.
static void Write(const PageSink *sink, PageWorkspace *ws, const char *text, size_t length) {
    while (length > 0) {
        size_t piece = length < (size_t)VIEW_PIECE_CHARS ? length : (size_t)VIEW_PIECE_CHARS;
        if (piece > (size_t)ws->textCapacity) {
            piece = (size_t)ws->textCapacity;
        }
        memmove(ws->scratchBuffer, text, piece);
        ws->scratchBuffer[piece] = '\0';
        if (sink->writeText != nullptr) {
            sink->writeText(sink->context, ws->scratchBuffer, (int32_t)piece);
        }
        text += piece;
        length -= piece;
    }
}

void PageSinkWrite(const PageSink *sink, PageWorkspace *workspace, const char *text,
                   size_t length) {
    if (sink != nullptr && workspace != nullptr && text != nullptr) {
        Write(sink, workspace, text, length);
    }
}

void PageSinkEffects(const PageSink *sink, int32_t bold, int32_t italic, int32_t underline) {
    if (sink != nullptr) {
        SetEffects(sink, bold, italic, underline);
    }
}

// Item ends: "./" becomes blank and line feed, ".//" blank and two line feeds.
static void BreakItems(char *text) {
    size_t i = 0;
    while (text[i] != '\0') {
        if (text[i] == '.' && text[i + 1] == '/') {
            text[i] = ' ';
            text[i + 1] = '\n';
            if (text[i + 2] == '/') {
                text[i + 2] = '\n';
                i += 3;
            } else {
                i += 2;
            }
        } else {
            i++;
        }
    }
}

static int32_t WorkspaceStatus(const PageWorkspace *ws) {
    if (ws == nullptr || ws->textBuffer == nullptr || ws->scratchBuffer == nullptr) {
        return ERR_NULLPTR;
    }
    return ws->textCapacity < 1 ? ERR_INVPARAM : 0;
}

int32_t WriteFieldWithLinks(const RecordTable *table, uint16_t kind, PageWorkspace *ws,
                            LinkTable *links, const PageSink *sink) {
    if (table == nullptr || links == nullptr || sink == nullptr) {
        return ERR_NULLPTR;
    }
    int32_t status = WorkspaceStatus(ws);
    if (status < 0) {
        return status;
    }
    char *text = ws->textBuffer;
    text[ws->textCapacity] = '\0';
    BreakItems(text);
    size_t length = strlen(text);
    size_t s = 0;
    size_t q = 0;
    while (q < length) {
        int32_t n = CodeRefLength(text + q);
        if (n < 1) {
            q++;
            continue;
        }
        if (q > s) {
            Write(sink, ws, text + s, q - s);
        }
        LinkEntry entry;
        memset(&entry, 0, sizeof entry);
        entry.kind = kind;
        memcpy(entry.code, text + q, (size_t)(n < LINK_CODE_CHARS ? n : LINK_CODE_CHARS));
        if (CodeExists(table, kind, entry.code) != 0) {
            SetLink(sink, 1);
            Write(sink, ws, entry.code, (size_t)n);
            SetLink(sink, 0);
            AddLink(links, &entry);
        } else {
            SetEffects(sink, 0, 0, 1);
            Write(sink, ws, entry.code, (size_t)n);
            SetEffects(sink, 0, 0, 0);
        }
        q += (size_t)n;
        s = q;
    }
    if (length > s) {
        Write(sink, ws, text + s, length - s);
    }
    return 0;
}

int32_t ComposeRecordPage(const RecordTable *table, uint16_t kind, const TextRecord *record,
                          PageWorkspace *ws, LinkTable *links, const PageSink *sink) {
    if (table == nullptr || record == nullptr || links == nullptr || sink == nullptr) {
        return ERR_NULLPTR;
    }
    int32_t status = WorkspaceStatus(ws);
    if (status < 0) {
        return status;
    }
    char *text = ws->textBuffer;
    int32_t capacity = ws->textCapacity;
    ClearLinks(links);
    SetFont(sink, PAGE_BODY_POINTS, PAGE_BODY_WEIGHT);
    if (RecordFieldPresent(record, FIELD_CODE)) {
        StrCopyBounded(text, RecordField(record, FIELD_CODE), capacity);
        StrAppendBounded(text, " ", capacity);
        if (RecordFieldPresent(record, FIELD_TITLE)) {
            StrAppendBounded(text, RecordField(record, FIELD_TITLE), capacity);
            StrAppendBounded(text, "\n\n", capacity);
        }
        SetFont(sink, PAGE_HEADING_POINTS, PAGE_HEADING_WEIGHT);
        Write(sink, ws, text, strlen(text));
        // Back to the body font: the notes are not part of the heading.
        SetFont(sink, PAGE_BODY_POINTS, PAGE_BODY_WEIGHT);
    }
    for (uint32_t i = 1; i <= FIELD_LAST_SHOWN; i++) {
        const char *field = RecordField(record, i);
        if (!RecordFieldPresent(record, i) || field[0] == '\0') {
            continue;
        }
        StrCopyBounded(text, RecordFieldCaption(i), capacity);
        StrAppendBounded(text, ":\n", capacity);
        Write(sink, ws, text, strlen(text));
        StrCopyBounded(text, field, capacity);
        StrAppendBounded(text, "\n\n", capacity);
        WriteFieldWithLinks(table, kind, ws, links, sink);
    }
    return 0;
}
