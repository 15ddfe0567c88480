// Record page in the viewer: replays a record's composed page onto the RichTextView, marks the
// last search word, and shows the page of the tree item the user (or the program) selects.
#include "ui/record_page.h"

#include <richedit.h>
#include <cstdio>
#include <cstring>

#include "classification/code_refs.h"
#include "classification/page_compose.h"
#include "classification/page_find.h"
#include "classification/page_runs.h"
#include "classification/page_whole.h"
#include "classification/word_match.h"
#include "foundation/status.h"
#include "classification/page_complete.h"
#include "classification/str_bounded.h"
#include "edits/edits_page.h"
#include "index/index_entries_page.h"
#include "ui/browser_window.h"
#include "ui/clipboard.h"
#include "ui/features.h"
#include "ui/guideline_pages.h"
#include "ui/history.h"
#include "ui/index_entries.h"
#include "ui/page_view.h"
#include "ui/rich_text_view.h"
#include "ui/tree_items.h"

// 1 when the viewer's character before position is a word character.
static int AfterWordChar(HWND viewer, LONG position) {
    if (position <= 0) return 0;
    char before[2] = {0, 0};
    TEXTRANGEA range = {{position - 1, position}, before};
    SendMessageA(viewer, EM_GETTEXTRANGE, 0, (LPARAM)&range);
    return WordCharIs((unsigned char)before[0]);
}

// The same marks in a page still to be inserted as runs: its text is the viewer's to be.
static int32_t MarkRuns(PageRuns *runs, const char *word, int32_t wordStartsOnly) {
    const int32_t n = (int32_t)strlen(word);
    int32_t marked = 0;
    for (int32_t from = 0;;) {
        const int32_t at = PageTextFind(runs->text, runs->length, word, from);
        if (at < 0) break;
        if (wordStartsOnly && at > 0 && WordCharIs((unsigned char)runs->text[at - 1])) {
            from = at + 1;
            continue;
        }
        if (PageRunsMark(runs, at, at + n) < 0) break;
        from = at + n;
        marked++;
    }
    return marked;
}

int32_t HighlightText(BrowserWindow *w, const char *word, int32_t wordStartsOnly) {
    if (!w || !word || !*word) return 0;
    if (w->textView && w->textView->marking) return MarkRuns(&w->textView->runs, word, wordStartsOnly);
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

struct RecordPageRequest {
    uint16_t kind;
    const TextRecord *record;
};

// A complete code opened by its leaf's page is headed as itself first.
static void ComposeCompleteTop(BrowserWindow *w, const TextRecord *record, PageWorkspace *ws,
                               const PageSink *sink) {
    if (!w->completeCode[0]) return;
    ReleaseCheckResult full;
    int32_t newest = ReleasesNewest(&w->releases);
    if (newest < 0 ||
        ReleasesCheck(&w->releases, newest, &w->table, &w->sevenths, w->completeCode, &full) < 0 ||
        full.check.kind != CODE_KIND_COMPLETE || full.status != RELEASE_BILLABLE ||
        &w->table.records[full.check.record] != record)
        return;
    char title[1024];
    ReleasesCheckTitle(&w->table, &full, title, (int32_t)sizeof title - 1);
    ComposeCompleteHeading(full.check.code, title, ws, sink);
}

int32_t GoToCompleteCode(BrowserWindow *w, const char *typed, int32_t record) {
    if (!w || !typed) return ERR_NULLPTR;
    if (record <= 0 || (uint32_t)record >= w->table.recordCount) return ERR_NOTFOUND;
    StrCopyBounded(w->completeCode, typed, (int32_t)sizeof w->completeCode - 1);
    const int32_t status =
        GoToCode(w, PAGE_KIND_RECORD, RecordField(&w->table.records[record], FIELD_CODE));
    w->completeCode[0] = '\0';
    return status;
}

static void ComposeRecord(BrowserWindow *w, void *context, const PageSink *sink) {
    const RecordPageRequest *request = (const RecordPageRequest *)context;
    PageWorkspace workspace = {w->textBuffer, w->scratchBuffer, w->textCapacity};
    PageSources sources = {&w->table, &w->sevenths, &w->releases.changes, &w->releases};
    PageCounter counter;
    PageCounterInit(&counter, sink);
    ComposeCompleteTop(w, request->record, &workspace, &counter.sink);
    if (ComposeWholePage(&sources, request->kind, request->record, &workspace, &w->links,
                         &counter.sink) < 0 || request->kind != PAGE_KIND_RECORD)
        return;
    const int32_t position = (int32_t)(request->record - w->table.records);
    if (w->edits.text)
        ComposeEditsSection(&w->edits, &w->releases, &w->table, &w->sevenths, position, &workspace,
                            &counter.sink);
    GuidelinesComposeForRecord(w, RecordField(request->record, FIELD_CODE), counter.position,
                               &counter.sink);
    IndexEntriesCompose(w, position, counter.position, sink);
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

int32_t GoToCode(BrowserWindow *w, uint16_t kind, const char *code) {
    if (!w) return ERR_NULLPTR;
    int32_t r = FindRecordByCode(&w->table, kind, code);
    if (r < 0) return r;
    const TextRecord *record = &w->table.records[r];
    SendMessageA(w->tab.handle, TCM_SETCURSEL, 0, 0);
    ShowTab(w, 0);
    // A change of selection shows the page through TVN_SELCHANGEDA, history entry included;
    // rendering it a second time would only repeat that work. When the item was selected already
    // (or the record has no item) nothing was shown, so the page is shown here.
    HWND tree = w->tree.handle;
    HTREEITEM item = TreeItemFor(w, (uint32_t)r);
    HTREEITEM before = item ? (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) : nullptr;
    if (item) SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    bool shownBySelection =
        item && before != item && (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == item;
    if (!shownBySelection) ShowRecordPage(w, PAGE_KIND_RECORD, record, w->table.records, 1);
    return 0;
}

int32_t RecordPageShowAt(BrowserWindow *w, int32_t position) {
    if (!w) return ERR_NULLPTR;
    if (position < 0 || (uint32_t)position >= w->table.recordCount) return ERR_INVINDEX;
    return ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[position], w->table.records, 0);
}

int32_t RecordPageFollowLink(BrowserWindow *w, int32_t, const char *text) {
    if (!w || !text) return ERR_NULLPTR;
    return GoToCode(w, LinkKindForText(&w->links, text), text);
}
