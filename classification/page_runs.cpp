// Page as runs: one growing text buffer and one growing array of runs.
#include "classification/page_runs.h"

#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"

int32_t PageRunsReset(PageRuns *runs) {
    if (!runs) return ERR_NULLPTR;
    runs->length = 0;
    runs->count = 0;
    runs->status = 0;
    return 0;
}

static int32_t GrowText(PageRuns *runs) {
    const int32_t status =
        MemReserve((void **)&runs->text, &runs->capacity, (int64_t)runs->length + 1, 1, 4096);
    return status < 0 ? runs->status = status : 0;
}

static int32_t GrowRuns(PageRuns *runs) {
    const int32_t status = MemReserve((void **)&runs->runs, &runs->runCapacity,
                                      (int64_t)runs->count + 1, (int32_t)sizeof(PageRun), 64);
    return status < 0 ? runs->status = status : 0;
}

static bool SameFormat(const RtfFormat &a, const RtfFormat &b) {
    return a.face == b.face && a.points == b.points && a.weight == b.weight && a.bold == b.bold &&
           a.italic == b.italic && a.underline == b.underline &&
           a.underlineType == b.underlineType && a.colour == b.colour && a.link == b.link;
}

int32_t PageRunsAdd(PageRuns *runs, const RtfFormat *format, char c) {
    if (!runs || !format) return ERR_NULLPTR;
    if (runs->status < 0 || GrowText(runs) < 0) return runs->status;
    if (runs->count > 0 && !runs->runs[runs->count - 1].marked &&
        SameFormat(runs->runs[runs->count - 1].format, *format)) {
        runs->runs[runs->count - 1].length++;
    } else {
        if (GrowRuns(runs) < 0) return runs->status;
        runs->runs[runs->count++] = PageRun{runs->length, 1, *format, 0};
    }
    runs->text[runs->length++] = c;
    return 0;
}

// Index of the run that begins at position, splitting the one across it; -1 when memory ran out.
static int32_t SplitAt(PageRuns *runs, int32_t position) {
    int32_t lo = 0, hi = runs->count;  // the first run ending after position
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        const PageRun &r = runs->runs[mid];
        if (r.start + r.length <= position) lo = mid + 1; else hi = mid;
    }
    if (lo == runs->count || runs->runs[lo].start == position) return lo;
    if (GrowRuns(runs) < 0) return -1;
    PageRun *at = &runs->runs[lo];
    memmove(at + 1, at, (size_t)(runs->count - lo) * sizeof(PageRun));
    runs->count++;
    const int32_t before = position - at->start;
    at[1].start = position;
    at[1].length = at->length - before;
    at->length = before;
    return lo + 1;
}

int32_t PageRunsMark(PageRuns *runs, int32_t start, int32_t end) {
    if (!runs) return ERR_NULLPTR;
    if (runs->status < 0) return runs->status;
    if (start < 0 || end > runs->length || start >= end) return ERR_INVPARAM;
    const int32_t first = SplitAt(runs, start);
    const int32_t last = first < 0 ? -1 : SplitAt(runs, end);
    if (last < 0) return runs->status;
    for (int32_t i = first; i < last; i++) runs->runs[i].marked = 1;
    return 0;
}

int32_t PageRunsFree(PageRuns *runs) {
    if (!runs) return ERR_NULLPTR;
    MemFree(runs->text);
    MemFree(runs->runs);
    memset(runs, 0, sizeof *runs);
    return 0;
}
