// The scale of a window's screen: its DPI, per monitor where Windows knows it and the screen's
// otherwise, and lengths of the 96-DPI layout turned into pixels at that DPI.
#pragma once
#include <windows.h>
#include <cstdint>

enum : int32_t {
    DPI_BASE = 96,  // the DPI at which every length of the layout is given
};

// DPI of the monitor the window is on (GetDpiForWindow where the system has it), else the
// screen's LOGPIXELSY; DPI_BASE when neither answers.
int32_t DpiOfWindow(HWND window);
// DPI a new window starts with (GetDpiForSystem where present, else the screen's LOGPIXELSY).
int32_t DpiOfSystem();
// `length` pixels at 96 DPI in pixels at `dpi`, rounded to nearest; a dpi of 0 counts as 96.
int32_t DpiScale(int32_t length, int32_t dpi);
