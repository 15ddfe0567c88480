// Coding context of a record's page, written after its own sections: whether the code is
// billable, its complete 7-character codes, and the notes of every level above it that bind it.
// Same sink, workspace and link table as the page itself; nothing here knows the viewer.
#pragma once
#include <cstdint>

#include "page_compose.h"
#include "record_table.h"
#include "release_changes.h"
#include "seventh_chars.h"

#define CONTEXT_COMPLETE_CAPTION "Complete codes"
#define CONTEXT_SEVENTH_CAPTION "7th characters"
#define CONTEXT_HIGHER_CAPTION "Notes from higher levels"

// The status line of the record into buffer (capacity + 1 bytes), without line feeds: billable,
// not billable with the number of codes below it, needs a 7th character, or what a chapter or
// block is; when changes (may be null) say a later release made the code invalid, that too.
// "" for the root. Returns buffer.
const char *PageContextStatus(const RecordTable *table, const SeventhCharTable *chars,
                              const ReleaseChanges *changes, int32_t position, char *buffer,
                              int32_t capacity);

// Writes the context of record: the status line; under CONTEXT_COMPLETE_CAPTION one line per
// complete code ("S52.121A title, meaning") of a leaf with 7th characters in effect, those that
// the notes exclude left out, or under CONTEXT_SEVENTH_CAPTION each character and its meaning
// for a record with codes below it; under CONTEXT_HIGHER_CAPTION, for each ancestor from the
// parent up to the chapter that has notes, its code and title (the code a link) and each of its
// notes as on its own page. Links are appended to links (which is not emptied). Nothing for the
// root. chars and changes may be null (no 7th characters, no later releases). 0; ERR_NULLPTR;
// ERR_INVPARAM (textCapacity < 1).
int32_t ComposePageContext(const RecordTable *table, const SeventhCharTable *chars,
                           const ReleaseChanges *changes, uint16_t kind, const TextRecord *record,
                           PageWorkspace *workspace, LinkTable *links, const PageSink *sink);
