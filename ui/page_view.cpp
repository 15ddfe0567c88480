// Page view: builds a composed page as RTF and as runs, and inserts the runs into the viewer or
// streams the RTF in and sets what it cannot say; or, as the last fallback, replays the page's
// steps onto the viewer piece by piece.
#include "ui/page_view.h"

#include <richedit.h>
#include <cstring>

#include "classification/page_rtf.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/page_runs_view.h"
#include "ui/rich_text_view.h"

// Replays the composed page onto the view. Text pieces between two format changes are written
// as one append: every append costs the control a re-wrap and a scroll update, and a page has
// hundreds of pieces. The control also gives text written at the start of a new last paragraph
// that paragraph mark's format instead of the one in force, so the format set so far on this page
// is mirrored here and set again before such text.
struct PageReplay {
    RichTextView *view;                   // where the page goes
    CHARFORMAT2A current;                 // every format member set on this page so far
    bool atLineStart;                     // the last append ended with a line feed
    int32_t pendingLength;                // characters waiting in pending
    char pending[VIEW_PIECE_CHARS + 1];   // text not yet appended, all in the current format
};

static void Flush(PageReplay *r) {
    if (r->pendingLength == 0) return;
    if (r->atLineStart && r->current.dwMask) {
        CHARRANGE end = {-1, -1};
        SendMessageA(r->view->control, EM_EXSETSEL, 0, (LPARAM)&end);
        SendMessageA(r->view->control, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&r->current);
    }
    r->pending[r->pendingLength] = '\0';
    RichTextViewPrint(r->view, "%s", r->pending);
    r->atLineStart = r->pending[r->pendingLength - 1] == '\n';
    r->pendingLength = 0;
}

static void SinkSetFont(void *context, const char *face, int32_t points, uint16_t weight) {
    PageReplay *r = (PageReplay *)context;
    Flush(r);
    RichTextViewSetFont(r->view, face, points, weight);
    r->current.dwMask |= CFM_SIZE | CFM_FACE | CFM_BOLD;
    r->current.yHeight = points * 20;
    lstrcpynA(r->current.szFaceName, face, sizeof r->current.szFaceName);
    r->current.dwEffects = (r->current.dwEffects & ~CFE_BOLD) | (weight > 400 ? CFE_BOLD : 0);
}

static void SinkSetEffects(void *context, int32_t bold, int32_t italic, int32_t underline) {
    PageReplay *r = (PageReplay *)context;
    Flush(r);
    RichTextViewSetEffects(r->view, bold, italic, underline);
    r->current.dwMask |= CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
    r->current.dwEffects &= ~(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE);
    r->current.dwEffects |= (bold ? CFE_BOLD : 0) | (italic ? CFE_ITALIC : 0) |
                            (underline ? CFE_UNDERLINE : 0);
}

static void SinkSetLink(void *context, int32_t on) {
    PageReplay *r = (PageReplay *)context;
    Flush(r);
    RichTextViewSetLink(r->view, on);
    r->current.dwMask |= CFM_COLOR | CFM_UNDERLINETYPE | CFM_WEIGHT | CFM_LINK | CFM_UNDERLINE;
    r->current.dwEffects &= ~(CFE_LINK | CFE_UNDERLINE | CFE_AUTOCOLOR);
    r->current.dwEffects |= on ? (CFE_LINK | CFE_UNDERLINE) : 0;
    r->current.crTextColor = on ? r->view->linkColor : r->view->plainColor;
    r->current.bUnderlineType = on ? CFU_UNDERLINEWORD : CFU_UNDERLINENONE;
    r->current.wWeight = on ? 500 : 400;
}

static void SinkWriteText(void *context, const char *text, int32_t length) {
    PageReplay *r = (PageReplay *)context;
    while (length > 0) {
        if (r->pendingLength == VIEW_PIECE_CHARS) Flush(r);
        int32_t room = VIEW_PIECE_CHARS - r->pendingLength;
        int32_t piece = length < room ? length : room;
        memcpy(r->pending + r->pendingLength, text, (size_t)piece);
        r->pendingLength += piece;
        text += piece;
        length -= piece;
    }
}

// Piecewise output of a page whose links are styled by range: the link steps are left out while
// the text goes in, then each link's characters get the link style.
struct RangeLinks {
    PageReplay *replay;  // where the text goes
    int32_t position;    // characters written so far
    int32_t start;       // first character of the open link, -1 for none
    int32_t count;       // ranges in ranges
    int32_t capacity;    // ranges allocated
    CHARRANGE *ranges;   // MemRealloc'd; a range that cannot be stored is not styled
};

static void RangeSetFont(void *context, const char *face, int32_t points, uint16_t weight) {
    SinkSetFont(((RangeLinks *)context)->replay, face, points, weight);
}

static void RangeSetEffects(void *context, int32_t bold, int32_t italic, int32_t underline) {
    SinkSetEffects(((RangeLinks *)context)->replay, bold, italic, underline);
}

static void RangeSetLink(void *context, int32_t on) {
    RangeLinks *r = (RangeLinks *)context;
    if (on) {
        r->start = r->position;
        return;
    }
    if (r->start < 0) return;
    if (r->count == r->capacity) {
        const int32_t capacity = r->capacity ? r->capacity * 2 : 64;
        CHARRANGE *ranges =
            (CHARRANGE *)MemRealloc(r->ranges, capacity * (int32_t)sizeof(CHARRANGE));
        if (!ranges) return;
        r->ranges = ranges;
        r->capacity = capacity;
    }
    r->ranges[r->count++] = CHARRANGE{r->start, r->position};
    r->start = -1;
}

static void RangeWriteText(void *context, const char *text, int32_t length) {
    RangeLinks *r = (RangeLinks *)context;
    for (int32_t i = 0; i < length; i++)
        if (!(text[i] == '\r' && i + 1 < length && text[i + 1] == '\n')) r->position++;
    SinkWriteText(r->replay, text, length);
}

static void ApplyRangeLinks(RichTextView *view, const RangeLinks *r) {
    HWND viewer = view->control;
    // Without the change and selection notifications each range costs half as much.
    const LRESULT events = SendMessageA(viewer, EM_SETEVENTMASK, 0, 0);
    SendMessageA(viewer, EM_SETUNDOLIMIT, 0, 0);
    for (int32_t i = 0; i < r->count; i++) {
        SendMessageA(viewer, EM_EXSETSEL, 0, (LPARAM)&r->ranges[i]);
        RichTextViewSetLink(view, 1);
    }
    CHARRANGE end = {-1, -1};
    SendMessageA(viewer, EM_EXSETSEL, 0, (LPARAM)&end);
    SendMessageA(viewer, EM_SETEVENTMASK, 0, events);
    SendMessageA(viewer, EM_SETUNDOLIMIT, 100, 0);
}

static void WriteInPieces(BrowserWindow *w, PageComposeFn compose, void *context,
                          int32_t linkMode) {
    RichTextView *view = w->textView;
    RichTextViewClear(view);
    PageReplay replay;  // 8 KB of pending text: on the stack, as this path allocates nothing
    replay.view = view;
    replay.current = {};
    replay.current.cbSize = sizeof(replay.current);
    replay.atLineStart = false;
    replay.pendingLength = 0;
    if (linkMode == RTF_LINKS_INLINE) {
        PageSink sink = {&replay, SinkSetFont, SinkSetEffects, SinkSetLink, SinkWriteText};
        compose(w, context, &sink);
        Flush(&replay);
        return;
    }
    RangeLinks ranges = {&replay, 0, -1, 0, 0, nullptr};
    PageSink sink = {&ranges, RangeSetFont, RangeSetEffects, RangeSetLink, RangeWriteText};
    compose(w, context, &sink);
    Flush(&replay);
    ApplyRangeLinks(view, &ranges);
    MemFree(ranges.ranges);
}

struct StreamSource {
    const char *bytes;
    int32_t length;
    int32_t offset;
};

static DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG capacity, LONG *got) {
    StreamSource *s = (StreamSource *)cookie;
    LONG n = s->length - s->offset;
    if (n > capacity) n = capacity;
    memcpy(buffer, s->bytes + s->offset, (size_t)n);
    s->offset += n;
    *got = n;
    return 0;
}

// Sets the formats RTF could not carry. A hidden selection spares each range a redraw of the old
// and the new selection; no notification is wanted for ranges the user never chose.
static void ApplyFixes(HWND viewer, const PageRtf *rtf) {
    const LRESULT events = SendMessageA(viewer, EM_SETEVENTMASK, 0, 0);
    SendMessageA(viewer, EM_SETUNDOLIMIT, 0, 0);
    SendMessageA(viewer, EM_HIDESELECTION, TRUE, 0);
    for (int32_t i = 0; i < rtf->fixCount; i++) {
        const RtfFix &fix = rtf->fixes[i];
        CHARRANGE range = {fix.start, fix.start + fix.length};
        SendMessageA(viewer, EM_EXSETSEL, 0, (LPARAM)&range);
        CHARFORMAT2A format = {};
        format.cbSize = sizeof format;
        format.dwMask = CFM_LINK | CFM_WEIGHT | CFM_BOLD;
        format.dwEffects = (fix.link ? CFE_LINK : 0) | (fix.bold ? CFE_BOLD : 0);
        format.wWeight = fix.weight;
        // A type of no line comes only with the underline effect on (a reference to a code the
        // release lacks, after a link): the viewer would drop the effect with a type alone.
        if (fix.underlineType != RTF_UNDERLINE_KEEP) {
            format.dwMask |= CFM_UNDERLINETYPE | CFM_UNDERLINE;
            format.dwEffects |= CFE_UNDERLINE;
            format.bUnderlineType = fix.underlineType;
        }
        SendMessageA(viewer, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&format);
    }
    // Where appending would have left it: the end of the page.
    CHARRANGE end = {-1, -1};
    SendMessageA(viewer, EM_EXSETSEL, 0, (LPARAM)&end);
    SendMessageA(viewer, EM_HIDESELECTION, FALSE, 0);
    SendMessageA(viewer, EM_SETEVENTMASK, 0, events);
    SendMessageA(viewer, EM_SETUNDOLIMIT, 100, 0);
}

// An emptied viewer keeps the format its last text had (an underline type, a colour, the link
// effect): without this a page would start in whatever the page before it ended with.
static void ResetFormat(HWND viewer) {
    CHARFORMAT2A plain = {};
    plain.cbSize = sizeof plain;
    plain.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_UNDERLINETYPE | CFM_STRIKEOUT |
                   CFM_COLOR | CFM_BACKCOLOR | CFM_WEIGHT | CFM_LINK;
    plain.dwEffects = CFE_AUTOCOLOR | CFE_AUTOBACKCOLOR;
    plain.bUnderlineType = CFU_UNDERLINE;
    plain.wWeight = FW_NORMAL;
    SendMessageA(viewer, EM_SETCHARFORMAT, SCF_ALL, (LPARAM)&plain);
}

static int32_t StreamIn(HWND viewer, const PageRtf *rtf) {
    StreamSource source = {rtf->text, rtf->length, 0};
    EDITSTREAM stream = {(DWORD_PTR)&source, 0, ReadStream};
    SendMessageA(viewer, EM_STREAMIN, SF_RTF, (LPARAM)&stream);
    if (stream.dwError != 0) {
        SendMessageA(viewer, WM_SETTEXT, 0, (LPARAM) "");
        return ERR_FAILED;
    }
    ApplyFixes(viewer, rtf);
    return 0;
}

// Builds the page as RTF, and as runs when they are wanted; the way it went in, or a failure
// that leaves the viewer empty for the pieces. Runs are finished (their words marked) before
// they go in, and *finished says so; in the viewer each mark would cost a scroll to it.
static int32_t WriteWhole(BrowserWindow *w, PageComposeFn compose, PageFinishFn finish,
                          void *context, int32_t linkMode, bool runs, bool *finished) {
    RichTextView *view = w->textView;
    PageRtf *rtf = &view->page;
    PageRtfRecordRuns(rtf, runs ? &view->runs : nullptr);
    int32_t status = PageRtfBegin(rtf, linkMode);
    if (status < 0) return status;
    PageSink sink = PageRtfSink(rtf);
    compose(w, context, &sink);
    status = PageRtfEnd(rtf);
    if (status < 0) return status;
    HWND viewer = w->viewer.handle;
    if (runs && view->runs.status == 0) {
        view->marking = 1;
        if (finish) finish(w, context);
        view->marking = 0;
        if (PageRunsViewWrite(view, &view->runs, rtf->faces, rtf->faceCount) == 0) {
            *finished = true;
            return PAGE_VIEW_RUNS;
        }
        SendMessageA(viewer, WM_SETTEXT, 0, (LPARAM) "");
        ResetFormat(viewer);
    }
    status = StreamIn(viewer, rtf);
    return status < 0 ? status : PAGE_VIEW_STREAM;
}

static int32_t ShowPage(BrowserWindow *w, PageComposeFn compose, PageFinishFn finish,
                        void *context, int32_t linkMode) {
    if (!w || !compose) return ERR_NULLPTR;
    if (!w->textView || !w->textBuffer || !w->scratchBuffer) return ERR_NULLPTRIN;
    // Any page but a record's (the caller sets that one afterwards) has no code to copy or follow.
    w->shownPage = PageRef{0, 0};
    HWND viewer = w->viewer.handle;
    // One repaint for the finished page instead of one per piece and per highlighted match,
    // and the focus away meanwhile: a focused viewer shows and hides its caret at every change.
    if (GetFocus() == viewer) SetFocus(w->window);
    SendMessageA(viewer, WM_SETREDRAW, FALSE, 0);
    SendMessageA(viewer, WM_SETTEXT, 0, (LPARAM) "");
    ResetFormat(viewer);
    RichTextView *view = w->textView;
    if (view->mode == PAGE_VIEW_RUNS && view->runsWork == PAGE_RUNS_UNKNOWN) {
        PageRunsViewWorks(view);  // once, on the emptied viewer; the trial leaves its format
        ResetFormat(viewer);
    }
    const bool runs = view->mode == PAGE_VIEW_RUNS && view->runsWork == PAGE_RUNS_YES;
    bool finished = false;
    int32_t way = view->mode == PAGE_VIEW_PIECES
                      ? PAGE_VIEW_PIECES
                      : WriteWhole(w, compose, finish, context, linkMode, runs, &finished);
    if (way < 0 || way == PAGE_VIEW_PIECES) {
        way = PAGE_VIEW_PIECES;
        WriteInPieces(w, compose, context, linkMode);
    }
    view->lastWay = way;

    if (finish && !finished) finish(w, context);

    // Scrolled to the top while redrawing is still off: scrolling a visible viewer redraws its
    // scroll bar and repaints the page at once, then the repaint below does both again (under
    // Wine a scroll bar drawing costs dozens of server round trips). Giving the focus afterwards
    // keeps the top in view: the viewer does not scroll to its caret on getting the focus.
    POINT top = {0, 0};
    SendMessageA(viewer, EM_SETSCROLLPOS, 0, (LPARAM)&top);
    SendMessageA(viewer, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(viewer, nullptr, TRUE);
    SetFocus(viewer);
    // Painted now instead of whenever the message loop gets to it: the page is what the user is
    // waiting for, and it would otherwise wait behind the tree's repaint of its selection (under
    // Wine that repaint redraws the tree's themed scroll bars and takes longer than the page).
    UpdateWindow(viewer);
    return 0;
}

int32_t ShowComposedPage(BrowserWindow *w, PageComposeFn compose, PageFinishFn finish,
                         void *context) {
    return ShowPage(w, compose, finish, context, RTF_LINKS_INLINE);
}

int32_t ShowComposedPageRangeLinks(BrowserWindow *w, PageComposeFn compose, PageFinishFn finish,
                                   void *context) {
    return ShowPage(w, compose, finish, context, RTF_LINKS_RANGES);
}

int32_t PageViewSetMode(BrowserWindow *w, int32_t mode) {
    if (!w || !w->textView) return ERR_NULLPTR;
    if (mode != PAGE_VIEW_STREAM && mode != PAGE_VIEW_PIECES && mode != PAGE_VIEW_RUNS)
        return ERR_INVPARAM;
    const int32_t before = w->textView->mode;
    w->textView->mode = mode;
    return before;
}

int32_t PageViewLastWay(const BrowserWindow *w) {
    if (!w || !w->textView) return ERR_NULLPTR;
    return w->textView->lastWay;
}
