// Tree items made when first needed: what a fresh window holds, what opening an item and asking
// for a record make, and that the tree ends up the same as one filled whole.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "classification/code_refs.h"
#include "ui/browser_window.h"
#include "ui/navigation.h"
#include "ui/record_page.h"
#include "ui/tree_commands.h"
#include "ui/tree_items.h"
#include "ui_test_support.h"

namespace {

int gDispInfoAsks = 0;
HWND gMainWindow = nullptr;  // the tab passes the tree's notifications on: count them once

LRESULT CALLBACK CountDispInfo(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT *m = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && m->message == WM_NOTIFY && m->hwnd == gMainWindow &&
        ((const NMHDR *)m->lParam)->code == (UINT)TVN_GETDISPINFOA)
        gDispInfoAsks++;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class TreeItemsTest : public testing::Test {
protected:
    void SetUp() override {
        b = OpenBrowser();
        ASSERT_NE(b.w, nullptr);
        w = b.w;
        tree = w->tree.handle;
    }
    void TearDown() override { CloseBrowser(&b); }
    uint32_t Record(const char *code) {
        int32_t r = FindRecordByCode(&w->table, PAGE_KIND_RECORD, code);
        EXPECT_GT(r, 0) << code;
        return (uint32_t)r;
    }
    LRESULT Count() { return SendMessageA(tree, TVM_GETCOUNT, 0, 0); }
    HTREEITEM Child(HTREEITEM item) {
        return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item);
    }
    HTREEITEM Next(HTREEITEM item) {
        return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item);
    }
    HTREEITEM ParentOf(HTREEITEM item) {
        return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)item);
    }
    // The record indexes of the items under item, as the tree holds them.
    std::vector<uint32_t> ItemsUnder(HTREEITEM item) {
        std::vector<uint32_t> out;
        for (HTREEITEM c = Child(item); c; c = Next(c)) {
            TVITEMA tv = {};
            tv.mask = TVIF_PARAM | TVIF_HANDLE;
            tv.hItem = c;
            SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
            out.push_back((uint32_t)tv.lParam);
        }
        return out;
    }
    // The records under record r, as the table places them.
    std::vector<uint32_t> PlannedUnder(uint32_t r) {
        std::vector<uint32_t> out;
        for (uint32_t c = TreePlanFirstChild(&w->treePlan, r); c != TREE_PLAN_NONE;
             c = TreePlanNext(&w->treePlan, c))
            out.push_back(c);
        return out;
    }
    std::string Expected(uint32_t r) {
        return std::string(RecordField(&w->table.records[r], FIELD_CODE)) + " " +
               RecordField(&w->table.records[r], FIELD_TITLE);
    }
    OpenedBrowser b = {};
    BrowserWindow *w = nullptr;
    HWND tree = nullptr;
};

TEST_F(TreeItemsTest, AFreshWindowHoldsTheRootAndItsChaptersOnly) {
    const std::vector<uint32_t> chapters = PlannedUnder(0);
    ASSERT_GE(chapters.size(), 21u);
    EXPECT_EQ(Count(), (LRESULT)chapters.size() + 1);
    EXPECT_EQ(ItemsUnder(w->rootItem), chapters);
    const uint32_t block = PlannedUnder(chapters[0])[0];
    EXPECT_EQ(w->table.records[block].treeItem, nullptr);
    // The chapter still shows its button.
    TVITEMA tv = {};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = (HTREEITEM)w->table.records[chapters[0]].treeItem;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
    EXPECT_EQ(tv.cChildren, 1);
}

TEST_F(TreeItemsTest, OpeningAChapterByKeyMakesItsBlocksInTableOrderOnce) {
    const uint32_t chapter = Record("A00-B99");
    HTREEITEM item = (HTREEITEM)w->table.records[chapter].treeItem;
    ASSERT_NE(item, nullptr);
    const LRESULT before = Count();
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    SetFocus(tree);
    SendMessageA(tree, WM_KEYDOWN, VK_RIGHT, 0);
    PumpMessages();
    const std::vector<uint32_t> blocks = PlannedUnder(chapter);
    ASSERT_GT(blocks.size(), 10u);
    EXPECT_EQ(ItemsUnder(item), blocks);
    EXPECT_EQ(Count(), before + (LRESULT)blocks.size());
    EXPECT_EQ(ItemText(tree, Child(item)), Expected(blocks[0]));
    // Closed and opened again, by the user and by the program: nothing is made twice.
    SendMessageA(tree, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageA(tree, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)item);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)item);
    EXPECT_EQ(ItemsUnder(item), blocks);
}

TEST_F(TreeItemsTest, AskingForADeepRecordMakesEveryLevelOnTheWayWhole) {
    const uint32_t r = Record("S72.456");
    HTREEITEM item = TreeItemFor(w, r);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(ItemText(tree, item), Expected(r));
    // Each level on the way holds all its items, in table order.
    uint32_t below = r;
    for (uint32_t up = TreePlanParent(&w->treePlan, r); up != TREE_PLAN_NONE;
         below = up, up = TreePlanParent(&w->treePlan, up)) {
        HTREEITEM upItem = (HTREEITEM)w->table.records[up].treeItem;
        ASSERT_NE(upItem, nullptr) << up;
        EXPECT_EQ(ParentOf((HTREEITEM)w->table.records[below].treeItem), up == 0 ? w->rootItem : upItem);
        EXPECT_EQ(ItemsUnder(upItem), PlannedUnder(up)) << up;
    }
    EXPECT_EQ(TreeItemFor(w, r), item);  // asked again: the same item
    EXPECT_EQ(TreeItemFor(w, w->table.recordCount), nullptr);
    EXPECT_EQ(TreeItemFor(nullptr, r), nullptr);
}

TEST_F(TreeItemsTest, FollowingALinkSelectsARecordWhoseItemDidNotExist) {
    const uint32_t r = Record("E11.22");
    ASSERT_EQ(w->table.records[r].treeItem, nullptr);
    ASSERT_EQ(GoToCode(w, PAGE_KIND_RECORD, "E11.22"), 0);
    EXPECT_EQ((HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0),
              (HTREEITEM)w->table.records[r].treeItem);
    EXPECT_EQ(w->history[w->historyLast].index, (int32_t)r);
}

TEST_F(TreeItemsTest, ItemsMadeInAnyOrderEndAsTheWholeTree) {
    // Some parts made early (an opened chapter, a deep record), the rest all at once.
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)w->table.records[Record("F01-F99")].treeItem);
    ASSERT_NE(TreeItemFor(w, Record("S72.456")), nullptr);
    ASSERT_NE(TreeItemFor(w, Record("E11.22")), nullptr);
    ASSERT_EQ(TreeItemsMakeAll(w, 0), 0);
    // Every record the tree holds: all but the deleted codes and what is below them.
    LRESULT held = 0;
    for (uint32_t r = 0; r < w->table.recordCount; r++) held += TreePlanHolds(&w->treePlan, r);
    EXPECT_GT(held, (LRESULT)w->table.recordCount - 100);
    EXPECT_EQ(Count(), held);
    for (uint32_t r : {Record("S72"), Record("S72.45"), Record("E11"), Record("F10-F19"), 0u})
        EXPECT_EQ(ItemsUnder((HTREEITEM)w->table.records[r].treeItem), PlannedUnder(r)) << r;
    for (uint32_t r = 1; r < w->table.recordCount; r += 211) {
        if (!TreePlanHolds(&w->treePlan, r)) continue;
        HTREEITEM item = (HTREEITEM)w->table.records[r].treeItem;
        ASSERT_NE(item, nullptr) << r;
        const uint32_t p = TreePlanParent(&w->treePlan, r);
        EXPECT_EQ(ParentOf(item), (HTREEITEM)w->table.records[p].treeItem) << r;
    }
    EXPECT_EQ(TreeItemsMakeAll(w, 0), 0);  // nothing left to make
    EXPECT_EQ(Count(), held);
}

TEST_F(TreeItemsTest, AnItemsTextIsAskedForOnceAndKept) {
    HTREEITEM item = TreeItemFor(w, Record("A00.1"));
    ASSERT_NE(item, nullptr);
    gDispInfoAsks = 0;
    gMainWindow = b.window;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountDispInfo, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const std::string first = ItemText(tree, item);
    const std::string second = ItemText(tree, item);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(first, Expected(Record("A00.1")));
    EXPECT_EQ(second, first);
    EXPECT_EQ(gDispInfoAsks, 1);
}

}  // namespace
