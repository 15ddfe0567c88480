// Record page composition: what a record's page says, as the ordered output steps (font,
// effects, link style, text) that the viewer replays, and the link table the page leaves
// behind. Nothing here knows the viewer; search-word highlighting is the viewer's business.
#pragma once
#include <cstddef>
#include <cstdint>

#include "record_table.h"

enum : int32_t {
    MAX_LINKS = 80,                // link table entries per page
    LINK_CODE_CHARS = 15,          // longest code kept in a LinkEntry
    TEXT_BUFFER_CHARS = 32760,     // bound of the heading and of each field on a page
    VIEW_PIECE_CHARS = 8192,       // the viewer's output buffer; longer text is written in pieces
    PAGE_BODY_POINTS = 16,         // body text: Arial 16 pt, weight 400
    PAGE_BODY_WEIGHT = 400,
    PAGE_HEADING_POINTS = 18,      // heading: Arial 18 pt, weight 700
    PAGE_HEADING_WEIGHT = 700,
};

#define PAGE_FONT_FACE "Arial"

struct LinkEntry {
    uint16_t kind;                       // page kind of the link's target
    char code[LINK_CODE_CHARS + 1];      // the reference's text, zero-terminated and zero-filled
};

struct LinkTable {
    uint16_t linkCount;          // entries in use, filled from 0 in page order
    LinkEntry links[MAX_LINKS];  // the links of the current page
};

// Empties the table. 0, ERR_NULLPTR.
int32_t ClearLinks(LinkTable *table);
// Appends an entry. 0; ERR_TOOMANY when all MAX_LINKS entries are used (nothing stored);
// ERR_NULLPTR.
int32_t AddLink(LinkTable *table, const LinkEntry *entry);
// Kind of the first entry whose code equals text ignoring case; PAGE_KIND_RECORD when none does
// or for null arguments (a clicked link that is not in the table still leads to a record).
uint16_t LinkKindForText(const LinkTable *table, const char *text);

// Receiver of the composed page, step by step. Any callback may be null (the step is skipped).
// Text is data, never a format: write it with "%s" or "%.*s".
struct PageSink {
    void *context;  // handed to every callback
    // Font for the following text: face, size in points, weight (above 400 means bold).
    void (*setFont)(void *context, const char *face, int32_t points, uint16_t weight);
    // Sets all three effects for the following text; a zero flag switches its effect off.
    void (*setEffects)(void *context, int32_t bold, int32_t italic, int32_t underline);
    // Link style on (blue, word underline, weight 500, a link) or off (black, no underline, 400).
    void (*setLink)(void *context, int32_t on);
    // Appends length (1 to VIEW_PIECE_CHARS) bytes; text[length] is a zero byte.
    void (*writeText)(void *context, const char *text, int32_t length);
};

// Work buffers of a page, owned by the caller (the window's textBuffer and scratchBuffer). Both
// hold textCapacity + 1 bytes; their contents are scratch and mean nothing after a call.
struct PageWorkspace {
    char *textBuffer;      // the heading, each caption, each field in turn
    char *scratchBuffer;   // the piece being written
    int32_t textCapacity;  // TEXT_BUFFER_CHARS in the program; at least 1
};

// Composes the page of record for a page of the given kind: empties links, then sends the body
// font, the heading (code, blank, title and two line feeds, in the heading font, followed by the
// body font again), then for each present, non-empty field 1 to 8 its caption with ":\n" and
// its text with two line feeds, item ends ("./", ".//") turned into line breaks and each code
// reference written in link style (and recorded in links) when CodeExists is not 0, underlined
// otherwise. No text is cut beyond textCapacity; nothing is allocated.
// 0; ERR_NULLPTR for a null table, record, workspace (or its buffers), links or sink;
// ERR_INVPARAM for a textCapacity below 1.
int32_t ComposeRecordPage(const RecordTable *table, uint16_t kind, const TextRecord *record,
                          PageWorkspace *workspace, LinkTable *links, const PageSink *sink);

// Hands length bytes of text to the sink through the workspace's scratch buffer, in pieces the
// viewer takes whole (nothing is cut). For the composers that add to a page.
void PageSinkWrite(const PageSink *sink, PageWorkspace *workspace, const char *text,
                   size_t length);
// Sets the three effects through the sink, when it takes them.
void PageSinkEffects(const PageSink *sink, int32_t bold, int32_t italic, int32_t underline);

// The field part of the above, for the text already in workspace->textBuffer (changed in place).
// 0; ERR_NULLPTR.
int32_t WriteFieldWithLinks(const RecordTable *table, uint16_t kind, PageWorkspace *workspace,
                            LinkTable *links, const PageSink *sink);
