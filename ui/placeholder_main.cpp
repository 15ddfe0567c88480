// Temporary entry point: starts the tracer and opens an empty window titled "Morbivue".
#include <windows.h>
#include "foundation/mem.h"
LRESULT CALLBACK PlaceholderProc(HWND, UINT, WPARAM, LPARAM);
int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
    MSG msg = {};
    StartMemoryTracer(20000);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlaceholderProc; wc.hInstance = inst; wc.lpszClassName = "TextRecordViewerClass";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW); wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    RegisterClassA(&wc);
    if (CreateWindowExA(0, wc.lpszClassName, "Morbivue", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 64, 64, 800, 600, nullptr, nullptr, inst, nullptr))
        while (GetMessageA(&msg, nullptr, 0, 0)) { TranslateMessage(&msg); DispatchMessageA(&msg); }
    StopMemoryTracer();
    return (int)msg.wParam;
}
