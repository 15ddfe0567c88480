// Page runs into the viewer: each run of one format is inserted at the end of the text through
// the text object model, in the format set at the insertion point. Nothing selects or scrolls
// while the page goes in, and the viewer wraps it once when it is whole.
#pragma once
#include <cstdint>

#include "classification/page_runs.h"

struct RichTextView;

enum : int32_t {
    PAGE_RUNS_UNKNOWN = -1,  // not tried on this viewer yet
    PAGE_RUNS_NO = 0,        // the viewer gives inserted text another format: stream instead
    PAGE_RUNS_YES = 1,
};

// Writes the runs into the empty viewer, faces naming each run's face index (PageRtf::faces).
// 0 with the viewer holding exactly the runs' characters; ERR_NULLPTR; ERR_INVPARAM for runs
// that failed; ERR_OLE when the text object model refused; ERR_FAILED when the viewer's text is
// not the runs' (the caller empties it).
int32_t PageRunsViewWrite(RichTextView *view, const PageRuns *runs,
                          const char (*faces)[RTF_FACE_CHARS + 1], int32_t faceCount);
// Whether this viewer takes runs as they are meant (PAGE_RUNS_YES or _NO): two characters of
// different formats are written into the empty viewer and read back; the viewer is left empty.
// Tried once per viewer, the answer kept in the view.
int32_t PageRunsViewWorks(RichTextView *view);
