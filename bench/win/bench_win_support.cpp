// Shared parts of the Windows benchmarks.
#include "bench_win_support.h"

#include <richedit.h>

#include <algorithm>
#include <cstdio>

#include "ui/browser_window.h"

double BenchNow() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * (double)c.QuadPart / (double)f.QuadPart;
}

void BenchPump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

double BenchMedian(std::vector<double> &times) {
    if (times.empty()) return 0;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::string BenchViewerText(BrowserWindow *w) {
    HWND viewer = w->viewer.handle;
    const int length = GetWindowTextLengthA(viewer);
    std::string text((size_t)length + 1, '\0');
    GetWindowTextA(viewer, &text[0], length + 1);
    text.resize(strlen(text.c_str()));
    return text;
}

double BenchPlainPage(BrowserWindow *w, const std::string &text) {
    HWND viewer = w->viewer.handle;
    const double t0 = BenchNow();
    SendMessageA(viewer, WM_SETREDRAW, FALSE, 0);
    SendMessageA(viewer, WM_SETTEXT, 0, (LPARAM)text.c_str());
    POINT top = {0, 0};
    SendMessageA(viewer, EM_SETSCROLLPOS, 0, (LPARAM)&top);
    SendMessageA(viewer, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(viewer, nullptr, TRUE);
    UpdateWindow(viewer);
    return BenchNow() - t0;
}

void BenchPrintPageVsPlain(const char *name, std::vector<double> &page, std::vector<double> &plain) {
    const double p = BenchMedian(page), f = BenchMedian(plain);
    printf("page-vs-plain %s %.2f %.2f %.2f\n", name, p, f, f > 0 ? p / f : 0.0);
}
