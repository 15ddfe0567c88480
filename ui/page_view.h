// Page view: shows a composed page in the viewer, in one repaint. The page goes in as runs of
// one format, each inserted at the end of the text (ui/page_runs_view.h). Where the viewer does
// not take runs so, the page is one RTF document streamed in whole, the few formats RTF cannot
// carry set afterwards; when the document cannot be built (out of memory) the page is appended
// piece by piece instead.
#pragma once
#include <cstdint>

#include "classification/page_compose.h"

struct BrowserWindow;

// Writes a composed page into the sink it is given (the page's own links are its business).
typedef void (*PageComposeFn)(BrowserWindow *w, void *context, const PageSink *sink);
// Marks the page's words through HighlightText before the page is painted: in the viewer once the
// text is in, or in the runs before they go in (RichTextView::marking); it does nothing else.
typedef void (*PageFinishFn)(BrowserWindow *w, void *context);

enum : int32_t {
    PAGE_VIEW_STREAM = 0,  // one RTF stream, then the formats it cannot carry
    PAGE_VIEW_PIECES = 1,  // one append per run of text (the last fallback; tests' reference)
    PAGE_VIEW_RUNS = 2,    // one range insertion per run of one format, then one wrap
};

// Shows the page compose writes, in one repaint, after finish (which may be null) has worked on
// it, and ends with the focus in the viewer at the top of the page. A link's end sets plain style
// for all that follows. 0; ERR_NULLPTR; ERR_NULLPTRIN without viewer output or buffers.
int32_t ShowComposedPage(BrowserWindow *w, PageComposeFn compose, PageFinishFn finish,
                         void *context);
// The same for a page whose links are styled as ranges: a link's end restores the style before
// it (index pages).
int32_t ShowComposedPageRangeLinks(BrowserWindow *w, PageComposeFn compose, PageFinishFn finish,
                                   void *context);
// How pages reach the viewer from now on (PAGE_VIEW_*, each falling back to the ways after it);
// the previous way. ERR_NULLPTR; ERR_INVPARAM.
int32_t PageViewSetMode(BrowserWindow *w, int32_t mode);
// How the last page really went in (PAGE_VIEW_*). ERR_NULLPTR.
int32_t PageViewLastWay(const BrowserWindow *w);
