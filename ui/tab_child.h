// A control of a tab's page: created as a child of the tab control at its slot's rectangle.
#pragma once
#include <windows.h>

#include <cstdint>

#include "ui/browser_window.h"

// Creates the control into slot->handle (null on failure) and returns it.
HWND TabChildCreate(BrowserWindow *w, ControlSlot *slot, DWORD exStyle, const char *cls,
                    const char *text, DWORD style, int32_t id);
