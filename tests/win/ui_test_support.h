// Helpers shared by the window tests: opening and closing the real browser window in-process,
// pumping messages, choosing an item of a tracked popup menu and reading the clipboard.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

#include "ui/browser_window.h"

// The browser window as the program creates it, with its application record.
struct OpenedBrowser {
    AppContext *app;   // MemAlloc'd like WinMain does; freed by CloseBrowser
    HWND window;       // the main window, or null when creation failed
    BrowserWindow *w;  // its state record
};

// Creates the main window through CreateBrowserWindow and delivers the posted messages of the
// start-up (the root's expansion). status receives CreateBrowserWindow's result.
OpenedBrowser OpenBrowser(int32_t *status = nullptr);
// Sends WM_CLOSE, pumps until WM_QUIT and returns its wParam (the program's exit code); -1 when
// no WM_QUIT arrived. Unregisters the window class so the next test can register it again.
int32_t CloseBrowser(OpenedBrowser *b);

// The text a tree item shows (its display callback answered).
std::string ItemText(HWND tree, HTREEITEM item);

// Dispatches every queued message; with a timeout keeps pumping for that long.
void PumpMessages(DWORD milliseconds = 0);
// Takes one posted message for window in [first, last] off the queue; false when none is queued.
bool TakePostedMessage(HWND window, UINT first, UINT last, MSG *out);

// Starts a helper thread that waits for the next popup menu and picks its item (0-based), or
// cancels it with Escape when item is negative. Call right before the action that tracks it.
void ScheduleMenuChoice(int32_t item);
// Waits for the helper thread of the last ScheduleMenuChoice to finish.
void FinishMenuChoice();

// Starts a helper thread that waits for the next message box titled caption, keeps its text
// and closes it with IDOK. FinishMessageBox joins it and returns the text ("<no box>" when
// none appeared within a few seconds).
void ScheduleMessageBoxClose(const char *caption);
std::string FinishMessageBox();
// Stops waiting for the box of the last ScheduleMessageBoxClose (none is expected any more).
void CancelMessageBoxClose();

// The CF_TEXT clipboard content ("<none>" when there is none).
std::string ReadClipboardText();

// A plain top-level window that records the private messages it receives (for tests of the
// subclassed controls and the resize bar). Messages sent to it are kept in the lists below.
struct MessageRecorder {
    HWND window;
    UINT lastMessage;  // last private message received (>= 0x200)
    WPARAM lastWParam;
    LPARAM lastLParam;
    int32_t count;     // private messages received
    int32_t contextX;  // ContextRequest copied during a context message
    int32_t contextY;
    HWND contextControl;
};
MessageRecorder *CreateMessageRecorder();
void DestroyMessageRecorder(MessageRecorder *recorder);

// Live blocks and errors of the allocation tracer right now.
int32_t TracerLiveBlocks();
int32_t TracerErrors();
