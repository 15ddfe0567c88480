// The payers' lists in words, for one billable code of the newest release: each list's line as a
// record page says it, and the console's columns. A list older than the code says so instead of
// showing no flag.
#pragma once
#include <cstdint>

#include "classification/releases.h"
#include "edits/edits_table.h"

enum : int32_t {
    EDITS_LINE_CHARS = 511,  // longest line of one list
};

// "age_maternity", ... for one edit bit; "" for another value.
const char *EditsMceName(uint16_t edit);
// "Maternity diagnosis: patient age 9-64", "Never the principal diagnosis (manifestation)", ...
// into buffer (EDITS_LINE_CHARS + 1 bytes); returns buffer.
const char *EditsMceSentence(const EditsCode *row, uint16_t edit, char *buffer);

// What list says of code (dotted, upper case; held since the fiscal year since), as the page's
// line: "MS-DRG v43: CC when secondary", "CMS-HCC V28: HCC 37 Diabetes with Chronic
// Complications", "Medicare Code Editor v43.1: no MCE edit", "POA: exempt from POA reporting",
// or "... not in the MS-DRG v43 lists (the code is newer)". Into buffer (EDITS_LINE_CHARS + 1
// bytes); returns buffer.
const char *EditsLine(const EditsTable *table, EditsListKind list, const char *code, int32_t since,
                      char *buffer);
// The console's column of list: CC or MCC; the HCCs ascending; the MCE edits' names; exempt;
// "-" for none, "?" when the list is older than the code. Into buffer likewise.
const char *EditsColumn(const EditsTable *table, EditsListKind list, const char *code,
                        int32_t since, char *buffer);
