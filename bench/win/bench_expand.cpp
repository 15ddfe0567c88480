// Times "Expand all" and "Collapse all" on the whole tree of the browser window in-process,
// until the tree is painted again. Prints best, median and worst in milliseconds.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_win_support.h"
#include "foundation/mem.h"
#include "ui/app.h"
#include "ui/browser_window.h"
#include "ui/resize_bar.h"
#include "ui/tree_commands.h"

static const int kRounds = 5;
static const double kExpandLimitMs = 1000.0;

static void Report(const char *what, std::vector<double> &t, double limit) {
    std::sort(t.begin(), t.end());
    printf("%-36s best %8.1f  median %8.1f  worst %8.1f ms  (limit %6.0f ms: %s)\n", what,
           t.front(), t[t.size() / 2], t.back(), limit, t[t.size() / 2] <= limit ? "met" : "OVER");
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
    BenchPump();
    std::vector<double> expand, collapse;
    for (int i = 0; i < kRounds; i++) {
        double t0 = BenchNow();
        TreeCommandExpandAll(w, 1);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        double t1 = BenchNow();
        BenchPump();
        double t2 = BenchNow();
        TreeCommandExpandAll(w, 0);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        double t3 = BenchNow();
        BenchPump();
        expand.push_back(t1 - t0);
        collapse.push_back(t3 - t2);
        printf("round %d: expand %.1f ms, collapse %.1f ms\n", i + 1, t1 - t0, t3 - t2);
        fflush(stdout);
    }
    printf("records: %u\n", w->table.recordCount);
    Report("\"Expand all\" to tree painted", expand, kExpandLimitMs);
    Report("\"Collapse all\" to tree painted", collapse, kExpandLimitMs);
    DestroyWindow(window);
    BenchPump();
    OleUninitialize();
    AppContextFree(app);
    StopMemoryTracer();
    return 0;
}
