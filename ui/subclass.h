// Subclassing of standard controls so that their typed characters (posted) and right-clicks
// (sent, with a ContextRequest) reach an owner window as private messages.
#pragma once
#include <windows.h>
#include <cstdint>

struct ControlSubclass {
    HWND owner;               // receives the private messages
    WNDPROC previousProc;     // the control's procedure before subclassing
    uint32_t charMessage;     // posted for each WM_CHAR; 0: characters are not forwarded
    uint32_t contextMessage;  // sent on WM_RBUTTONDOWN; 0: right-clicks are not forwarded
};

// Lives on the subclass procedure's stack for the duration of one synchronous send.
struct ContextRequest {
    HWND control;  // the right-clicked control
    int32_t x;     // cursor position at the click, screen coordinates
    int32_t y;
};

int32_t SubclassCharForward(HWND control, HWND owner, uint32_t charMessage);
int32_t SubclassCharAndContext(HWND control, HWND owner, uint32_t charMessage,
                               uint32_t contextMessage);
int32_t SubclassContext(HWND control, HWND owner, uint32_t contextMessage);
// Hands the WM_NOTIFY and WM_COMMAND messages that a container control (the tab control)
// receives from its children on to owner, whose answer is returned. 0; ERR_NULLPTR; ERR_ALLOC.
int32_t SubclassNotifyForward(HWND control, HWND owner);
