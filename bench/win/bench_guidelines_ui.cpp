// Times the Official Guidelines in the real window under Wine: section pages (II.H, short;
// I.C.4.a, its subsections with many code links; I.C.1.d, the longest below a chapter; Section I
// whole, 238,000 characters) and the record page of E11.22 with its "Guidelines:" section, each
// beside its plain-text floor; the Guidelines tab's creation (start-up growth) and first showing
// (the entry loaded, 492 rows), a search painted, and the code map's build for the first record
// page.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_win_support.h"
#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "foundation/mem.h"
#include "guidelines/guideline_codes.h"
#include "guidelines/guideline_file.h"
#include "ui/app.h"
#include "ui/browser_window.h"
#include "ui/guideline_pages.h"
#include "ui/guidelines_tab.h"
#include "ui/record_page.h"
#include "ui/resize_bar.h"

static const int kRounds = 15;

static void Report(const char *what, std::vector<double> &t) {
    std::sort(t.begin(), t.end());
    printf("%-48s best %8.2f  median %8.2f  worst %8.2f ms\n", what, t.front(), t[t.size() / 2],
           t.back());
}

// A page shown and painted, then its own text set into the same viewer at once and painted, in
// alternation.
template <class Show>
static void PageVsPlain(BrowserWindow *w, const char *name, Show show) {
    show();
    const std::string text = BenchViewerText(w);
    std::vector<double> page, plain;
    for (int i = 0; i < kRounds; i++) {
        BenchPump();
        double t0 = BenchNow();
        show();
        page.push_back(BenchNow() - t0);
        BenchPump();
        plain.push_back(BenchPlainPage(w, text));
    }
    printf("%s: %zu characters\n", name, text.size());
    BenchPrintPageVsPlain(name, page, plain);
}

int main() {
    StartMemoryTracer(TRACER_SLOTS);
    AppStartServices();
    AppContext *app = (AppContext *)MemAlloc(sizeof(AppContext));
    app->instance = GetModuleHandleA(nullptr);
    RegisterResizeBarClass(app->instance);
    if (CreateBrowserWindow(app) < 0) return 1;
    HWND window = FindWindowA("TextRecordViewerClass", nullptr);
    BrowserWindow *w = (BrowserWindow *)GetWindowLongPtrA(window, GWLP_USERDATA);
    BenchPump();
    std::vector<double> create;
    HFONT font = (HFONT)SendMessageA(w->findButton.handle, WM_GETFONT, 0, 0);
    for (int i = 0; i < kRounds; i++) {
        GuidelinesTab *kept = w->guidelinesTab;
        double t0 = BenchNow();
        GuidelinesTabCreate(w, font);
        create.push_back(BenchNow() - t0);
        GuidelinesTab *made = w->guidelinesTab;
        for (HWND h : {made->list.handle, made->button.handle, made->edit.handle, made->note.handle})
            DestroyWindow(h);
        GuidelinesTabFree(w);
        w->guidelinesTab = kept;
    }
    Report("Guidelines tab created (start-up growth)", create);
    // The first record page builds the code map, the entry loaded before it.
    const int32_t e1122 = FindRecordByCode(&w->table, PAGE_KIND_RECORD, "E11.22");
    {
        double t0 = BenchNow();
        ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[e1122], w->table.records, 0);
        std::vector<double> first = {BenchNow() - t0};
        Report("first record page (entry loaded, map built)", first);
    }
    std::vector<double> build;
    for (int i = 0; i < kRounds; i++) {
        GuidelineCodeMap map = {};
        double t0 = BenchNow();
        GuidelineCodeMapBuild(&map, GuidelinesData(w));
        build.push_back(BenchNow() - t0);
        GuidelineCodeMapFree(&map);
    }
    Report("code-to-section map built", build);
    SendMessageA(w->tab.handle, TCM_SETCURSEL, GUIDELINES_TAB, 0);
    {
        double t0 = BenchNow();
        ShowTab(w, GUIDELINES_TAB);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::vector<double> first = {BenchNow() - t0};
        Report("Guidelines tab first shown (492 rows), painted", first);
    }
    std::vector<double> search;
    GuidelinesTab *t = w->guidelinesTab;
    for (int i = 0; i < kRounds; i++) {
        SetWindowTextA(t->edit.handle, i % 2 ? "insulin oral" : "sepsis organ dysfunction");
        BenchPump();
        double t0 = BenchNow();
        SendMessageA(t->button.handle, BM_CLICK, 0, 0);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        search.push_back(BenchNow() - t0);
    }
    Report("Guidelines search (two / three words), painted", search);
    SetWindowTextA(t->edit.handle, "");
    SendMessageA(t->button.handle, BM_CLICK, 0, 0);
    const GuidelineFile *file = GuidelinesData(w);
    for (const char *id : {"II.H", "I.C.4.a", "I.C.1.d", "I"}) {
        const int32_t n = GuidelineFind(file, id);
        PageVsPlain(w, id, [&] { ShowGuidelinePage(w, n, 0); });
    }
    PageVsPlain(w, "E11.22", [&] {
        ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[e1122], w->table.records, 0);
    });
    DestroyWindow(window);
    BenchPump();
    return 0;
}
