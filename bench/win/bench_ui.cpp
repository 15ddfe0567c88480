// Times the two user-visible waits of the browser window in-process: selecting the tree item of
// the page with the most code references (search word set) until the page is painted, and
// "Find" for "diabetes" until the hit list is painted. Prints median and worst in milliseconds.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "classification/page_compose.h"
#include "foundation/mem.h"
#include "ui/app.h"
#include "ui/browser_window.h"
#include "ui/record_page.h"
#include "ui/resize_bar.h"

static const int kRounds = 40;
static const double kPageLimitMs = 30.0;
static const double kFindLimitMs = 60.0;

static double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * (double)c.QuadPart / (double)f.QuadPart;
}

static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

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

// Selects `target` (after `other`, so the selection changes) and times it to the painted page.
static std::vector<double> TimeSelection(BrowserWindow *w, HWND window, void *target,
                                         HTREEITEM other) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; i++) {
        SendMessageA(w->tree.handle, TVM_SELECTITEM, TVGN_CARET, (LPARAM)other);
        UpdateWindow(window);
        Pump();
        double t0 = Now();
        SendMessageA(w->tree.handle, TVM_SELECTITEM, TVGN_CARET, (LPARAM)target);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        times.push_back(Now() - t0);
        Pump();
    }
    return times;
}

int main() {
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
    Pump();

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
    Pump();

    HTREEITEM other = (HTREEITEM)w->table.records[1].treeItem;
    {
        // Where the time goes: composition alone, rendering into the viewer, painting.
        PageSink none = {};
        PageWorkspace ws = {w->textBuffer, w->scratchBuffer, w->textCapacity};
        LinkTable links = {};
        std::vector<double> compose, render, paint;
        for (int i = 0; i < kRounds; i++) {
            double t0 = Now();
            ComposeRecordPage(&w->table, PAGE_KIND_RECORD, record, &ws, &links, &none);
            double t1 = Now();
            ShowRecordPage(w, PAGE_KIND_RECORD, record, w->table.records, 0);
            double t2 = Now();
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            double t3 = Now();
            compose.push_back(t1 - t0);
            render.push_back(t2 - t1);
            paint.push_back(t3 - t2);
            Pump();
        }
        Report("  composition alone", compose, kPageLimitMs);
        Report("  ShowRecordPage without painting", render, kPageLimitMs);
        Report("  painting", paint, kPageLimitMs);
    }
    std::vector<double> page = TimeSelection(w, window, record->treeItem, other);
    Report("tree selection to page shown (word 'code')", page, kPageLimitMs);
    // What a click does: the item above is on screen, so the tree does not scroll.
    HTREEITEM neighbour = (HTREEITEM)SendMessageA(w->tree.handle, TVM_GETNEXTITEM,
                                                  TVGN_PREVIOUSVISIBLE, (LPARAM)record->treeItem);
    std::vector<double> adjacent = TimeSelection(w, window, record->treeItem, neighbour);
    Report("  the same from the item above (no scroll)", adjacent, kPageLimitMs);
    SendMessageA(w->showWordCheck.handle, BM_SETCHECK, BST_UNCHECKED, 0);
    std::vector<double> plain = TimeSelection(w, window, record->treeItem, other);
    Report("the same without highlighting", plain, kPageLimitMs);
    SendMessageA(w->showWordCheck.handle, BM_SETCHECK, BST_CHECKED, 0);

    SendMessageA(w->tab.handle, TCM_SETCURSEL, 1, 0);
    ShowTab(w, 1);
    SetWindowTextA(w->searchEdit.handle, "diabetes");
    Pump();
    std::vector<double> find;
    for (int i = 0; i < kRounds; i++) {
        double t0 = Now();
        SendMessageA(window, WM_COMMAND, IDC_FIND_BUTTON, 0);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        find.push_back(Now() - t0);
        Pump();
    }
    printf("hits for 'diabetes': %d\n", w->search.hitCount);
    Report("\"Find\" diabetes to list shown", find, kFindLimitMs);

    DestroyWindow(window);
    Pump();
    OleUninitialize();
    AppContextFree(app);
    StopMemoryTracer();
    return 0;
}
