// The later releases on a record's page: a section after the page's own, listing what the
// releases after the records' own changed for the record (its code, its complete 7-character
// codes, the codes added below it), and the lines "Find" and the status line say about them.
#pragma once
#include <cstdint>

#include "page_compose.h"
#include "record_table.h"
#include "release_changes.h"

// The section's first line.
#define PAGE_CHANGES_HEADING \
    "Changes in later releases (codes and titles only: their notes are not in this program):\n"

// Changes that concern the page of record: those of codes beginning with its code for which no
// record with a longer code does (that record's page has them). Writes them through sink after
// whatever the page holds: the heading line in the body font, then one line per change in
// release order, "RELEASE CHANGE: CODE TITLE", the code a link when it is a record (recorded in
// links after the page's own) and underlined otherwise, then a blank line. Nothing is
// allocated; links is not emptied. Returns the number of changes written: 0, with nothing
// written, when none concerns the record, the kind is not PAGE_KIND_RECORD or its code is no
// code (a chapter or block); ERR_NULLPTR; ERR_INVPARAM for a textCapacity below 1.
int32_t ComposeReleaseChanges(const RecordTable *table, const ReleaseChanges *changes,
                              uint16_t kind, const TextRecord *record, PageWorkspace *workspace,
                              LinkTable *links, const PageSink *sink);

// The "Find" line for a typed code that a later release added: "D13.91 is not in this release:
// added in FY2024, Familial adenomatous polyposis" (the title as the last release has it; a
// later deletion or split appended: "; deleted in FY2026"). Written into buffer (capacity + 1
// bytes), cut to capacity. Returns its length; ERR_NOTFOUND (buffer "") when no release added
// the code; ERR_INVVALUE for no code; ERR_NULLPTR; ERR_INVPARAM for a capacity below 1.
int32_t ReleaseChangesFindLine(const ReleaseChanges *changes, const char *typed, char *buffer,
                               int32_t capacity);

// For the status line: whether the last release that changed code made it invalid. 1 with
// "no longer valid: deleted in FY2025" or "no longer valid: a header since FY2024, use a code
// below it" in buffer (capacity + 1 bytes, cut to capacity); 0 with "" when the code is still
// valid as far as the later releases go; ERR_INVVALUE for no code; ERR_NULLPTR; ERR_INVPARAM.
int32_t ReleaseChangesStatusLine(const ReleaseChanges *changes, const char *code, char *buffer,
                                 int32_t capacity);
