// Times the user-visible waits of the browser window in-process: selecting the tree item of the
// page with the most code references (search word set) until the viewer has painted the page and
// until the whole window has, following a link to that page, and "Find" for "diabetes" and for
// four words (no phrase hit: the all-words search) until the hit list is painted. Prints best,
// median and worst in milliseconds.
// --trace: one page and one tree selection between OutputDebugString markers, for reading a
// WINEDEBUG=+server,+debugstr log (server requests per step) instead of timing.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "classification/page_compose.h"
#include "classification/page_context.h"
#include "bench_win_support.h"
#include "foundation/mem.h"
#include "ui/app.h"
#include "ui/browser_window.h"
#include "ui/navigation.h"
#include "ui/record_page.h"
#include "ui/resize_bar.h"

static const int kRounds = 40;
static const double kPageLimitMs = 30.0;
static const double kFindLimitMs = 60.0;

// Counts the code references of a page: each is written as a link or underlined.
struct RefCounter {
    int32_t refs;
};
static void CountLink(void *c, int32_t on) {
    if (on) ((RefCounter *)c)->refs++;
}
static void CountUnderline(void *c, int32_t, int32_t, int32_t underline) {
    if (underline) ((RefCounter *)c)->refs++;
}

static int32_t MostReferencedRecord(BrowserWindow *w, int32_t *refs) {
    RefCounter counter = {0};
    PageSink sink = {&counter, nullptr, CountUnderline, CountLink, nullptr};
    PageWorkspace ws = {w->textBuffer, w->scratchBuffer, w->textCapacity};
    LinkTable links = {};
    int32_t best = 0, bestRefs = -1;
    for (uint32_t i = 0; i < w->table.recordCount; i++) {
        counter.refs = 0;
        ComposeRecordPage(&w->table, PAGE_KIND_RECORD, &w->table.records[i], &ws, &links, &sink);
        if (counter.refs > bestRefs) {
            bestRefs = counter.refs;
            best = (int32_t)i;
        }
    }
    *refs = bestRefs;
    return best;
}

static void Report(const char *what, std::vector<double> &t, double limit) {
    std::sort(t.begin(), t.end());
    double best = t.front(), median = t[t.size() / 2], worst = t.back();
    printf("%-44s best %7.2f  median %7.2f  worst %7.2f ms  (limit %4.1f ms: %s)\n", what, best,
           median, worst, limit, median <= limit ? "met" : "OVER");
}

struct SelectionTimes {
    std::vector<double> page;    // until the viewer has painted the page
    std::vector<double> window;  // until everything is painted, the tree's own rows included
};

// Selects `target` (after `other`, so the selection changes) and times it to the painted page
// and to the painted window.
static SelectionTimes TimeSelection(BrowserWindow *w, HWND window, void *target, HTREEITEM other) {
    SelectionTimes times;
    for (int i = 0; i < kRounds; i++) {
        SendMessageA(w->tree.handle, TVM_SELECTITEM, TVGN_CARET, (LPARAM)other);
        UpdateWindow(window);
        BenchPump();
        double t0 = BenchNow();
        SendMessageA(w->tree.handle, TVM_SELECTITEM, TVGN_CARET, (LPARAM)target);
        // A viewer still waiting for its paint would make the first figure a lie.
        if (GetUpdateRect(w->viewer.handle, nullptr, FALSE)) UpdateWindow(w->viewer.handle);
        double t1 = BenchNow();
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        double t2 = BenchNow();
        times.page.push_back(t1 - t0);
        times.window.push_back(t2 - t0);
        BenchPump();
    }
    return times;
}

// Follows a link to `code` from the page of `from`, timed until the window is painted.
static std::vector<double> TimeLink(BrowserWindow *w, HWND window, const TextRecord *from,
                                    const char *code) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; i++) {
        SendMessageA(w->tree.handle, TVM_SELECTITEM, TVGN_CARET, (LPARAM)from->treeItem);
        UpdateWindow(window);
        BenchPump();
        double t0 = BenchNow();
        GoToCode(w, PAGE_KIND_RECORD, code);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        times.push_back(BenchNow() - t0);
        BenchPump();
    }
    return times;
}

// One page shown directly and one tree selection between OutputDebugString markers.
static void TraceOnce(BrowserWindow *w, HWND window, const TextRecord *record, HTREEITEM other) {
    OutputDebugStringA("MARK show-begin");
    ShowRecordPage(w, PAGE_KIND_RECORD, record, w->table.records, 0);
    OutputDebugStringA("MARK show-end");
    SendMessageA(w->tree.handle, TVM_SELECTITEM, TVGN_CARET, (LPARAM)other);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    BenchPump();
    OutputDebugStringA("MARK select-begin");
    SendMessageA(w->tree.handle, TVM_SELECTITEM, TVGN_CARET, (LPARAM)record->treeItem);
    OutputDebugStringA("MARK select-page-shown");
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    OutputDebugStringA("MARK select-window-painted");
}

// "Find" for text, from the button until the window has painted the hit list.
static void TimeFind(BrowserWindow *w, HWND window, const char *text, const char *what) {
    SetWindowTextA(w->searchEdit.handle, text);
    BenchPump();
    std::vector<double> find;
    for (int i = 0; i < kRounds; i++) {
        double t0 = BenchNow();
        SendMessageA(window, WM_COMMAND, IDC_FIND_BUTTON, 0);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        find.push_back(BenchNow() - t0);
        BenchPump();
    }
    printf("hits for '%s': %d\n", text, w->search.hitCount);
    Report(what, find, kFindLimitMs);
}

static void CountBytes(void *c, const char *, int32_t length) { *(int64_t *)c += length; }

// The record whose coding context is the longest.
static int32_t LongestContextRecord(BrowserWindow *w, int64_t *bytes) {
    PageWorkspace ws = {w->textBuffer, w->scratchBuffer, w->textCapacity};
    LinkTable links = {};
    int32_t best = 1;
    *bytes = 0;
    for (uint32_t i = 1; i < w->table.recordCount; i++) {
        int64_t n = 0;
        PageSink sink = {&n, nullptr, nullptr, nullptr, CountBytes};
        ComposePageContext(&w->table, &w->sevenths, &w->releases.changes, PAGE_KIND_RECORD, &w->table.records[i], &ws,
                           &links, &sink);
        if (n > *bytes) {
            *bytes = n;
            best = (int32_t)i;
        }
    }
    return best;
}

// ShowRecordPage to the viewer painted, for the page with the longest context and for the
// busiest page, in alternation so that both see the same machine.
static void TimeLongestContext(BrowserWindow *w, HWND window, const TextRecord *busiest) {
    int64_t bytes = 0;
    const TextRecord *longest = &w->table.records[LongestContextRecord(w, &bytes)];
    printf("page with the longest coding context: %s (%lld bytes of context)\n",
           RecordField(longest, FIELD_CODE), (long long)bytes);
    std::vector<double> a, b;
    for (int i = 0; i < kRounds; i++) {
        double t0 = BenchNow();
        ShowRecordPage(w, PAGE_KIND_RECORD, longest, w->table.records, 0);
        double t1 = BenchNow();
        BenchPump();
        double t2 = BenchNow();
        ShowRecordPage(w, PAGE_KIND_RECORD, busiest, w->table.records, 0);
        double t3 = BenchNow();
        BenchPump();
        a.push_back(t1 - t0);
        b.push_back(t3 - t2);
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    double ma = a[a.size() / 2], mb = b[b.size() / 2];
    printf("ShowRecordPage to painted: longest context %.2f ms, busiest page %.2f ms, ratio %.2f "
           "(limit 1.50: %s)\n", ma, mb, ma / mb, ma <= 1.5 * mb ? "met" : "MISSED");
}

// Each page beside its floor, in alternation: the page shown and painted, then its own text set
// into the same viewer at once and painted.
static void TimePagesVsPlain(BrowserWindow *w, HWND window, const TextRecord *busiest,
                             const char *busyName, const TextRecord *longest,
                             const char *longName) {
    const TextRecord *pages[2] = {busiest, longest};
    std::string texts[2];
    for (int k = 0; k < 2; k++) {
        ShowRecordPage(w, PAGE_KIND_RECORD, pages[k], w->table.records, 0);
        texts[k] = BenchViewerText(w);
    }
    std::vector<double> page[2], plain[2];
    for (int i = 0; i < kRounds; i++) {
        for (int k = 0; k < 2; k++) {
            double t0 = BenchNow();
            ShowRecordPage(w, PAGE_KIND_RECORD, pages[k], w->table.records, 0);
            page[k].push_back(BenchNow() - t0);
            BenchPump();
            plain[k].push_back(BenchPlainPage(w, texts[k]));
            BenchPump();
        }
    }
    std::vector<double> link = TimeLink(w, window, &w->table.records[1], RecordField(busiest, FIELD_CODE));
    // The followed link's floor: the page's text at once, and the whole window painted as well.
    std::vector<double> linkPlain;
    for (int i = 0; i < kRounds; i++) {
        double t0 = BenchNow();
        BenchPlainPage(w, texts[0]);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        linkPlain.push_back(BenchNow() - t0);
        BenchPump();
    }
    BenchPrintPageVsPlain(busyName, page[0], plain[0]);
    BenchPrintPageVsPlain(longName, page[1], plain[1]);
    std::string linkName = std::string("link-") + busyName;
    BenchPrintPageVsPlain(linkName.c_str(), link, linkPlain);
}

static void TimeAll(BrowserWindow *w, HWND window, const TextRecord *record, HTREEITEM other) {
    TimeLongestContext(w, window, record);
    {
        // Where the time goes: composition alone, rendering into the viewer, painting.
        PageSink none = {};
        PageWorkspace ws = {w->textBuffer, w->scratchBuffer, w->textCapacity};
        LinkTable links = {};
        std::vector<double> compose, render, paint;
        for (int i = 0; i < kRounds; i++) {
            double t0 = BenchNow();
            ComposeRecordPage(&w->table, PAGE_KIND_RECORD, record, &ws, &links, &none);
            double t1 = BenchNow();
            ShowRecordPage(w, PAGE_KIND_RECORD, record, w->table.records, 0);
            double t2 = BenchNow();
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            double t3 = BenchNow();
            compose.push_back(t1 - t0);
            render.push_back(t2 - t1);
            paint.push_back(t3 - t2);
            BenchPump();
        }
        Report("  composition alone", compose, kPageLimitMs);
        Report("  ShowRecordPage, viewer painted", render, kPageLimitMs);
        Report("  painting the rest", paint, kPageLimitMs);
    }
    SelectionTimes distant = TimeSelection(w, window, record->treeItem, other);
    Report("tree selection to page shown (word 'code')", distant.page, kPageLimitMs);
    Report("  to the whole window painted", distant.window, kPageLimitMs);
    // What a click does: the item above is on screen, so the tree does not scroll.
    HTREEITEM neighbour = (HTREEITEM)SendMessageA(w->tree.handle, TVM_GETNEXTITEM,
                                                  TVGN_PREVIOUSVISIBLE, (LPARAM)record->treeItem);
    SelectionTimes adjacent = TimeSelection(w, window, record->treeItem, neighbour);
    Report("the same from the item above (no scroll)", adjacent.page, kPageLimitMs);
    Report("  to the whole window painted", adjacent.window, kPageLimitMs);
    SendMessageA(w->showWordCheck.handle, BM_SETCHECK, BST_UNCHECKED, 0);
    SelectionTimes plain = TimeSelection(w, window, record->treeItem, other);
    Report("the same without highlighting", plain.page, kPageLimitMs);
    SendMessageA(w->showWordCheck.handle, BM_SETCHECK, BST_CHECKED, 0);
    std::vector<double> link =
        TimeLink(w, window, &w->table.records[1], RecordField(record, FIELD_CODE));
    Report("following a link to it, window painted", link, kPageLimitMs);
    int64_t contextBytes = 0;
    const TextRecord *longest = &w->table.records[LongestContextRecord(w, &contextBytes)];
    TimePagesVsPlain(w, window, record, RecordField(record, FIELD_CODE), longest,
                     RecordField(longest, FIELD_CODE));

    SendMessageA(w->tab.handle, TCM_SETCURSEL, 1, 0);
    ShowTab(w, 1);
    TimeFind(w, window, "diabetes", "\"Find\" diabetes to list shown");
    // No phrase hit, so all words: the phrase search and the all-words search both run.
    TimeFind(w, window, "diabetes chronic kidney disease", "\"Find\" four words to list shown");
}

int main(int argc, char **argv) {
    bool trace = argc > 1 && strcmp(argv[1], "--trace") == 0;
    StartMemoryTracer(TRACER_SLOTS);
    AppContext *app = (AppContext *)MemAlloc(sizeof(AppContext));
    app->instance = GetModuleHandleA(nullptr);
    AppStartServices();
    RegisterResizeBarClass(app->instance);
    if (CreateBrowserWindow(app) < 0) {
        printf("window creation failed\n");
        return 1;
    }
    HWND window = FindWindowA("TextRecordViewerClass", "Morbivue");
    BrowserWindow *w = (BrowserWindow *)GetWindowLongPtrA(window, GWLP_USERDATA);
    BenchPump();

    int32_t refs = 0;
    int32_t target = MostReferencedRecord(w, &refs);
    const TextRecord *record = &w->table.records[target];
    printf("page with the most code references: %s (%d references)\n",
           RecordField(record, FIELD_CODE), refs);

    // A search word that occurs on the page, so highlighting has work to do.
    SetWindowTextA(w->searchEdit.handle, "code");
    SendMessageA(window, WM_COMMAND, IDC_FIND_BUTTON, 0);
    SendMessageA(w->showWordCheck.handle, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(w->tab.handle, TCM_SETCURSEL, 0, 0);
    ShowTab(w, 0);
    BenchPump();

    HTREEITEM other = (HTREEITEM)w->table.records[1].treeItem;
    if (trace)
        TraceOnce(w, window, record, other);
    else
        TimeAll(w, window, record, other);

    DestroyWindow(window);
    BenchPump();
    OleUninitialize();
    AppContextFree(app);
    StopMemoryTracer();
    return 0;
}
