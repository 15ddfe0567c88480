// Times the Index tab in the real window under Wine: its first use (loading the four index
// files), creating the tab with its controls (start-up growth), a search for two words until the
// hit list is painted, and searches as coders type them (abbreviation, typo, plural, broad), showing an index page (Aspirin; "Neoplasm, neoplastic" with about 600
// links; "Syndrome" with 880) until the viewer is painted, and the record pages' index entries
// (the map's build, the first record page shown with and without the indexes loaded before).
// Prints best, median and worst in milliseconds.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_win_support.h"
#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "foundation/mem.h"
#include "ui/app.h"
#include "ui/browser_window.h"
#include "ui/index_entries.h"
#include "ui/index_tab.h"
#include "ui/record_page.h"
#include "ui/resize_bar.h"

static const int kRounds = 15;

static void Report(const char *what, std::vector<double> &t) {
    std::sort(t.begin(), t.end());
    printf("%-44s best %8.2f  median %8.2f  worst %8.2f ms\n", what, t.front(), t[t.size() / 2],
           t.back());
}

static void TimePage(BrowserWindow *w, HWND window, const char *what, int32_t n) {
    std::vector<double> times;
    for (int i = 0; i < kRounds; i++) {
        BenchPump();
        double t0 = BenchNow();
        ShowIndexPage(w, n, 0);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        times.push_back(BenchNow() - t0);
    }
    Report(what, times);
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
    std::vector<double> load, create;
    for (int i = 0; i < kRounds; i++) {
        IndexSet set = {};
        double t0 = BenchNow();
        IndexSetLoad(&set);
        load.push_back(BenchNow() - t0);
        IndexSetFree(&set);
    }
    Report("Index files loaded (on first use of the tab)", load);
    for (int i = 0; i < kRounds; i++) {
        // A second tab record over the same window, timed like its creation, then dropped.
        IndexTab *kept = w->indexTab;
        HFONT font = (HFONT)SendMessageA(w->findButton.handle, WM_GETFONT, 0, 0);
        double t0 = BenchNow();
        IndexTabCreate(w, font);
        create.push_back(BenchNow() - t0);
        IndexTab *made = w->indexTab;
        for (HWND h : {made->list.handle, made->button.handle, made->edit.handle,
                       made->status.handle})
            DestroyWindow(h);
        IndexTabFree(w);
        w->indexTab = kept;
    }
    Report("Index tab created (start-up growth)", create);
    IndexTab *t = w->indexTab;
    SendMessageA(w->tab.handle, TCM_SETCURSEL, INDEX_TAB, 0);
    ShowTab(w, INDEX_TAB);
    std::vector<double> search;
    for (int i = 0; i < kRounds; i++) {
        SetWindowTextA(t->edit.handle, i % 2 ? "lung upper" : "aspirin");
        BenchPump();
        double t0 = BenchNow();
        SendMessageA(t->button.handle, BM_CLICK, 0, 0);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        search.push_back(BenchNow() - t0);
    }
    Report("Index search (aspirin / lung upper), painted", search);
    // What coders type: an abbreviation, a typo (the vocabulary's step), a plural, a broad word.
    for (const char *typed : {"copd", "pnemonia", "fractures", "pneumonia"}) {
        std::vector<double> times;
        for (int i = 0; i < kRounds; i++) {
            SetWindowTextA(t->edit.handle, typed);
            BenchPump();
            double t0 = BenchNow();
            SendMessageA(t->button.handle, BM_CLICK, 0, 0);
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            times.push_back(BenchNow() - t0);
        }
        Report((std::string("Index search \"") + typed + "\", painted").c_str(), times);
    }
    SetWindowTextA(t->edit.handle, "aspirin soluble");
    SendMessageA(t->button.handle, BM_CLICK, 0, 0);
    TimePage(w, window, "Aspirin page, painted", t->search.hits[0]);
    TimePage(w, window, "\"Neoplasm, neoplastic\" page, painted",
             IndexSetNumber(&t->set, INDEX_KIND_NEOPLASM, 0));
    printf("links on that page: %d\n", (int)t->links.linkCount);
    const IndexFile &diseases = t->set.files[INDEX_KIND_DISEASES];
    int32_t syndrome = -1;
    for (int32_t e = 0; e < diseases.entryCount && syndrome < 0; e = diseases.entries[e].nextSibling)
        if (strcmp(diseases.entries[e].title, "Syndrome") == 0) syndrome = e;
    if (syndrome >= 0) {
        TimePage(w, window, "\"Syndrome\" page, painted",
                 IndexSetNumber(&t->set, INDEX_KIND_DISEASES, syndrome));
        printf("links on that page: %d\n", (int)t->links.linkCount);
    }
    std::vector<double> build;
    for (int i = 0; i < kRounds; i++) {
        IndexBackrefs refs = {};
        double t0 = BenchNow();
        IndexBackrefsBuild(&refs, &t->set, &w->table, &w->sevenths);
        build.push_back(BenchNow() - t0);
        IndexBackrefsFree(&refs);
    }
    Report("Index entries map built (indexes loaded)", build);
    const int32_t e1122 = FindRecordByCode(&w->table, PAGE_KIND_RECORD, "E11.22");
    std::vector<double> cold, warm;
    for (int i = 0; i < kRounds; i++) {
        // As on the first record page of a session that never opened the Index tab.
        IndexBackrefsFree(&t->backrefs);
        IndexSetFree(&t->set);
        t->loaded = t->backrefsTried = 0;
        BenchPump();
        double t0 = BenchNow();
        ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[e1122], w->table.records, 0);
        cold.push_back(BenchNow() - t0);
        BenchPump();
        t0 = BenchNow();
        ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[e1122], w->table.records, 0);
        warm.push_back(BenchNow() - t0);
    }
    Report("E11.22 page, first of the session, painted", cold);
    Report("E11.22 page, later, painted", warm);
    // The page beside its floor, in alternation: its own text set into the viewer at once.
    const int32_t neoplasm = IndexSetNumber(&t->set, INDEX_KIND_NEOPLASM, 0);
    ShowIndexPage(w, neoplasm, 0);
    const std::string text = BenchViewerText(w);
    std::vector<double> page, plain;
    for (int i = 0; i < kRounds; i++) {
        double t0 = BenchNow();
        ShowIndexPage(w, neoplasm, 0);
        page.push_back(BenchNow() - t0);
        BenchPump();
        plain.push_back(BenchPlainPage(w, text));
        BenchPump();
    }
    BenchPrintPageVsPlain("neoplasm-index", page, plain);
    DestroyWindow(window);
    BenchPump();
    return 0;
}
