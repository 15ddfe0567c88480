// Three subclass variants sharing one record layout: characters only, characters and
// right-clicks, right-clicks only. The record sits in the control's GWLP_USERDATA slot.
#include "ui/subclass.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static void ForwardChar(HWND control, ControlSubclass *sc, WPARAM wParam) {
    WPARAM code = wParam & 0xFFFF;
    if (GetAsyncKeyState(VK_SHIFT) & 0x8000)
        code |= 0x80000000u;
    PostMessageA(sc->owner, sc->charMessage, code, (LPARAM)control);
}

static void ForwardContext(HWND control, ControlSubclass *sc) {
    POINT pt = {};
    GetCursorPos(&pt);
    ContextRequest request = {control, pt.x, pt.y};
    SendMessageA(sc->owner, sc->contextMessage, 0, (LPARAM)&request);
}

// Shared body of the three procedures; `chars` and `context` say what the variant forwards.
static LRESULT SubclassDispatch(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                int chars, int context) {
    ControlSubclass *sc = (ControlSubclass *)GetWindowLongPtrA(control, GWLP_USERDATA);
    if (!sc)
        return DefWindowProcA(control, message, wParam, lParam);
    WNDPROC previous = sc->previousProc;
    if (message == WM_DESTROY && previous) {
        SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)previous);
        SetWindowLongPtrA(control, GWLP_USERDATA, 0);
        sc->owner = nullptr;
        MemFree(sc);
        return 0;
    }
    if (message == WM_CHAR && chars && sc->charMessage)
        ForwardChar(control, sc, wParam);
    else if (message == WM_RBUTTONDOWN && context && sc->contextMessage)
        ForwardContext(control, sc);
    return CallWindowProcA(previous, control, message, wParam, lParam);
}

static LRESULT CALLBACK CharForwardProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    return SubclassDispatch(control, message, wParam, lParam, 1, 0);
}

static LRESULT CALLBACK CharAndContextProc(HWND control, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    return SubclassDispatch(control, message, wParam, lParam, 1, 1);
}

static LRESULT CALLBACK ContextProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    return SubclassDispatch(control, message, wParam, lParam, 0, 1);
}

// Not every tab control passes its children's notifications on (Wine's does not), so the
// container forwards them itself; then the owner answers exactly once either way.
static LRESULT CALLBACK NotifyForwardProc(HWND control, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    ControlSubclass *sc = (ControlSubclass *)GetWindowLongPtrA(control, GWLP_USERDATA);
    if (sc && sc->owner && (message == WM_NOTIFY || message == WM_COMMAND))
        return SendMessageA(sc->owner, message, wParam, lParam);
    return SubclassDispatch(control, message, wParam, lParam, 0, 0);
}

static int32_t Install(HWND control, HWND owner, uint32_t charMessage, uint32_t contextMessage,
                       WNDPROC proc) {
    ControlSubclass *sc = (ControlSubclass *)MemAlloc(sizeof(ControlSubclass));
    if (!sc)
        return ERR_ALLOC;
    sc->owner = owner;
    sc->previousProc = (WNDPROC)GetWindowLongPtrA(control, GWLP_WNDPROC);
    sc->charMessage = charMessage;
    sc->contextMessage = contextMessage;
    // The record first, so the new procedure finds it from its very first message.
    SetWindowLongPtrA(control, GWLP_USERDATA, (LONG_PTR)sc);
    SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)proc);
    return 0;
}

int32_t SubclassCharForward(HWND control, HWND owner, uint32_t charMessage) {
    if (!control || !owner || !charMessage)
        return ERR_INVPARAM;
    return Install(control, owner, charMessage, 0, CharForwardProc);
}

int32_t SubclassCharAndContext(HWND control, HWND owner, uint32_t charMessage,
                               uint32_t contextMessage) {
    if (!control || !owner)
        return ERR_INVPARAM;
    if (!charMessage && contextMessage)
        return ERR_INVPARAM;
    return Install(control, owner, charMessage, contextMessage, CharAndContextProc);
}

int32_t SubclassContext(HWND control, HWND owner, uint32_t contextMessage) {
    if (!control || !owner)
        return ERR_NULLPTR;
    if (!contextMessage)
        return ERR_INVPARAM;
    return Install(control, owner, 0, contextMessage, ContextProc);
}

int32_t SubclassNotifyForward(HWND control, HWND owner) {
    if (!control || !owner)
        return ERR_NULLPTR;
    return Install(control, owner, 0, 0, NotifyForwardProc);
}
