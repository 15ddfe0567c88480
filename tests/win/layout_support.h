// The window's layout as the tests know it: where each control stands at 96 DPI for a splitter
// and a client size, where it really is, and resizing the client area.
#pragma once
#include <windows.h>
#include <vector>

#include "ui/browser_window.h"

struct ControlPlace {
    const char *name;  // for failure messages
    HWND control;
    LayoutRect rect;   // in the parent's client coordinates
};

// Every control of the window and of its tabs where the 96-DPI layout puts it for splitter s and
// client size width x h (the Find tab's nothing-found line off).
std::vector<ControlPlace> LayoutAt96(const BrowserWindow *w, int32_t s, int32_t width, int32_t h);
// The control's rectangle in its parent's client coordinates.
LayoutRect RectInParent(HWND control);
// Expects the control at `expected`, each edge within `tolerance` pixels.
void ExpectAt(HWND control, LayoutRect expected, const char *name, int32_t tolerance = 0);
// Resizes the main window so that its client area is width x height.
void SetClientSize(HWND window, int32_t width, int32_t height);
