// DPI lookups: the per-monitor functions are looked up at run time, since the oldest Windows the
// program starts on has none of them.
#include "ui/dpi.h"

typedef UINT(WINAPI *DpiForWindowFn)(HWND);
typedef UINT(WINAPI *DpiForSystemFn)(void);

static FARPROC User32Proc(const char *name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

static int32_t ScreenDpi() {
    HDC dc = GetDC(nullptr);
    int32_t dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc)
        ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : DPI_BASE;
}

int32_t DpiOfWindow(HWND window) {
    static DpiForWindowFn forWindow = (DpiForWindowFn)(void *)User32Proc("GetDpiForWindow");
    const int32_t dpi = forWindow && window ? (int32_t)forWindow(window) : 0;
    return dpi > 0 ? dpi : ScreenDpi();
}

int32_t DpiOfSystem() {
    static DpiForSystemFn forSystem = (DpiForSystemFn)(void *)User32Proc("GetDpiForSystem");
    const int32_t dpi = forSystem ? (int32_t)forSystem() : 0;
    return dpi > 0 ? dpi : ScreenDpi();
}

int32_t DpiScale(int32_t length, int32_t dpi) {
    if (dpi <= 0 || dpi == DPI_BASE)
        return length;
    return MulDiv(length, dpi, DPI_BASE);
}
