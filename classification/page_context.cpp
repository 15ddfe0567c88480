// Coding context of a page: the status line, the complete codes or 7th characters in effect,
// and the notes from the levels above, written through the page's sink.
#include "page_context.h"

#include <cstdio>
#include <cstring>

#include "code_validity.h"
#include "page_changes.h"
#include "foundation/status.h"
#include "str_bounded.h"

static void Text(const PageSink *sink, PageWorkspace *ws, const char *text) {
    PageSinkWrite(sink, ws, text, strlen(text));
}

// "no longer valid: deleted in FY2025": this release's status stands, the later one follows. A
// code that takes a 7th character is judged by its complete codes, which are what the later
// releases delete.
static void AppendLaterStatus(const RecordTable *table, const SeventhCharTable *chars,
                              const ReleaseChanges *changes, int32_t position, char *buffer,
                              int32_t capacity) {
    const char *code = RecordField(&table->records[position], FIELD_CODE);
    char later[160];
    if (ReleaseChangesStatusLine(changes, code, later, (int32_t)sizeof later - 1) == 1) {
        StrAppendBounded(buffer, " In later releases: ", capacity);
        StrAppendBounded(buffer, later, capacity);
        StrAppendBounded(buffer, ".", capacity);
        return;
    }
    const SeventhCharDef *def = SeventhCharDefFor(chars, position);
    if (def == nullptr || RecordCodeKind(table, position) != CODE_KIND_LEAF) return;
    int32_t total = 0, invalid = 0;
    char first[160] = "";
    for (int32_t k = 0; k < def->charCount; k++) {
        char complete[10];
        char c = chars->chars[def->firstChar + k].character;
        if (!CodeComplete(code, c, complete) || !SeventhCharAllowed(chars, table, position, c)) {
            continue;
        }
        total++;
        char line[160];
        if (ReleaseChangesStatusLine(changes, complete, line, (int32_t)sizeof line - 1) == 1) {
            if (invalid++ == 0) StrCopyBounded(first, line, (int32_t)sizeof first - 1);
        }
    }
    if (invalid == 0) return;
    char text[240];
    if (invalid == total) {
        snprintf(text, sizeof text, " In later releases its complete codes are %s.", first);
    } else {
        snprintf(text, sizeof text, " In later releases %d of its %d complete codes are %s.",
                 (int)invalid, (int)total, first);
    }
    StrAppendBounded(buffer, text, capacity);
}

const char *PageContextStatus(const RecordTable *table, const SeventhCharTable *chars,
                              const ReleaseChanges *changes, int32_t position, char *buffer,
                              int32_t capacity) {
    if (buffer == nullptr || capacity < 0) return "";
    buffer[0] = '\0';
    char line[160];
    int32_t below = RecordDescendantCount(table, position);
    switch (RecordCodeKind(table, position)) {
        case CODE_KIND_CHAPTER:
            snprintf(line, sizeof line, "Chapter: a group of blocks, not a code (%d codes below it).",
                     (int)below);
            break;
        case CODE_KIND_BLOCK:
            snprintf(line, sizeof line,
                     "Block: a group of categories, not a code (%d codes below it).", (int)below);
            break;
        case CODE_KIND_HEADER:
            snprintf(line, sizeof line, "Not billable: a header with %d %s below it.", (int)below,
                     below == 1 ? "code" : "codes");
            break;
        case CODE_KIND_LEAF:
            snprintf(line, sizeof line, "%s",
                     SeventhCharDefFor(chars, position) != nullptr
                         ? "Not billable as it stands: needs a 7th character (complete codes "
                           "below)."
                         : "Billable: a complete code, valid on a claim.");
            break;
        default:
            line[0] = '\0';
            break;
    }
    StrCopyBounded(buffer, line, capacity);
    if (line[0] != '\0' && changes != nullptr && table != nullptr) {
        AppendLaterStatus(table, chars, changes, position, buffer, capacity);
    }
    return buffer;
}

static void WriteSevenths(const RecordTable *table, const SeventhCharTable *chars,
                          int32_t position, const PageSink *sink, PageWorkspace *ws) {
    const SeventhCharDef *def = SeventhCharDefFor(chars, position);
    if (def == nullptr) return;
    const TextRecord *record = &table->records[position];
    bool leaf = RecordCodeKind(table, position) == CODE_KIND_LEAF;
    Text(sink, ws, leaf ? CONTEXT_COMPLETE_CAPTION ":\n" : CONTEXT_SEVENTH_CAPTION ":\n");
    char *text = ws->textBuffer;
    for (int32_t k = 0; k < def->charCount; k++) {
        const SeventhChar *c = &chars->chars[def->firstChar + k];
        char code[10];
        if (!leaf) {
            StrCopyBounded(text, "", ws->textCapacity);
            text[0] = c->character;
            text[1] = '\0';
        } else if (CodeComplete(RecordField(record, FIELD_CODE), c->character, code) &&
                   SeventhCharAllowed(chars, table, position, c->character)) {
            StrCopyBounded(text, code, ws->textCapacity);
            StrAppendBounded(text, " ", ws->textCapacity);
            StrAppendBounded(text, RecordField(record, FIELD_TITLE), ws->textCapacity);
            StrAppendBounded(text, ",", ws->textCapacity);
        } else {
            continue;
        }
        StrAppendBounded(text, " ", ws->textCapacity);
        StrAppendBounded(text, c->meaning, ws->textCapacity);
        StrAppendBounded(text, "\n", ws->textCapacity);
        Text(sink, ws, text);
    }
    Text(sink, ws, "\n");
}

static bool HasNotes(const TextRecord *r) {
    for (uint32_t i = FIELD_TITLE + 1; i <= FIELD_LAST_SHOWN; i++) {
        if (RecordFieldPresent(r, i) && RecordField(r, i)[0] != '\0') return true;
    }
    return false;
}

// One ancestor: its code and title in italics, the code a link, then its notes as on its page.
static void WriteAncestor(const RecordTable *table, uint16_t kind, const TextRecord *r,
                          PageWorkspace *ws, LinkTable *links, const PageSink *sink) {
    char *text = ws->textBuffer;
    int32_t capacity = ws->textCapacity;
    StrCopyBounded(text, RecordField(r, FIELD_CODE), capacity);
    StrAppendBounded(text, " ", capacity);
    StrAppendBounded(text, RecordField(r, FIELD_TITLE), capacity);
    StrAppendBounded(text, "\n", capacity);
    PageSinkEffects(sink, 0, 1, 0);
    WriteFieldWithLinks(table, kind, ws, links, sink);
    PageSinkEffects(sink, 0, 0, 0);
    for (uint32_t i = FIELD_TITLE + 1; i <= FIELD_LAST_SHOWN; i++) {
        const char *field = RecordField(r, i);
        if (!RecordFieldPresent(r, i) || field[0] == '\0') continue;
        StrCopyBounded(text, RecordFieldCaption(i), capacity);
        StrAppendBounded(text, ":\n", capacity);
        Text(sink, ws, text);
        StrCopyBounded(text, field, capacity);
        StrAppendBounded(text, "\n\n", capacity);
        WriteFieldWithLinks(table, kind, ws, links, sink);
    }
}

int32_t ComposePageContext(const RecordTable *table, const SeventhCharTable *chars,
                           const ReleaseChanges *changes, uint16_t kind, const TextRecord *record,
                           PageWorkspace *ws, LinkTable *links, const PageSink *sink) {
    if (table == nullptr || record == nullptr || links == nullptr || sink == nullptr ||
        ws == nullptr || ws->textBuffer == nullptr || ws->scratchBuffer == nullptr) {
        return ERR_NULLPTR;
    }
    if (ws->textCapacity < 1) return ERR_INVPARAM;
    int32_t position = (int32_t)record->index;
    if (position <= 0 || (uint32_t)position >= table->recordCount || table->records == nullptr) {
        return 0;
    }
    PageContextStatus(table, chars, changes, position, ws->textBuffer, ws->textCapacity);
    StrAppendBounded(ws->textBuffer, "\n\n", ws->textCapacity);
    Text(sink, ws, ws->textBuffer);
    WriteSevenths(table, chars, position, sink, ws);
    bool captioned = false;
    // Parents come before their children: a chain that does not go down stops the walk.
    uint32_t p = table->records[position].parent;
    uint32_t below = (uint32_t)position;
    while (p != 0 && p < below && p < table->recordCount) {
        const TextRecord *r = &table->records[p];
        if (HasNotes(r)) {
            if (!captioned) Text(sink, ws, CONTEXT_HIGHER_CAPTION ":\n");
            captioned = true;
            WriteAncestor(table, kind, r, ws, links, sink);
        }
        below = p;
        p = r->parent;
    }
    return 0;
}
