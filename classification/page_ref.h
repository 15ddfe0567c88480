// Page reference: the kind of a page and the record or index entry it shows. History entries
// and search hits are page references.
#pragma once
#include <cstdint>

enum : uint16_t {
    PAGE_KIND_RECORD = 1,  // a classification record; the only kind that has codes
    PAGE_KIND_INDEX = 2,   // an entry of the index set (index/), by its set-wide number
    PAGE_KIND_CHECK = 3,   // the Check page of a list of codes, by the serial of its check
    PAGE_KIND_GUIDELINE = 4,  // a section of the Official Guidelines, by its section number
};

struct PageRef {
    uint16_t kind;  // PAGE_KIND_*
    int32_t index;  // position of the record in the record table, or the index entry's number
};

// Two references are equal when both parts are equal.
inline bool PageRefEqual(const PageRef &a, const PageRef &b) {
    return a.kind == b.kind && a.index == b.index;
}
