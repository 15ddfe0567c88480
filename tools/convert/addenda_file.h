// Reads one order-file addenda: its change lines from their fixed columns and the two sections
// of its summary, as they stand. Joining the changes and checking the counts is addenda_check's.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/convert/addenda_converter.h"

// One change line, or a joined pair.
struct AddendaChange {
    char kind;              // 'A', 'D', 'R', 'S' as written; 'F', 'T': a Revise from:, to: alone
    bool billable;          // flag after the change (before it for a deletion)
    std::string code;       // without its dot, as in the file
    std::string title;      // long title after the change (before it for a deletion)
    std::string shortTitle; // short title after the change
    bool fromBillable;      // for 'R' and 'S': flag before
    std::string fromTitle;  // for 'R' and 'S': long title before
    std::string fromShort;  // for 'R': short title before
    uint32_t line;          // line of the change (its first line for a pair)
};

// One section of a summary ("Headers" or "Codes") and what the file's lines add up to.
struct AddendaSection {
    long before, after, additions, deletions, revisions, both, longOnly, shortOnly;
    uint32_t beforeLine, afterLine, lines[8];
};

// One addenda file and what is read from it.
struct AddendaFile {
    const AddendaInput *input;           // its name and bytes
    std::string release;                 // from the name (AddendaReleaseOfName)
    uint32_t order;                      // sorts releases in time
    std::vector<AddendaChange> changes;  // in file order: as read, then joined
    AddendaSection stated[2];            // 0 headers, 1 codes, as the summary says
};

// Sets *error to "FILE:LINE: reason" ("FILE: reason" for line 0) and returns status.
int32_t AddendaFileFail(std::string *error, int32_t status, const std::string &file, uint32_t line,
                        const std::string &reason);

// Reads rf->input into rf->changes (each line alone: a Revise pair as 'F' and 'T') and
// rf->stated. 0, ERR_INVDATA (an unknown line kind, a short or long line, a column out of place,
// a bad code or flag, no long title) or ERR_INVVALUE (a summary missing or malformed).
int32_t AddendaFileRead(AddendaFile *rf, std::string *error);
