// Turns the order-file addenda of the releases after the tabular list (fixed-column text, one
// file per release) into the archive's changes entry. Checks each file against its own summary;
// knows nothing of the tabular list.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t ADDENDA_MAX_TITLE = 255;    // a longer long title is not an order-file line
constexpr uint32_t ADDENDA_MAX_RELEASES = 32;  // the entry's reader holds this many
// How the name of every addenda file starts.
constexpr char ADDENDA_NAME_PREFIX[] = "icd10cm_order_addenda_";

// One addenda file as read from the folder.
struct AddendaInput {
    std::string name;  // file name, which gives the release (icd10cm_order_addenda_2024.txt)
    std::string text;  // its bytes
};

// What one release changed, as written to the entry.
struct AddendaRelease {
    std::string name;        // "2024", "2023-04"
    std::string file;        // file name it came from
    uint32_t added;          // codes added (billable or header)
    uint32_t deleted;        // codes deleted outright
    uint32_t revised;        // codes whose long title or status changed
    uint32_t split;          // billable codes that became headers
    uint32_t shortOnly;      // revisions of the short title only: checked, not written
};

struct AddendaSummary {
    std::vector<AddendaRelease> releases;  // in release order
    uint64_t outputBytes;                  // size of the entry
};

// Release of an addenda file name: icd10cm_order_addenda_YYYY.txt is "YYYY" (the fiscal year,
// from October of YYYY-1), icd10cm_order_addenda_YYYY_april.txt is "YYYY-04". order receives a
// key that sorts releases in time. 0, or ERR_INVFORMAT for any other name.
int32_t AddendaReleaseOfName(const std::string &fileName, std::string *release, uint32_t *order);

// Converts the files (any order) to the entry's bytes, which replace *output. 0 or a negative
// status with "FILE:LINE: reason" (or "FILE: reason") in *error: ERR_INVFORMAT (a file name
// without a release, two files of one release), ERR_INVDATA (an unknown line kind, a short or
// long line, a column out of place, a code changed twice in one release, a Revise from: without
// its Revise to:), ERR_INVVALUE (a summary missing, malformed or not matching the changes, or a
// release not starting from the previous release's counts), ERR_TOOMANY, ERR_NULLPTR.
int32_t ConvertAddenda(const std::vector<AddendaInput> &files, std::string *output,
                       AddendaSummary *summary, std::string *error);
