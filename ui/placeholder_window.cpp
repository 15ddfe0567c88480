// Temporary stand-in for the browser window.
#include <windows.h>
LRESULT CALLBACK PlaceholderProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY) { PostQuitMessage(0); return 0; }
    return DefWindowProcA(w, m, wp, lp);
}
