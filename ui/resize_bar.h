// The resize bar: a thin child window between the two panes that reports a left-button press
// to its parent, which then runs the splitter drag. The bar itself draws no drag line.
#pragma once
#include <windows.h>
#include <cstdint>

struct ResizeBarState {
    HWND barWindow;       // the bar itself
    int32_t barDragging;  // 1 from the reported press until the drag ends
};

int32_t RegisterResizeBarClass(HINSTANCE instance);
LRESULT CALLBACK ResizeBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
