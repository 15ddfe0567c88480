// Record page in the viewer: replays a record's composed page onto the RichTextView, marks the
// last search word, and shows the page of the tree item the user (or the program) selects.
#include "ui/record_page.h"

#include <richedit.h>
#include <cstdio>
#include <cstring>

#include "classification/page_compose.h"
#include "classification/page_whole.h"
#include "classification/word_match.h"
#include "foundation/status.h"
#include "index/index_entries_page.h"
#include "ui/browser_window.h"
#include "ui/clipboard.h"
#include "ui/features.h"
#include "ui/history.h"
#include "ui/index_entries.h"
#include "ui/rich_text_view.h"
#include "ui/tree_items.h"

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

// 1 when the viewer's character before position is a word character.
static int AfterWordChar(HWND viewer, LONG position) {
    if (position <= 0) return 0;
    char before[2] = {0, 0};
    TEXTRANGEA range = {{position - 1, position}, before};
    SendMessageA(viewer, EM_GETTEXTRANGE, 0, (LPARAM)&range);
    return WordCharIs((unsigned char)before[0]);
}

int32_t HighlightText(BrowserWindow *w, const char *word, int32_t wordStartsOnly) {
    if (!w || !word || !*word) return 0;
    HWND viewer = w->viewer.handle;
    CHARFORMAT2A format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR | CFM_BACKCOLOR;
    format.crTextColor = HIGHLIGHT_TEXT_COLOR;
    format.crBackColor = HIGHLIGHT_BACK_COLOR;
    FINDTEXTEXA find = {};
    find.chrg.cpMin = 0;
    find.chrg.cpMax = -1;
    find.lpstrText = word;
    int32_t marked = 0;
    CHARRANGE last = {0, 0};
    for (;;) {
        LRESULT at = SendMessageA(viewer, EM_FINDTEXTEX, FR_DOWN, (LPARAM)&find);
        // An empty match would find the same place forever.
        if (at < 0 || find.chrgText.cpMax <= find.chrg.cpMin) break;
        if (wordStartsOnly && AfterWordChar(viewer, find.chrgText.cpMin)) {
            find.chrg.cpMin = find.chrgText.cpMin + 1;
            continue;
        }
        SendMessageA(viewer, EM_EXSETSEL, 0, (LPARAM)&find.chrgText);
        SendMessageA(viewer, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&format);
        last.cpMin = last.cpMax = find.chrgText.cpMax;
        find.chrg.cpMin = find.chrgText.cpMax;
        marked++;
    }
    // A match left selected would show in selection colours instead of the highlight ones.
    if (marked) SendMessageA(viewer, EM_EXSETSEL, 0, (LPARAM)&last);
    return marked;
}

int32_t HighlightWord(BrowserWindow *w, const char *word) { return HighlightText(w, word, 0); }

int32_t HighlightSearch(BrowserWindow *w) {
    if (!w || !w->search.searchWord) return 0;
    const SearchState &s = w->search;
    if (s.rule == SEARCH_RULE_CODE && s.hitCount > 0 && s.hits[0].index >= 0 &&
        (uint32_t)s.hits[0].index < w->table.recordCount)
        return HighlightWord(w, RecordField(&w->table.records[s.hits[0].index], FIELD_CODE));
    if (s.rule != SEARCH_RULE_ALL_WORDS) return HighlightWord(w, s.searchWord);
    // Each word on its own, zero-terminated in the scratch buffer (free once the page is
    // written); a word longer than the buffer could not be on a page anyway.
    enum { SPAN_ROOM = 64 };
    WordSpan spans[SPAN_ROOM];
    int32_t count = WordSplit(s.searchWord, spans, SPAN_ROOM);
    int32_t marked = 0;
    for (int32_t k = 0; k < count && k < SPAN_ROOM; k++) {
        if (spans[k].length > w->textCapacity) continue;
        memcpy(w->scratchBuffer, s.searchWord + spans[k].offset, (size_t)spans[k].length);
        w->scratchBuffer[spans[k].length] = '\0';
        marked += HighlightText(w, w->scratchBuffer, 1);
    }
    return marked;
}

int32_t ShowComposedPage(BrowserWindow *w, PageComposeFn compose, PageFinishFn finish,
                         void *context) {
    if (!w || !compose) return ERR_NULLPTR;
    if (!w->textView || !w->textBuffer || !w->scratchBuffer) return ERR_NULLPTRIN;
    RichTextView *view = w->textView;
    // Any page but a record's (the caller sets that one afterwards) has no code to copy or follow.
    w->shownPage = PageRef{0, 0};
    HWND viewer = w->viewer.handle;
    // One repaint for the finished page instead of one per piece and per highlighted match,
    // and the focus away meanwhile: a focused viewer shows and hides its caret at every append.
    if (GetFocus() == viewer) SetFocus(w->window);
    SendMessageA(viewer, WM_SETREDRAW, FALSE, 0);
    SendMessageA(view->control, WM_SETTEXT, 0, (LPARAM) "");
    RichTextViewClear(view);

    PageReplay replay;  // 8 KB of pending text: on the stack, as the page allocates nothing
    replay.view = view;
    replay.current = {};
    replay.current.cbSize = sizeof(replay.current);
    replay.atLineStart = false;
    replay.pendingLength = 0;
    PageSink sink = {&replay, SinkSetFont, SinkSetEffects, SinkSetLink, SinkWriteText};
    compose(w, context, &sink);
    Flush(&replay);

    if (finish) finish(w, context);

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

struct RecordPageRequest {
    uint16_t kind;
    const TextRecord *record;
};

static void ComposeRecord(BrowserWindow *w, void *context, const PageSink *sink) {
    const RecordPageRequest *request = (const RecordPageRequest *)context;
    PageWorkspace workspace = {w->textBuffer, w->scratchBuffer, w->textCapacity};
    PageSources sources = {&w->table, &w->sevenths, &w->changes};
    PageCounter counter;
    PageCounterInit(&counter, sink);
    if (ComposeWholePage(&sources, request->kind, request->record, &workspace, &w->links,
                         &counter.sink) >= 0 && request->kind == PAGE_KIND_RECORD)
        IndexEntriesCompose(w, (int32_t)(request->record - w->table.records), counter.position,
                            sink);
}

static void MarkSearchWord(BrowserWindow *w, void *) {
    if (w->search.searchWord &&
        SendMessageA(w->showWordCheck.handle, BM_GETCHECK, 0, 0) == BST_CHECKED)
        HighlightSearch(w);
}

int32_t ShowRecordPage(BrowserWindow *w, uint16_t kind, const TextRecord *record,
                       const TextRecord *array, int32_t history) {
    if (!w || !record || !array) return ERR_NULLPTR;
    if (!w->textView || !w->textBuffer || !w->scratchBuffer) return ERR_NULLPTRIN;
    ClearLinks(&w->links);
    if (history) HistoryPush(w, PageRef{kind, (int32_t)record->index});
    RecordPageRequest request = {kind, record};
    int32_t status = ShowComposedPage(w, ComposeRecord, MarkSearchWord, &request);
    if (status >= 0) w->shownPage = PageRef{kind, (int32_t)record->index};
    return status;
}

void RecordPageOnTreeSelChanged(BrowserWindow *w, NMTREEVIEWA *nm) {
    if (!w || !nm || w->treeFollowing) return;
    LPARAM r = nm->itemNew.lParam;
    if (r >= 0 && (uint64_t)r < w->table.recordCount)
        ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[r], w->table.records, 1);
}

// The shown page's record, or null when the viewer shows something else.
static const TextRecord *ShownRecord(BrowserWindow *w) {
    const PageRef page = w->shownPage;
    if (page.kind != PAGE_KIND_RECORD || page.index < 0 ||
        (uint32_t)page.index >= w->table.recordCount)
        return nullptr;
    return &w->table.records[page.index];
}

int32_t RecordPageSelectInTree(BrowserWindow *w) {
    if (!w) return ERR_NULLPTR;
    const TextRecord *record = ShownRecord(w);
    HTREEITEM item = record ? TreeItemFor(w, (uint32_t)(record - w->table.records)) : nullptr;
    if (!item) return ERR_NOTFOUND;
    HWND tree = w->tree.handle;
    if ((HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != item) {
        w->treeFollowing = 1;
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
        w->treeFollowing = 0;
    }
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, (LPARAM)item);
    return 0;
}

int32_t RecordPageCopyCode(BrowserWindow *w) {
    if (!w) return ERR_NULLPTR;
    const TextRecord *record = ShownRecord(w);
    if (!record || !w->textBuffer) return ERR_NOTFOUND;
    int length = snprintf(w->textBuffer, (size_t)w->textCapacity + 1, "%s",
                          RecordField(record, FIELD_CODE));
    if (length > w->textCapacity) length = w->textCapacity;
    return CopyTextToClipboard(w->window, w->textBuffer, (uint32_t)length);
}
