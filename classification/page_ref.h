// Page reference: the kind of a page and the record it shows. History entries and search hits
// are page references; only record pages exist so far.
#pragma once
#include <cstdint>

enum : uint16_t {
    PAGE_KIND_RECORD = 1,  // a classification record; the only kind that has codes or a page
};

struct PageRef {
    uint16_t kind;  // PAGE_KIND_*
    int32_t index;  // position of the record in the record table
};

// Two references are equal when both parts are equal.
inline bool PageRefEqual(const PageRef &a, const PageRef &b) {
    return a.kind == b.kind && a.index == b.index;
}
