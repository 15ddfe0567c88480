// Window class "ResizeBarClass": paints an etched bar and turns a press on it into
// MSG_RESIZEBAR_BEGIN for the parent, with the press point in screen coordinates.
#include "ui/resize_bar.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/browser_window.h"

int32_t RegisterResizeBarClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ResizeBarProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_SIZEWE);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "ResizeBarClass";
    return RegisterClassA(&wc) ? 0 : ERR_WINDOWS;
}

static void Paint(HWND window) {
    PAINTSTRUCT ps;
    RECT rc;
    HDC dc = BeginPaint(window, &ps);
    GetClientRect(window, &rc);
    DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT | BF_MIDDLE);
    EndPaint(window, &ps);
}

static void ReportPress(HWND window, ResizeBarState *state, WPARAM keys, LPARAM point) {
    RECT wr;
    GetWindowRect(window, &wr);
    uint16_t x = (uint16_t)(wr.left + LOWORD(point));
    uint16_t y = (uint16_t)(wr.top + HIWORD(point));
    SendMessageA(GetParent(window), MSG_RESIZEBAR_BEGIN, keys, MAKELPARAM(x, y));
    // The bar may have no state when its allocation failed at creation; then nothing is kept.
    if (state)
        state->barDragging = 1;
}

LRESULT CALLBACK ResizeBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ResizeBarState *state = (ResizeBarState *)GetWindowLongPtrA(window, GWLP_USERDATA);
    switch (message) {
    case WM_CREATE:
        state = (ResizeBarState *)MemAlloc(sizeof(ResizeBarState));
        // Refuse the creation outright rather than leave a bar that has no state.
        if (!state)
            return -1;
        state->barWindow = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)state);
        return 0;
    case WM_DESTROY:
        MemFree(state);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_LBUTTONDOWN:
        ReportPress(window, state, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_KILLFOCUS:
    case MSG_RESIZEBAR_END:
        if (state)
            state->barDragging = 0;
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && state)
            state->barDragging = 0;
        return 0;
    case WM_MOUSEMOVE:
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
