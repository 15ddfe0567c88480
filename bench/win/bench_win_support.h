// Shared by the Windows benchmarks: a millisecond clock, the message pump, medians, and the
// floor a page is measured against (its plain text set into the viewer at once and painted).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct BrowserWindow;

// Milliseconds from the performance counter.
double BenchNow();
// Dispatches every queued message.
void BenchPump();
// Median of the times (sorted in place); 0 for none.
double BenchMedian(std::vector<double> &times);
// The viewer's text as it shows it now (paragraph breaks as CR LF, as WM_SETTEXT takes them).
std::string BenchViewerText(BrowserWindow *w);
// The floor of a page: text set into the viewer with one WM_SETTEXT, redrawing off meanwhile,
// scrolled to the top and painted, as a page is. Milliseconds.
double BenchPlainPage(BrowserWindow *w, const std::string &text);
// Prints "page-vs-plain NAME PAGE_MS PLAIN_MS RATIO" of the two medians.
void BenchPrintPageVsPlain(const char *name, std::vector<double> &page, std::vector<double> &plain);
