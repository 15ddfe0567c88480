// Keyboard shortcuts of the browser window: the accelerator table, its translation for the
// window's own messages only, and the tab, find and select-all commands behind the keys.
#include "ui/accelerators.h"

#include <commctrl.h>
#include <cstring>

#include "ui/browser_window.h"

static const ACCEL KEYS[] = {
    {FVIRTKEY | FCONTROL, 'F', IDM_KEY_FIND},
    {FVIRTKEY | FCONTROL, 'A', IDM_KEY_SELECT_ALL},
    {FVIRTKEY | FCONTROL, VK_TAB, IDM_KEY_NEXT_TAB},
    {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, IDM_KEY_PREVIOUS_TAB},
    {FVIRTKEY, VK_F1, IDC_INFO_BUTTON},
    {FVIRTKEY | FALT, VK_LEFT, IDC_BACK_BUTTON},
    {FVIRTKEY | FALT, VK_RIGHT, IDC_FORWARD_BUTTON},
};

HACCEL AcceleratorsCreate() {
    return CreateAcceleratorTableA((LPACCEL)KEYS, (int)(sizeof KEYS / sizeof KEYS[0]));
}

bool AcceleratorsTranslate(HACCEL table, MSG *msg) {
    if (!table || !msg || !msg->hwnd) return false;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return false;
    // Only keys meant for a browser window: a message box or another top-level window of the
    // process keeps its own keys.
    HWND root = GetAncestor(msg->hwnd, GA_ROOT);
    if (!root || (WNDPROC)GetWindowLongPtrA(root, GWLP_WNDPROC) != BrowserWindowProc) return false;
    if (!TranslateAcceleratorA(root, table, msg)) return false;
    // The default handling of Alt opens the system menu when Alt comes up with no other key
    // having gone down meanwhile; it learns of the other key from its WM_SYSKEYDOWN, which the
    // translation took. Without this, Alt+Left leaves the window in menu mode (Wine).
    if (msg->message == WM_SYSKEYDOWN) DefWindowProcA(root, msg->message, msg->wParam, msg->lParam);
    return true;
}

// Makes tab current as a click on it does: the tab control's own change notification, so
// whatever the window does on a tab change happens here too.
static void SwitchTab(BrowserWindow *w, int32_t tab) {
    HWND control = w->tab.handle;
    if (SendMessageA(control, TCM_GETCURSEL, 0, 0) == tab) return;
    SendMessageA(control, TCM_SETCURSEL, (WPARAM)tab, 0);
    NMHDR nm = {control, 0, (UINT)TCN_SELCHANGE};
    SendMessageA(w->window, WM_NOTIFY, 0, (LPARAM)&nm);
}

static void StepTab(BrowserWindow *w, int32_t step) {
    const int32_t count = (int32_t)SendMessageA(w->tab.handle, TCM_GETITEMCOUNT, 0, 0);
    if (count < 2) return;
    int32_t current = (int32_t)SendMessageA(w->tab.handle, TCM_GETCURSEL, 0, 0);
    if (current < 0) current = 0;
    SwitchTab(w, (current + step + count) % count);
}

// Position of the tab titled "Find", or -1; found by its title, not by position, so tabs added
// before it change nothing here.
static int32_t FindTab(BrowserWindow *w) {
    const int32_t count = (int32_t)SendMessageA(w->tab.handle, TCM_GETITEMCOUNT, 0, 0);
    for (int32_t i = 0; i < count; i++) {
        char text[32] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text - 1;
        if (SendMessageA(w->tab.handle, TCM_GETITEMA, (WPARAM)i, (LPARAM)&item) &&
            strcmp(item.pszText, "Find") == 0)
            return i;
    }
    return -1;
}

static void FocusFind(BrowserWindow *w) {
    const int32_t tab = FindTab(w);
    if (tab < 0) return;
    SwitchTab(w, tab);
    SetFocus(w->searchEdit.handle);
    SendMessageA(w->searchEdit.handle, EM_SETSEL, 0, -1);
}

static void SelectAll(BrowserWindow *w) {
    HWND focus = GetFocus();
    if (!focus) return;
    char cls[16] = {};
    GetClassNameA(focus, cls, sizeof cls);
    if (focus == w->viewer.handle || _stricmp(cls, "Edit") == 0)
        SendMessageA(focus, EM_SETSEL, 0, -1);
}

void AcceleratorsOnCommand(BrowserWindow *w, int32_t id) {
    switch (id) {
    case IDM_KEY_FIND: FocusFind(w); break;
    case IDM_KEY_SELECT_ALL: SelectAll(w); break;
    case IDM_KEY_NEXT_TAB: StepTab(w, 1); break;
    case IDM_KEY_PREVIOUS_TAB: StepTab(w, -1); break;
    default: break;
    }
}
