// The whole page of a record as the viewer and the console tool show it: its own sections, its
// coding context, then what the later releases changed. One place, so both show the same.
#pragma once
#include <cstdint>

#include "page_compose.h"
#include "record_table.h"
#include "release_changes.h"
#include "releases.h"
#include "seventh_chars.h"

// What a page draws on besides the records; sevenths and changes may be null (then no record
// needs a 7th character, and no later release is known).
struct PageSources {
    const RecordTable *table;          // the records
    const SeventhCharTable *sevenths;  // their 7th characters
    const ReleaseChanges *changes;     // the later releases' changes
    const Releases *releases;          // the releases, or null: then no record is deleted
};

// "Deleted in FY2027: valid for services to September 30, 2026." for a record the table's
// release deleted, into buffer (capacity + 1 bytes); 0 with "" for any other. Returns the length.
int32_t PageDeletedLine(const Releases *releases, const RecordTable *table, int32_t position,
                        char *buffer, int32_t capacity);

// Empties links and composes the record's page: the deleted line first when there is one (in
// bold, then a blank line), ComposeRecordPage, ComposePageContext (whose
// status line also says when a later release made the code invalid) and ComposeReleaseChanges.
// 0, or the first failing step's status (ERR_NULLPTR, ERR_INVPARAM).
int32_t ComposeWholePage(const PageSources *sources, uint16_t kind, const TextRecord *record,
                         PageWorkspace *workspace, LinkTable *links, const PageSink *sink);
