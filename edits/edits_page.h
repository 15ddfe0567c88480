// A billable record's "Edits and flags:" section: one line per payer's list, after the later
// releases' section and before the index entries. Written through the page's sink.
#pragma once
#include <cstdint>

#include "classification/code_validity.h"
#include "classification/page_compose.h"
#include "classification/releases.h"
#include "edits/edits_table.h"

#define EDITS_PAGE_HEADING "Edits and flags:\n"

// Writes the section for the record at position when it is a billable code of the newest release
// (table and chars as ReleasesLoadTable makes them): the heading, then the MS-DRG, CMS-HCC,
// Medicare Code Editor and POA lines, then a blank line. Returns the number of lines written
// (0: not billable, nothing written); ERR_NULLPTR.
int32_t ComposeEditsSection(const EditsTable *edits, const Releases *releases,
                            const RecordTable *table, const SeventhCharTable *chars,
                            int32_t position, PageWorkspace *workspace, const PageSink *sink);
