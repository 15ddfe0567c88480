// Output object over the rich-edit viewer: appends formatted text at the end of the control
// and sets the character format the next appended text takes. Never reads text back.
#pragma once
#include <windows.h>
#include <richedit.h>
#include <richole.h>
#include <tom.h>
#include <cstdint>

#include "classification/page_rtf.h"
#include "classification/page_runs.h"

enum : uint32_t {
    HIGHLIGHT_TEXT_COLOR = 0x0000FFFF,  // yellow letters on
    HIGHLIGHT_BACK_COLOR = 0x00404040,  // dark grey, for every match of the search word
};

struct RichTextView {
    HWND control;                 // the rich-edit control written to
    IRichEditOle *oleInterface;   // from EM_GETOLEINTERFACE; one reference, released with the view
    uint32_t options;             // ECO_* flags read at creation
    int32_t capacity;             // characters in buffer: 8192
    char *buffer;                 // capacity + 1 bytes, owned
    COLORREF plainColor;          // text colour with link style off
    COLORREF whiteColor;          // kept for pages that want it; unused so far
    COLORREF linkColor;           // blue, the colour of links
    COLORREF yellowColor;         // kept for pages that want it; unused so far
    COLORREF greyColor;           // kept for pages that want it; unused so far
    PageRtf page;                 // the last page as RTF (ui/page_view.h); its memory is reused
    PageRuns runs;                // the last page as runs of one format; its memory is reused
    int32_t runsWork;             // PAGE_RUNS_* (ui/page_runs_view.h): runs suit this viewer
    int32_t mode;                 // how pages are written: PAGE_VIEW_RUNS, _STREAM or _PIECES
    int32_t lastWay;              // how the last page went in: a PAGE_VIEW_* value
    int32_t marking;              // nonzero while a page's words are marked in runs, not in view
};

int32_t RichTextViewCreate(HWND control, RichTextView **view);
// Releases the OLE interface, the buffers and the view; null is ignored.
void RichTextViewFree(RichTextView *view);
int32_t RichTextViewPrint(RichTextView *view, const char *format, ...)
    __attribute__((format(printf, 2, 3)));
int32_t RichTextViewSetFont(RichTextView *view, const char *face, int32_t points, uint16_t weight);
int32_t RichTextViewSetEffects(RichTextView *view, int32_t bold, int32_t italic, int32_t underline);
int32_t RichTextViewSetLink(RichTextView *view, int32_t on);
int32_t RichTextViewClear(RichTextView *view);
// The viewer's text object model document, one reference for the caller to release; null when
// the viewer has none.
ITextDocument *RichTextViewDocument(RichTextView *view);
