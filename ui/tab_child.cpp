// Tab page controls: one creation for the Index, Check and Guidelines tabs.
#include "ui/tab_child.h"

HWND TabChildCreate(BrowserWindow *w, ControlSlot *slot, DWORD exStyle, const char *cls,
                    const char *text, DWORD style, int32_t id) {
    const LayoutRect &r = slot->rect;
    slot->handle = CreateWindowExA(exStyle, cls, text, style, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, w->tab.handle, (HMENU)(INT_PTR)id,
                                   w->app ? w->app->instance : GetModuleHandleA(nullptr), nullptr);
    return slot->handle;
}
