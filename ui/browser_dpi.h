// The browser window at its screen's scale: the fonts it creates for its DPI, and the move to a
// screen of another scale (WM_DPICHANGED), which keeps the page, its selection and the history.
#pragma once
#include <windows.h>
#include <cstdint>

struct BrowserWindow;

// Creates w->uiFont for w->dpi (16 pixels at 96 DPI). 0; ERR_NULLPTR; ERR_CREATE when no font
// could be made (the controls then keep the system's).
int32_t BrowserFontsCreate(BrowserWindow *w);
// Deletes every font the window owns; their controls must be gone or given others first.
void BrowserFontsFree(BrowserWindow *w);
// WM_DPICHANGED: every font, column width and control rectangle made again for `dpi`, the window
// moved to `suggested` (the system's rectangle for the new scale; null keeps the window's).
// 0; ERR_NULLPTR; ERR_INVPARAM for a DPI of 0; ERR_CREATE when the new font could not be made
// (nothing changed then).
int32_t BrowserOnDpiChanged(BrowserWindow *w, int32_t dpi, const RECT *suggested);
