// Tree context-menu commands: "Expand all" / "Collapse all" around the depth-first walk, keeping
// the user's place in view, and "Copy code" / "Copy code and title" of the selected record.
#include "ui/tree_commands.h"

#include <windows.h>
#include <commctrl.h>
#include <cstdio>

#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/clipboard.h"
#include "ui/tree_items.h"

// The tree checks every item handle it is given by scanning its items from the first one made,
// and a change to a visible item renumbers, measures and repaints every visible row below it.
// So the root is collapsed first and every later change is to a hidden item; items not made yet
// arrive open, with no message each; made ones change in reverse table order, each after its
// descendants; and the root opens last, with redraw back on, so that the rows are numbered and
// measured once rather than again when redraw comes back. The end state is that of
// TreeExpandAll.
int32_t TreeCommandExpandAll(BrowserWindow *w, int32_t expand) {
    if (!w) return ERR_NULLPTR;
    HWND tree = w->tree.handle;
    if (!tree || !w->table.records || !w->rootItem) return ERR_NULLPTRIN;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const UINT action = expand ? TVE_EXPAND : TVE_COLLAPSE;
    HTREEITEM selected = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    // The tree's own WM_SETREDRAW only stops its painting: each collapse still redraws the
    // scroll bars and scrolls the window (under Wine about 0.1 ms a collapse, in server calls).
    // The default handling hides the window from drawing without unmapping it or moving the
    // focus.
    DefWindowProcA(tree, WM_SETREDRAW, FALSE, 0);
    SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)w->rootItem);
    const uint32_t count = w->table.recordCount;
    // Without this list every item gets its message: slower, the same result.
    uint8_t *madeBefore = expand ? (uint8_t *)MemAlloc((int32_t)count) : nullptr;
    for (uint32_t i = 0; madeBefore && i < count; i++)
        madeBefore[i] = w->table.records[i].treeItem != nullptr;
    if (expand) TreeItemsMakeAll(w, TVIS_EXPANDED);
    for (uint32_t i = count; i-- > 1;) {
        const TextRecord *record = &w->table.records[i];
        if (!record->treeItem || (record->flags & RECORD_FLAG_LEAF)) continue;
        if (madeBefore && !madeBefore[i]) continue;
        SendMessageA(tree, TVM_EXPAND, action, (LPARAM)record->treeItem);
    }
    MemFree(madeBefore);
    DefWindowProcA(tree, WM_SETREDRAW, TRUE, 0);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    if (expand) SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)w->rootItem);
    // Collapsing the root moved the selection onto it, silently; expanding gives it back, as
    // silently (the page shown is still that of the item).
    if (expand && selected &&
        (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != selected) {
        w->treeFollowing = 1;
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)selected);
        w->treeFollowing = 0;
    }
    selected = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    // Otherwise the tree is left scrolled to wherever the last change put it.
    if (selected)
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, (LPARAM)selected);
    else
        SendMessageA(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, (LPARAM)w->rootItem);
    InvalidateRect(tree, nullptr, TRUE);
    SetCursor(previous);
    return 0;
}

int32_t TreeCommandCopyCode(BrowserWindow *w, int32_t withTitle) {
    if (!w) return ERR_NULLPTR;
    HWND tree = w->tree.handle;
    TVITEMA item = {};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (!item.hItem || !SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&item)) return ERR_NOTFOUND;
    if (item.lParam < 0 || (uint64_t)item.lParam >= w->table.recordCount) return ERR_NOTFOUND;
    const TextRecord *record = &w->table.records[item.lParam];
    const char *code = RecordField(record, FIELD_CODE);
    int length = withTitle ? snprintf(w->textBuffer, (size_t)w->textCapacity + 1, "%s %s", code,
                                      RecordField(record, FIELD_TITLE))
                           : snprintf(w->textBuffer, (size_t)w->textCapacity + 1, "%s", code);
    if (length > w->textCapacity) length = w->textCapacity;
    return CopyTextToClipboard(w->window, w->textBuffer, (uint32_t)length);
}
