// Log sink window refresh on Windows: the sink's edit control shows the whole text, scrolled to
// its last line.
#include <windows.h>

#include "foundation/log.h"

namespace {
// EM_LINESCROLL by this many lines always lands on the last line of the log.
constexpr LPARAM kScrollToEnd = 999999;
}  // namespace

void LogSinkRefreshWindow(LogSink *sink) {
    if (sink == nullptr || sink->window == nullptr) return;
    HWND window = static_cast<HWND>(sink->window);
    SetWindowTextA(window, sink->text);
    SendMessageA(window, EM_LINESCROLL, 0, kScrollToEnd);
}
