// The two context menus of the browser window driven through real right-clicks: the tree's
// "Expand all" / "Collapse all" and the viewer's copy and zoom commands.
#include <gtest/gtest.h>

#include <richedit.h>

#include <cstring>
#include <string>

#include "ui/browser_window.h"
#include "ui/clipboard.h"
#include "ui/help_page.h"
#include "ui/record_page.h"
#include "ui/rich_text_view.h"
#include "ui/subclass.h"
#include "ui/tree_items.h"
#include "ui_test_support.h"

namespace {

enum { MENU_FIRST = 0, MENU_SECOND = 1, MENU_THIRD = 2, MENU_FOURTH = 3, MENU_CANCEL = -1 };

bool IsExpanded(HWND tree, HTREEITEM item) {
    return (SendMessageA(tree, TVM_GETITEMSTATE, (WPARAM)item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

class MenuTest : public testing::Test {
protected:
    static void SetUpTestSuite() { shared = OpenBrowser(); }
    static void TearDownTestSuite() { CloseBrowser(&shared); }
    void SetUp() override {
        ASSERT_NE(shared.w, nullptr);
        b = shared;
        w = b.w;
    }
    // Right-click on control and pick item of the menu that opens.
    void RightClick(HWND control, int32_t item) {
        ScheduleMenuChoice(item);
        SendMessageA(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
        FinishMenuChoice();
        SendMessageA(control, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
        PumpMessages();
    }
    void ShowText(const char *text) {
        RichTextViewClear(w->textView);
        RichTextViewPrint(w->textView, "%s", text);
    }
    void SetZoom(WPARAM num, LPARAM den) { SendMessageA(w->viewer.handle, EM_SETZOOM, num, den); }
    void GetZoom(int *num, int *den) {
        WPARAM n = 0;
        LPARAM d = 0;
        SendMessageA(w->viewer.handle, EM_GETZOOM, (WPARAM)&n, (LPARAM)&d);
        *num = (int)n;
        *den = (int)d;
    }
    static OpenedBrowser shared;
    OpenedBrowser b = {};
    BrowserWindow *w = nullptr;
};

OpenedBrowser MenuTest::shared = {};

TEST_F(MenuTest, ExpandAllThenCollapseAllOnTheWholeTree) {
    HWND tree = w->tree.handle;
    const TextRecord *records = w->table.records;
    const HWND focus = GetFocus();
    RightClick(tree, MENU_FIRST);
    // Hidden from drawing while it ran, not from the user: shown again, focus where it was.
    EXPECT_TRUE(GetWindowLongPtrA(tree, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(GetFocus(), focus);
    LRESULT held = 0;  // the deleted codes have no item
    for (uint32_t r = 0; r < w->table.recordCount; r++) held += TreePlanHolds(&w->treePlan, r);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), held);
    int checked = 0;
    for (uint32_t i = 0; i < w->table.recordCount; i += 97) {
        if (records[i].flags & RECORD_FLAG_LEAF)
            continue;
        EXPECT_TRUE(IsExpanded(tree, (HTREEITEM)records[i].treeItem)) << i;
        checked++;
    }
    EXPECT_GT(checked, 50);
    RightClick(tree, MENU_SECOND);
    EXPECT_TRUE(GetWindowLongPtrA(tree, GWL_STYLE) & WS_VISIBLE);
    for (uint32_t i = 0; i < w->table.recordCount; i += 97)
        EXPECT_FALSE(IsExpanded(tree, (HTREEITEM)records[i].treeItem)) << i;
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)w->rootItem);
}

TEST_F(MenuTest, CancelledTreeMenuChangesNothing) {
    HWND tree = w->tree.handle;
    RightClick(tree, MENU_CANCEL);
    EXPECT_TRUE(IsExpanded(tree, w->rootItem));
    HTREEITEM chapter = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                (LPARAM)w->rootItem);
    EXPECT_FALSE(IsExpanded(tree, chapter));
}

TEST_F(MenuTest, CopyAndCopyAllPutTheTextWithCrLfOnTheClipboard) {
    // Shows text, selects [from, to), picks a viewer menu item and reads the clipboard.
    auto copy = [this](const char *text, LONG from, LONG to, int32_t item) {
        ShowText(text);
        CHARRANGE sel = {from, to};
        SendMessageA(w->viewer.handle, EM_EXSETSEL, 0, (LPARAM)&sel);
        RightClick(w->viewer.handle, item);
        return ReadClipboardText();
    };
    // "line\nsecond": a paragraph break counts as one position.
    EXPECT_EQ(copy("first line\nsecond line\nthird", 6, 17, MENU_FIRST), "line\r\nsecond");
    EXPECT_EQ(copy("some text", 2, 2, MENU_FIRST), "");  // no selection: empty text
    EXPECT_EQ(copy("alpha\nbeta\ngamma", 0, 0, MENU_SECOND), "alpha\r\nbeta\r\ngamma");
}

TEST_F(MenuTest, CopyOfAHugeSelectionStopsAtTheBufferCapacity) {
    // 40,000 positions in lines of 100 (99 letters and a paragraph break, one position each).
    RichTextViewClear(w->textView);
    std::string line = std::string(99, 'x') + "\n";
    std::string block;
    for (int i = 0; i < 80; i++)
        block += line;
    for (int i = 0; i < 5; i++)
        RichTextViewPrint(w->textView, "%s", block.c_str());
    SendMessageA(w->viewer.handle, EM_SETSEL, 0, -1);
    RightClick(w->viewer.handle, MENU_FIRST);
    std::string expected;
    for (int i = 0; i < w->textCapacity; i++)
        expected += (i % 100 == 99) ? "\r\n" : "x";
    EXPECT_EQ(ReadClipboardText(), expected);
    RichTextViewClear(w->textView);
}

TEST_F(MenuTest, ZoomInAddsOneToTheNumerator) {
    SetZoom(3, 2);
    RightClick(w->viewer.handle, MENU_THIRD);
    int num, den;
    GetZoom(&num, &den);
    EXPECT_EQ(num, 4);
    EXPECT_EQ(den, 2);
    SetZoom(0, 0);
}

TEST_F(MenuTest, ZoomOutStopsAtOne) {
    SetZoom(2, 3);
    RightClick(w->viewer.handle, MENU_FOURTH);
    int num, den;
    GetZoom(&num, &den);
    EXPECT_EQ(num, 1);
    EXPECT_EQ(den, 3);
    RightClick(w->viewer.handle, MENU_FOURTH);
    GetZoom(&num, &den);
    EXPECT_EQ(num, 1);
    EXPECT_EQ(den, 3);
    SetZoom(0, 0);
}

TEST_F(MenuTest, ZoomStepsFromNoZoomInTenths) {
    SetZoom(0, 0);
    RightClick(w->viewer.handle, MENU_THIRD);
    int num, den;
    GetZoom(&num, &den);
    EXPECT_EQ(num, 11);
    EXPECT_EQ(den, 10);
    SetZoom(0, 0);
    RightClick(w->viewer.handle, MENU_FOURTH);
    GetZoom(&num, &den);
    EXPECT_EQ(num, 9);
    EXPECT_EQ(den, 10);
    SetZoom(0, 0);
}

TEST_F(MenuTest, TreeCopiesTheSelectedCodeAloneOrWithItsTitle) {
    HWND tree = w->tree.handle;
    int32_t r = -1;
    for (uint32_t i = 0; i < w->table.recordCount && r < 0; i++)
        if (strcmp(RecordField(&w->table.records[i], FIELD_CODE), "A00.1") == 0) r = (int32_t)i;
    ASSERT_GE(r, 0);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)TreeItemFor(w, (uint32_t)r));
    PumpMessages();
    RightClick(tree, MENU_THIRD);
    EXPECT_EQ(ReadClipboardText(), "A00.1");
    RightClick(tree, MENU_FOURTH);
    EXPECT_EQ(ReadClipboardText(), "A00.1 Cholera due to Vibrio cholerae 01, biovar eltor");
}

TEST_F(MenuTest, ViewerCopiesTheShownPagesCodeButNotOnTheHelpPage) {
    int32_t r = -1;
    for (uint32_t i = 0; i < w->table.recordCount && r < 0; i++)
        if (strcmp(RecordField(&w->table.records[i], FIELD_CODE), "B15-B19") == 0) r = (int32_t)i;
    ASSERT_GE(r, 0);
    ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[r], w->table.records, 0);
    RightClick(w->viewer.handle, MENU_FOURTH + 1);
    EXPECT_EQ(ReadClipboardText(), "B15-B19");
    CopyTextToClipboard(w->window, "kept", 4);
    ShowHelpPage(w);
    RightClick(w->viewer.handle, MENU_FOURTH + 1);
    EXPECT_EQ(ReadClipboardText(), "kept");
}

TEST_F(MenuTest, ExpandAllLeavesTheSelectedItemInView) {
    HWND tree = w->tree.handle;
    // A chapter half way down: thousands of rows below the top once everything is expanded.
    HTREEITEM chapter = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                (LPARAM)w->rootItem);
    for (int i = 0; i < 10; i++)
        chapter = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)chapter);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)chapter);
    PumpMessages();
    RightClick(tree, MENU_FIRST);
    RECT rect = {}, client = {};
    *(HTREEITEM *)&rect = chapter;
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&rect));
    GetClientRect(tree, &client);
    EXPECT_GE(rect.top, 0);  // in the client area, not only expanded into the list of rows
    EXPECT_LE(rect.bottom, client.bottom);
    EXPECT_EQ((HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0), chapter);
    EXPECT_TRUE(IsExpanded(tree, (HTREEITEM)w->table.records[w->table.recordCount - 2].treeItem) ||
                (w->table.records[w->table.recordCount - 2].flags & RECORD_FLAG_LEAF));
    RightClick(tree, MENU_SECOND);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)w->rootItem);
}

TEST_F(MenuTest, ContextRequestFromAnotherControlOpensNoMenu) {
    ContextRequest request = {w->viewer.handle, 100, 100};
    // Sent as if from the tree but naming the viewer: the tree menu must not open, so no
    // helper is scheduled; a tracked menu would block this call.
    SendMessageA(b.window, MSG_TREE_CONTEXT, 0, (LPARAM)&request);
    request.control = w->tree.handle;
    SendMessageA(b.window, MSG_VIEWER_CONTEXT, 0, (LPARAM)&request);
    SUCCEED();
}

}  // namespace
