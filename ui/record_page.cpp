// Record page in the viewer: replays a record's composed page onto the RichTextView, marks the
// last search word, and shows the page of the tree item the user (or the program) selects.
#include "ui/record_page.h"

#include <richedit.h>

#include "classification/page_compose.h"
#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/features.h"
#include "ui/history.h"
#include "ui/rich_text_view.h"

static void SinkSetFont(void *context, const char *face, int32_t points, uint16_t weight) {
    RichTextViewSetFont((RichTextView *)context, face, points, weight);
}

static void SinkSetEffects(void *context, int32_t bold, int32_t italic, int32_t underline) {
    RichTextViewSetEffects((RichTextView *)context, bold, italic, underline);
}

static void SinkSetLink(void *context, int32_t on) {
    RichTextViewSetLink((RichTextView *)context, on);
}

static void SinkWriteText(void *context, const char *text, int32_t length) {
    RichTextViewPrint((RichTextView *)context, "%.*s", (int)length, text);
}

int32_t HighlightWord(BrowserWindow *w, const char *word) {
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

int32_t ShowRecordPage(BrowserWindow *w, uint16_t kind, const TextRecord *record,
                       const TextRecord *array, int32_t history) {
    if (!w || !record || !array) return ERR_NULLPTR;
    if (!w->textView || !w->textBuffer || !w->scratchBuffer) return ERR_NULLPTRIN;
    RichTextView *view = w->textView;
    ClearLinks(&w->links);
    if (history) HistoryPush(w, PageRef{kind, (int32_t)record->index});

    HWND viewer = w->viewer.handle;
    // One repaint for the finished page instead of one per piece and per highlighted match.
    SendMessageA(viewer, WM_SETREDRAW, FALSE, 0);
    SendMessageA(view->control, WM_SETTEXT, 0, (LPARAM) "");
    RichTextViewClear(view);

    PageWorkspace workspace = {w->textBuffer, w->scratchBuffer, w->textCapacity};
    PageSink sink = {view, SinkSetFont, SinkSetEffects, SinkSetLink, SinkWriteText};
    ComposeRecordPage(&w->table, kind, record, &workspace, &w->links, &sink);

    if (w->search.searchWord &&
        SendMessageA(w->showWordCheck.handle, BM_GETCHECK, 0, 0) == BST_CHECKED)
        HighlightWord(w, w->search.searchWord);

    SendMessageA(viewer, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(viewer, nullptr, TRUE);
    SetFocus(viewer);
    POINT top = {0, 0};
    SendMessageA(viewer, EM_SETSCROLLPOS, 0, (LPARAM)&top);
    return 0;
}

void RecordPageOnTreeSelChanged(BrowserWindow *w, NMTREEVIEWA *nm) {
    if (!w || !nm) return;
    LPARAM r = nm->itemNew.lParam;
    if (r >= 0 && (uint64_t)r < w->table.recordCount)
        ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[r], w->table.records, 1);
}
