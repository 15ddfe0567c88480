// Helpers shared by the window tests: the real browser window driven in-process.
#include "ui_test_support.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

#include "foundation/mem.h"
#include "foundation/mem_inspect.h"
#include "ui/subclass.h"

OpenedBrowser OpenBrowser(int32_t *status) {
    OpenedBrowser b = {};
    b.app = (AppContext *)MemAlloc(sizeof(AppContext));
    b.app->instance = GetModuleHandleA(nullptr);
    int32_t result = CreateBrowserWindow(b.app);
    if (status)
        *status = result;
    b.window = FindWindowA("TextRecordViewerClass", nullptr);
    if (b.window)
        b.w = (BrowserWindow *)GetWindowLongPtrA(b.window, GWLP_USERDATA);
    PumpMessages();
    return b;
}

int32_t CloseBrowser(OpenedBrowser *b) {
    int32_t exitCode = -1;
    if (b->window && IsWindow(b->window))
        SendMessageA(b->window, WM_CLOSE, 0, 0);
    MSG msg;
    for (int i = 0; i < 200; i++) {
        bool quit = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                exitCode = (int32_t)msg.wParam;
                quit = true;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (quit || !b->window)
            break;
        Sleep(5);
    }
    UnregisterClassA("TextRecordViewerClass", GetModuleHandleA(nullptr));
    if (b->app) {
        MemStrFree(b->app->moduleBaseName);
        MemStrFree(b->app->modulePath);
        MemFree(b->app);
    }
    *b = {};
    return exitCode;
}

void PumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Keep it for whoever waits for the end of the loop.
                PostQuitMessage((int)msg.wParam);
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (milliseconds)
            Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

bool TakePostedMessage(HWND window, UINT first, UINT last, MSG *out) {
    return PeekMessageA(out, window, first, last, PM_REMOVE) != 0;
}

static std::thread gMenuThread;

static void PressKey(HWND menu, WPARAM key) {
    PostMessageA(menu, WM_KEYDOWN, key, 0);
    PostMessageA(menu, WM_KEYUP, key, 0xC0000000);
}

void ScheduleMenuChoice(int32_t item) {
    FinishMenuChoice();
    gMenuThread = std::thread([item] {
        HWND menu = nullptr;
        for (int i = 0; i < 500 && !menu; i++) {
            menu = FindWindowA("#32768", nullptr);
            if (menu && !IsWindowVisible(menu))
                menu = nullptr;
            if (!menu)
                Sleep(10);
        }
        if (!menu)
            return;
        if (item < 0) {
            PressKey(menu, VK_ESCAPE);
            return;
        }
        for (int32_t i = 0; i <= item; i++)
            PressKey(menu, VK_DOWN);
        PressKey(menu, VK_RETURN);
    });
}

void FinishMenuChoice() {
    if (gMenuThread.joinable())
        gMenuThread.join();
}

static std::thread gBoxThread;
static std::string gBoxText;
static std::atomic<bool> gBoxCancelled{false};

void ScheduleMessageBoxClose(const char *caption) {
    FinishMessageBox();
    gBoxText = "<no box>";
    gBoxCancelled = false;
    std::string title = caption;
    gBoxThread = std::thread([title] {
        for (int i = 0; i < 500 && !gBoxCancelled; i++) {
            HWND box = FindWindowA("#32770", title.c_str());
            if (box && IsWindowVisible(box)) {
                char text[512] = {};
                // The message text is the static control with the identifier 0xFFFF.
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                gBoxText = text;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    });
}

void CancelMessageBoxClose() {
    gBoxCancelled = true;
    FinishMessageBox();
}

std::string FinishMessageBox() {
    if (gBoxThread.joinable())
        gBoxThread.join();
    return gBoxText;
}

std::string ReadClipboardText() {
    std::string text = "<none>";
    if (!OpenClipboard(nullptr))
        return "<busy>";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        const char *p = (const char *)GlobalLock(data);
        if (p)
            text = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

static LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageRecorder *r = (MessageRecorder *)GetWindowLongPtrA(window, GWLP_USERDATA);
    bool isPrivate = message == MSG_RESIZEBAR_BEGIN || message == MSG_RESIZEBAR_END ||
                     message == MSG_CONTROL_CHAR || message == MSG_TREE_CONTEXT ||
                     message == MSG_VIEWER_CONTEXT || message == MSG_EXPAND_ROOT;
    if (r && isPrivate) {
        r->lastMessage = message;
        r->lastWParam = wParam;
        r->lastLParam = lParam;
        r->count++;
        if (message == MSG_TREE_CONTEXT || message == MSG_VIEWER_CONTEXT) {
            const ContextRequest *request = (const ContextRequest *)lParam;
            r->contextControl = request->control;
            r->contextX = request->x;
            r->contextY = request->y;
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

MessageRecorder *CreateMessageRecorder() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TestRecorderClass";
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        RegisterClassA(&wc);
        registered = true;
    }
    MessageRecorder *r = new MessageRecorder();
    r->window = CreateWindowExA(0, "TestRecorderClass", "recorder", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                300, 40, 600, 500, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    SetWindowLongPtrA(r->window, GWLP_USERDATA, (LONG_PTR)r);
    return r;
}

void DestroyMessageRecorder(MessageRecorder *recorder) {
    if (!recorder)
        return;
    SetWindowLongPtrA(recorder->window, GWLP_USERDATA, 0);
    DestroyWindow(recorder->window);
    PumpMessages();
    delete recorder;
}

int32_t TracerLiveBlocks() {
    TracerState s = {};
    TracerGetState(&s);
    return s.liveBlocks;
}

int32_t TracerErrors() {
    TracerState s = {};
    TracerGetState(&s);
    return s.errorCount;
}

std::string ItemText(HWND tree, HTREEITEM item) {
    char text[300] = {};
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
    return text;
}
