// Depth-first walk over a tree view: recursion per level, a loop over siblings, so the depth of
// the recursion is the depth of the tree (eight levels here), never the number of items.
#include "ui/tree_utils.h"
#include "foundation/status.h"

int32_t TreeExpandAll(HWND tree, UINT action) {
    if (!tree)
        return ERR_NULLPTR;
    HTREEITEM root = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    // Collapsing a visible item makes the tree recount every visible item below it, so a
    // children-first collapse of a fully expanded tree costs the square of its size (minutes
    // for the whole classification). Hiding everything first makes each of those steps cheap;
    // the walk then ends in the same state.
    if ((action & 0x3) == TVE_COLLAPSE)
        for (HTREEITEM item = root; item;
             item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item))
            SendMessageA(tree, TVM_EXPAND, action, (LPARAM)item);
    return TreeExpandBranch(tree, root, action);
}

int32_t TreeExpandBranch(HWND tree, HTREEITEM item, UINT action) {
    if (!tree || !item)
        return ERR_NULLPTR;
    for (; item; item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item)) {
        TVITEMA tv = {};
        tv.mask = TVIF_CHILDREN | TVIF_HANDLE | TVIF_PARAM;
        tv.hItem = item;
        if (SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv) != TRUE)
            return ERR_GENERIC;
        if (tv.cChildren) {
            HTREEITEM child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item);
            if (child) {
                int32_t status = TreeExpandBranch(tree, child, action);
                if (status < 0)
                    return status;
            }
        }
        SendMessageA(tree, TVM_EXPAND, action, (LPARAM)item);
    }
    return 0;
}
