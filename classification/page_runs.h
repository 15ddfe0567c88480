// Page as runs: the text of a composed page with the runs of one format over it, for a viewer
// that takes text by character ranges. PageRtf fills it with the formats it mirrors.
#pragma once
#include <cstdint>

#include "classification/page_rtf.h"

struct PageRun {
    int32_t start;     // first byte in PageRuns::text
    int32_t length;    // bytes, one character each
    RtfFormat format;  // of every character of the run
    uint8_t marked;    // in the highlight colours (a word the search found)
};

struct PageRuns {
    char *text;            // the page's characters, a paragraph break as CR; MemRealloc'd, owned
    int32_t length;        // bytes in text
    int32_t capacity;      // bytes allocated
    PageRun *runs;         // in page order, neighbours of the same format joined; owned
    int32_t count;         // runs in use
    int32_t runCapacity;   // runs allocated
    int32_t status;        // 0, or ERR_ALLOC once memory ran out: the runs are incomplete then
};

// Empties the runs, keeping their memory. ERR_NULLPTR.
int32_t PageRunsReset(PageRuns *runs);
// Appends one character in the given format. 0, or runs->status; ERR_NULLPTR.
int32_t PageRunsAdd(PageRuns *runs, const RtfFormat *format, char c);
// Gives the characters [start, end) the highlight colours, splitting the runs at both ends.
// 0; ERR_NULLPTR; ERR_INVPARAM for a range outside the text; runs->status (ERR_ALLOC) when a
// split found no memory: the runs are incomplete then.
int32_t PageRunsMark(PageRuns *runs, int32_t start, int32_t end);
// Frees everything and zero-fills the record. ERR_NULLPTR.
int32_t PageRunsFree(PageRuns *runs);
