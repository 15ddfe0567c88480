// Times the Check tab in the real window under Wine: "Check" of 20 codes of one visit (a list
// with Excludes1 pairs, a manifestation code and reminders) until the viewer is painted, the
// first check (the notes' references not yet parsed) apart. Prints best, median and worst in ms.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <initializer_list>
#include <cstdio>
#include <vector>

#include "foundation/mem.h"
#include "ui/app.h"
#include "ui/browser_window.h"
#include "ui/check_tab.h"
#include "ui/page_view.h"
#include "ui/resize_bar.h"

static const int kRounds = 15;
static const char kVisit[] =
    "E11.22 N18.4 E10.9 G63 E11.42 I10 I61.9 S06.5X0A S52.121A E85.1 J44.0 J20.9 "
    "Z79.4 C34.90 F02.80 B18.1 B94.2 E55.9 P72.0 K21.9";

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

static double CheckOnce(BrowserWindow *w, HWND window) {
    Pump();
    double t0 = Now();
    SendMessageA(w->checkTab->button.handle, BM_CLICK, 0, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return Now() - t0;
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
    Pump();
    SendMessageA(w->tab.handle, TCM_SETCURSEL, CHECK_TAB, 0);
    ShowTab(w, CHECK_TAB);
    SetWindowTextA(w->checkTab->edit.handle, kVisit);
    printf("%-44s %8.2f ms\n", "first \"Check\" of 20 codes, painted", CheckOnce(w, window));
    // As the window shows pages (one RTF stream), then appended piece by piece for comparison.
    for (int32_t mode : {PAGE_VIEW_STREAM, PAGE_VIEW_PIECES}) {
        PageViewSetMode(w, mode);
        std::vector<double> times;
        for (int i = 0; i < kRounds; i++) times.push_back(CheckOnce(w, window));
        std::sort(times.begin(), times.end());
        printf("%-44s best %8.2f  median %8.2f  worst %8.2f ms\n",
               mode == PAGE_VIEW_STREAM ? "\"Check\" of 20 codes, painted"
                                        : "the same, page appended in pieces",
               times.front(), times[times.size() / 2], times.back());
    }
    PageViewSetMode(w, PAGE_VIEW_STREAM);
    printf("findings: %d, links: %d\n", (int)w->checkTab->encounter.findingCount,
           (int)w->links.linkCount);
    DestroyWindow(window);
    Pump();
    return 0;
}
