// The payers' lists (MS-DRG CC/MCC, Medicare Code Editor, CMS-HCC V28 with its labels and
// hierarchies, POA exempt) read from their folder, checked row by row, and written as the edits
// entry the program reads (edits/edits_table.h). Knows the lists' columns, not what they mean.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#define EDITS_ENTRY_MAGIC "morbivue-edits"

struct EditsSummary {
    int32_t drg;        // CC and MCC rows
    int32_t mce;        // Medicare Code Editor rows
    int32_t hcc;        // code-to-HCC rows
    int32_t labels;     // HCC labels
    int32_t drops;      // hierarchy rows
    int32_t poa;        // POA exempt codes
    size_t outputBytes;
};

// Converts the six files of folder into the entry's text. On a malformed row, a missing file or
// header: ERR_OPEN, ERR_INVDATA, with "FILE:LINE: reason" in *error and out left alone.
int32_t ConvertEditsText(const char *folder, std::string *out, EditsSummary *summary,
                         std::string *error);
// The same, writing outputPath (replaced only on success; ERR_WRITE).
int32_t ConvertEditsFolder(const char *folder, const char *outputPath, EditsSummary *summary,
                           std::string *error);
// One line per list with its rows.
void EditsSummaryPrint(const EditsSummary *summary, FILE *out);
