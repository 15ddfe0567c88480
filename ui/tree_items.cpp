// Tree items made when first needed, from the tree plan: the top level and the root's children
// at start, an item's children when it first opens, the way down to a record when the program
// selects it, everything for "Expand all".
#include "ui/tree_items.h"

#include "classification/code_refs.h"
#include "foundation/status.h"
#include "ui/browser_window.h"

static HTREEITEM InsertItem(HWND tree, HTREEITEM parent, TVITEMA *item) {
    TVINSERTSTRUCTA ins = {};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item = *item;
    return (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
}

// Every record's item but the root's takes its text from TVN_GETDISPINFOA.
static int32_t MakeItem(BrowserWindow *w, uint32_t r, UINT state) {
    TextRecord *record = &w->table.records[r];
    const uint32_t p = TreePlanParent(&w->treePlan, r);
    HTREEITEM parent = p == TREE_PLAN_NONE ? TVI_ROOT : (HTREEITEM)w->table.records[p].treeItem;
    if (!parent)
        return ERR_NOTFOUND;
    const bool leaf = (record->flags & RECORD_FLAG_LEAF) != 0;
    TVITEMA item = {};
    item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.lParam = (LPARAM)record->index;
    item.cChildren = leaf ? 0 : 1;
    if (!leaf && state) {
        item.state = state | TVIS_EXPANDEDONCE;
        item.stateMask = item.state;
    }
    record->treeItem = InsertItem(w->tree.handle, parent, &item);
    return record->treeItem ? 0 : ERR_ALLOC;
}

// Children already made are always the first ones, in table order: making stops at a failure,
// so the next attempt appends the rest in their places.
static int32_t MakeChildren(BrowserWindow *w, uint32_t parent) {
    for (uint32_t c = TreePlanFirstChild(&w->treePlan, parent); c != TREE_PLAN_NONE;
         c = TreePlanNext(&w->treePlan, c)) {
        if (w->table.records[c].treeItem)
            continue;
        int32_t status = MakeItem(w, c, 0);
        if (status < 0)
            return status;
    }
    return 0;
}

int32_t BrowserFillTree(BrowserWindow *w) {
    if (!w)
        return ERR_NULLPTR;
    TextRecord *records = w->table.records;
    if (!records || w->table.recordCount == 0)
        return ERR_EMPTY;
    int32_t status = TreePlanBuild(&w->treePlan, records, w->table.recordCount);
    if (status < 0)
        return status;
    HWND tree = w->tree.handle;
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    TVITEMA root = {};
    root.mask = TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
    root.pszText = (LPSTR)CopyRecordField(&records[0], FIELD_CODE, w->textBuffer, w->textCapacity);
    root.cChildren = 1;
    w->rootItem = InsertItem(tree, TVI_ROOT, &root);
    records[0].treeItem = w->rootItem;
    status = w->rootItem ? MakeChildren(w, TREE_PLAN_NONE) : ERR_ALLOC;
    if (status >= 0)
        status = MakeChildren(w, 0);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    return status;
}

HTREEITEM TreeItemFor(BrowserWindow *w, uint32_t record) {
    if (!w || !w->table.records || !TreePlanHolds(&w->treePlan, record))
        return nullptr;
    // Made items are closed upwards (an item is only made under a made parent), so each round
    // makes the children of the highest made item on the way, one step nearer.
    while (!w->table.records[record].treeItem) {
        uint32_t below = record;
        uint32_t above = TreePlanParent(&w->treePlan, record);
        while (above != TREE_PLAN_NONE && !w->table.records[above].treeItem) {
            below = above;
            above = TreePlanParent(&w->treePlan, above);
        }
        MakeChildren(w, above);
        if (!w->table.records[below].treeItem)
            return nullptr;
    }
    return (HTREEITEM)w->table.records[record].treeItem;
}

LRESULT TreeItemsOnExpanding(BrowserWindow *w, const NMTREEVIEWA *nm) {
    if (!w || !nm || (nm->action & (TVE_COLLAPSE | TVE_EXPAND)) != TVE_EXPAND)
        return FALSE;
    // The root item carries no record index; every other item its own.
    const uint64_t r = nm->itemNew.hItem == w->rootItem ? 0 : (uint64_t)nm->itemNew.lParam;
    if (r < w->treePlan.count && w->table.records[r].treeItem == nm->itemNew.hItem)
        MakeChildren(w, (uint32_t)r);
    return FALSE;
}

int32_t TreeItemsMakeAll(BrowserWindow *w, UINT state) {
    if (!w || !w->table.records)
        return ERR_NULLPTR;
    const TreePlan *plan = &w->treePlan;
    // Level by level: every parent is then among the first items made, where the tree's scan
    // for it is short.
    for (uint32_t depth = 0; depth <= plan->maxDepth && plan->depth; depth++) {
        for (uint32_t r = 0; r < plan->count; r++) {
            if (plan->depth[r] != depth || w->table.records[r].treeItem)
                continue;
            int32_t status = MakeItem(w, r, state);
            if (status < 0)
                return status;
        }
    }
    return 0;
}
