// Times one program from inside Wine: launch until its top-level window is visible, then the
// close (WM_CLOSE, as the title bar's close button sends it) until the process has ended.
// Usage: launch_and_close PROGRAM.exe "Window title"; prints "launch S close S".
#include <windows.h>
#include <cstdio>

static double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

// The visible top-level window of that title belonging to the process, or null.
static HWND FindVisible(const char *title, DWORD pid) {
    HWND window = FindWindowA(nullptr, title);
    DWORD owner = 0;
    if (window)
        GetWindowThreadProcessId(window, &owner);
    return (window && owner == pid && IsWindowVisible(window)) ? window : nullptr;
}

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: launch_and_close PROGRAM.exe TITLE\n");
        return 2;
    }
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    double start = Now();
    if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }
    HWND window = nullptr;
    while (!(window = FindVisible(argv[2], pi.dwProcessId))) {
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) {
            fprintf(stderr, "the program ended before its window appeared\n");
            return 1;
        }
    }
    double shown = Now();
    Sleep(300);
    double closing = Now();
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(pi.hProcess, INFINITE);
    double ended = Now();
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    printf("launch %.3f close %.3f exit %lu\n", shown - start, ended - closing, (unsigned long)code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}
