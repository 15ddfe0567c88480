// The browser window as the user first sees it: size, controls, tree, tabs, close and memory.
#include <gtest/gtest.h>

#include <richedit.h>

#include <cstring>
#include <string>

#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/tree_items.h"
#include "ui_test_support.h"

namespace {

TVITEMA ItemInfo(HWND tree, HTREEITEM item) {
    TVITEMA tv = {};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
    tv.stateMask = TVIS_EXPANDED;
    tv.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
    return tv;
}

HTREEITEM Child(HWND tree, HTREEITEM item) {
    return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item);
}

HTREEITEM Next(HWND tree, HTREEITEM item) {
    return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item);
}

std::string WindowText(HWND window) {
    char text[200] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// One window serves every test of the suite: opening one costs a second or more under Wine.
// Tests that change what they look at put it back.
class BrowserWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() { shared = OpenBrowser(&status); }
    static void TearDownTestSuite() { CloseBrowser(&shared); }
    void SetUp() override {
        ASSERT_EQ(status, 0);
        ASSERT_NE(shared.window, nullptr);
        ASSERT_NE(shared.w, nullptr);
        b = shared;
    }
    static OpenedBrowser shared;
    static int32_t status;
    OpenedBrowser b = {};
};

OpenedBrowser BrowserWindowTest::shared = {};
int32_t BrowserWindowTest::status = -99;

TEST_F(BrowserWindowTest, WindowIsTitledAndPlacedAt64) {
    RECT rc;
    GetWindowRect(b.window, &rc);
    EXPECT_EQ(WindowText(b.window), "Morbivue");
    EXPECT_EQ(rc.left, 64);
    EXPECT_EQ(rc.top, 64);
    EXPECT_EQ(ClassOf(b.window), "TextRecordViewerClass");
    EXPECT_TRUE(IsWindowVisible(b.window));
    EXPECT_EQ(b.w->window, b.window);
    EXPECT_EQ(b.w->app, b.app);
}

TEST_F(BrowserWindowTest, WindowSizeFollowsTheWorkArea) {
    RECT work, rc;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(b.window, &rc);
    int32_t width = 0, height = 0;
    BrowserWindowSize(&work, &width, &height);
    EXPECT_EQ(rc.right - rc.left, width);
    EXPECT_EQ(rc.bottom - rc.top, height);
}

TEST_F(BrowserWindowTest, ControlsHaveTheirClassesTextsAndIdentifiers) {
    BrowserWindow *w = b.w;
    EXPECT_EQ(ClassOf(w->tab.handle), "SysTabControl32");
    EXPECT_EQ(ClassOf(w->tree.handle), "SysTreeView32");
    EXPECT_EQ(ClassOf(w->list.handle), "SysListView32");
    EXPECT_EQ(ClassOf(w->viewer.handle), "RichEdit20A");
    EXPECT_EQ(ClassOf(w->resizeBar.handle), "ResizeBarClass");
    EXPECT_EQ(GetParent(w->tree.handle), w->tab.handle);
    EXPECT_EQ(GetParent(w->list.handle), w->tab.handle);
    EXPECT_EQ(GetParent(w->findButton.handle), w->tab.handle);
    EXPECT_EQ(GetParent(w->searchEdit.handle), w->tab.handle);
    EXPECT_EQ(GetParent(w->viewer.handle), b.window);
    EXPECT_EQ(WindowText(w->findButton.handle), "Find");
    EXPECT_EQ(WindowText(w->backButton.handle), "<");
    EXPECT_EQ(WindowText(w->forwardButton.handle), ">");
    EXPECT_EQ(WindowText(w->showWordCheck.handle), "Show seach word in text");
    EXPECT_EQ(WindowText(w->infoButton.handle), "Info");
    EXPECT_EQ(GetDlgCtrlID(w->findButton.handle), IDC_FIND_BUTTON);
    EXPECT_EQ(GetDlgCtrlID(w->searchEdit.handle), IDC_SEARCH_EDIT);
    EXPECT_EQ(GetDlgCtrlID(w->infoButton.handle), IDC_INFO_BUTTON);
    EXPECT_EQ(GetDlgCtrlID(w->viewer.handle), IDC_VIEWER);
    EXPECT_EQ(GetDlgCtrlID(w->backButton.handle), IDC_BACK_BUTTON);
    EXPECT_EQ(GetDlgCtrlID(w->forwardButton.handle), IDC_FORWARD_BUTTON);
    EXPECT_EQ(GetDlgCtrlID(w->showWordCheck.handle), IDC_SHOW_WORD_CHECK);
    EXPECT_EQ(GetWindowLongA(w->viewer.handle, GWL_STYLE) & ES_READONLY, ES_READONLY);
    EXPECT_EQ(SendMessageA(w->showWordCheck.handle, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(w->textCapacity, 32760);
    EXPECT_NE(w->textView, nullptr);
    EXPECT_NE(w->helpText, nullptr);
}

TEST_F(BrowserWindowTest, TabsReadIcd10ThenFindThenIndexThenCheckThenGuidelines) {
    HWND tab = b.w->tab.handle;
    ASSERT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 5);
    const char *expected[] = {"ICD-10", "Find", "Index", "Check", "Guidelines"};
    for (int i = 0; i < 5; i++) {
        char text[32] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tab, TCM_GETITEMA, i, (LPARAM)&item);
        EXPECT_STREQ(text, expected[i]);
    }
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(SendMessageA(tab, TCM_GETEXTENDEDSTYLE, 0, 0) & TCS_EX_FLATSEPARATORS);
}

TEST_F(BrowserWindowTest, ListHasThreeColumns) {
    HWND list = b.w->list.handle;
    const char *titles[] = {"icd", "name", ""};
    const int widths[] = {90, 110, 500};
    for (int i = 0; i < 3; i++) {
        char text[32] = {};
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = text;
        col.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, (LPARAM)&col));
        EXPECT_STREQ(text, titles[i]);
        EXPECT_EQ(col.cx, widths[i]);
    }
    DWORD ex = (DWORD)SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(ex & 0x61, 0x61u);
}

TEST_F(BrowserWindowTest, StartsOnTheTreeTab) {
    BrowserWindow *w = b.w;
    RECT client;
    GetClientRect(b.window, &client);
    EXPECT_EQ(w->splitterX, client.right / 2);
    EXPECT_TRUE(IsWindowVisible(w->tree.handle));
    EXPECT_FALSE(IsWindowVisible(w->list.handle));
    EXPECT_FALSE(IsWindowVisible(w->findButton.handle));
    EXPECT_FALSE(IsWindowVisible(w->searchEdit.handle));
    // The page pane opens with the help text, no page in the history and the focus elsewhere.
    char start[21] = {};
    GetWindowTextA(w->viewer.handle, start, sizeof start);
    EXPECT_STREQ(start, "Morbivue - a browser");
    EXPECT_EQ(w->historyLast, 0);
    EXPECT_NE(GetFocus(), w->viewer.handle);
}

TEST_F(BrowserWindowTest, ShowTabSwitchesBetweenTreeAndFindControls) {
    BrowserWindow *w = b.w;
    EXPECT_EQ(ShowTab(w, 1), 0);
    EXPECT_FALSE(IsWindowVisible(w->tree.handle));
    EXPECT_TRUE(IsWindowVisible(w->list.handle));
    EXPECT_TRUE(IsWindowVisible(w->findButton.handle));
    EXPECT_TRUE(IsWindowVisible(w->searchEdit.handle));
    EXPECT_EQ(GetFocus(), w->searchEdit.handle);
    EXPECT_EQ(ShowTab(w, 5), 0);  // no such tab: nothing changes
    EXPECT_TRUE(IsWindowVisible(w->list.handle));
    EXPECT_EQ(ShowTab(w, 0), 0);
    EXPECT_TRUE(IsWindowVisible(w->tree.handle));
    EXPECT_FALSE(IsWindowVisible(w->list.handle));
    EXPECT_FALSE(IsWindowVisible(w->searchEdit.handle));
}

TEST_F(BrowserWindowTest, SelectingTheFindTabShowsTheHitList) {
    BrowserWindow *w = b.w;
    // What a click on the tab does: select it, then the tab notifies its parent.
    SendMessageA(w->tab.handle, TCM_SETCURSEL, 1, 0);
    NMHDR nm = {w->tab.handle, 0, (UINT)TCN_SELCHANGE};
    SendMessageA(b.window, WM_NOTIFY, 0, (LPARAM)&nm);
    EXPECT_TRUE(IsWindowVisible(w->list.handle));
    EXPECT_FALSE(IsWindowVisible(w->tree.handle));
    SendMessageA(w->tab.handle, TCM_SETCURSEL, 0, 0);
    ShowTab(w, 0);
}

TEST_F(BrowserWindowTest, RootIsExpandedWithEveryChapter) {
    BrowserWindow *w = b.w;
    HWND tree = w->tree.handle;
    HTREEITEM root = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    ASSERT_EQ(root, w->rootItem);
    EXPECT_TRUE(ItemInfo(tree, root).state & TVIS_EXPANDED);
    EXPECT_EQ(ItemText(tree, root), RecordField(&w->table.records[0], 0));
    int chapters = 0;
    for (uint32_t i = 1; i < w->table.recordCount; i++)
        if (w->table.records[i].parent == 0)
            chapters++;
    int shown = 0;
    for (HTREEITEM c = Child(tree, root); c; c = Next(tree, c))
        shown++;
    EXPECT_EQ(shown, chapters);
    EXPECT_GE(shown, 21);
}

TEST_F(BrowserWindowTest, ItemTextIsCodeBlankTitle) {
    BrowserWindow *w = b.w;
    HWND tree = w->tree.handle;
    HTREEITEM first = Child(tree, w->rootItem);
    std::string text = ItemText(tree, first);
    EXPECT_EQ(text.rfind("A00-B99 ", 0), 0u) << text;
    EXPECT_NE(text.find("infectious"), std::string::npos) << text;
    // A00 Cholera sits under its block; find it through the record table.
    for (uint32_t i = 0; i < w->table.recordCount; i++) {
        if (strcmp(RecordField(&w->table.records[i], 0), "A00") == 0) {
            HTREEITEM item = TreeItemFor(w, i);
            SendMessageA(tree, TVM_ENSUREVISIBLE, 0, (LPARAM)item);
            EXPECT_EQ(ItemText(tree, item), "A00 Cholera");
            break;
        }
    }
}

TEST_F(BrowserWindowTest, LastRecordIsInTheTreeUnderItsParent) {
    BrowserWindow *w = b.w;
    const TextRecord &last = w->table.records[w->table.recordCount - 1];
    HTREEITEM item = TreeItemFor(w, w->table.recordCount - 1);
    ASSERT_NE(item, nullptr);
    HTREEITEM parent = (HTREEITEM)SendMessageA(w->tree.handle, TVM_GETNEXTITEM, TVGN_PARENT,
                                               (LPARAM)item);
    EXPECT_EQ(parent, TreeItemFor(w, last.parent));
    EXPECT_EQ((uint32_t)ItemInfo(w->tree.handle, item).lParam, last.index);
}

TEST_F(BrowserWindowTest, LeavesHaveNoButtonAndOtherItemsHaveOne) {
    BrowserWindow *w = b.w;
    int leaves = 0, parents = 0;
    for (uint32_t i = 1; i < w->table.recordCount && (leaves < 50 || parents < 50); i++) {
        const TextRecord &r = w->table.records[i];
        TVITEMA tv = ItemInfo(w->tree.handle, TreeItemFor(w, i));
        if (r.flags & RECORD_FLAG_LEAF) {
            EXPECT_EQ(tv.cChildren, 0) << i;
            leaves++;
        } else {
            EXPECT_EQ(tv.cChildren, 1) << i;
            parents++;
        }
        EXPECT_EQ((uint32_t)tv.lParam, i);
    }
    EXPECT_GT(leaves, 0);
    EXPECT_GT(parents, 0);
}

TEST_F(BrowserWindowTest, DispInfoOutsideTheTableAnswersDash) {
    BrowserWindow *w = b.w;
    NMTVDISPINFOA info = {};
    info.hdr.hwndFrom = w->tree.handle;
    info.hdr.code = TVN_GETDISPINFOA;
    info.item.mask = TVIF_TEXT;
    info.item.lParam = (LPARAM)w->table.recordCount;
    SendMessageA(b.window, WM_NOTIFY, 0, (LPARAM)&info);
    ASSERT_NE(info.item.pszText, nullptr);
    EXPECT_STREQ(info.item.pszText, "-");
    info.item.pszText = nullptr;
    info.item.lParam = -1;
    SendMessageA(b.window, WM_NOTIFY, 0, (LPARAM)&info);
    EXPECT_STREQ(info.item.pszText, "-");
}

TEST_F(BrowserWindowTest, DispInfoCutsCodeAt42AndTitleAt140) {
    BrowserWindow *w = b.w;
    // A record of our own with an over-long code and title, in place of record 1 for a moment.
    TextRecord saved = w->table.records[1];
    std::string code(50, 'C'), title(200, 'T');
    std::string line = code + '\0' + title + '\0' + '\0';
    TextRecord r = saved;
    r.text = line.data();
    for (int &o : r.fieldOffsets)
        o = -1;
    r.fieldOffsets[0] = 0;
    r.fieldOffsets[1] = 51;
    w->table.records[1] = r;
    NMTVDISPINFOA info = {};
    info.hdr.hwndFrom = w->tree.handle;
    info.hdr.code = TVN_GETDISPINFOA;
    info.item.mask = TVIF_TEXT;
    info.item.lParam = 1;
    SendMessageA(b.window, WM_NOTIFY, 0, (LPARAM)&info);
    w->table.records[1] = saved;
    EXPECT_EQ(std::string(info.item.pszText), std::string(42, 'C') + " " + std::string(140, 'T'));
}

TEST_F(BrowserWindowTest, DispInfoWithoutTextMaskLeavesTheItemAlone) {
    NMTVDISPINFOA info = {};
    info.hdr.hwndFrom = b.w->tree.handle;
    info.hdr.code = TVN_GETDISPINFOA;
    info.item.mask = TVIF_CHILDREN;
    info.item.lParam = 1;
    SendMessageA(b.window, WM_NOTIFY, 0, (LPARAM)&info);
    EXPECT_EQ(info.item.pszText, nullptr);
}

TEST_F(BrowserWindowTest, MsgFilterAnswersZero) {
    MSGFILTER filter = {};
    filter.nmhdr.hwndFrom = b.w->viewer.handle;
    filter.nmhdr.code = EN_MSGFILTER;
    filter.msg = WM_KEYDOWN;
    filter.wParam = VK_DOWN;
    EXPECT_EQ(SendMessageA(b.window, WM_NOTIFY, 0, (LPARAM)&filter), 0);
}

TEST_F(BrowserWindowTest, SearchEditAndViewerForwardTypedCharacters) {
    BrowserWindow *w = b.w;
    MSG msg;
    while (TakePostedMessage(b.window, MSG_CONTROL_CHAR, MSG_CONTROL_CHAR, &msg)) {
    }
    SendMessageA(w->searchEdit.handle, WM_CHAR, 'z', 1);
    ASSERT_TRUE(TakePostedMessage(b.window, MSG_CONTROL_CHAR, MSG_CONTROL_CHAR, &msg));
    EXPECT_EQ(msg.wParam & 0xFFFF, (WPARAM)'z');
    EXPECT_EQ((HWND)msg.lParam, w->searchEdit.handle);
    SetWindowTextA(w->searchEdit.handle, "");
    int viewerLength = GetWindowTextLengthA(w->viewer.handle);
    SendMessageA(w->viewer.handle, WM_CHAR, 'v', 1);
    ASSERT_TRUE(TakePostedMessage(b.window, MSG_CONTROL_CHAR, MSG_CONTROL_CHAR, &msg));
    EXPECT_EQ((HWND)msg.lParam, w->viewer.handle);
    // Other characters than Enter and Backspace do nothing in the window.
    DispatchMessageA(&msg);
    EXPECT_EQ(GetWindowTextLengthA(w->viewer.handle), viewerLength);
}

TEST_F(BrowserWindowTest, TreeNotificationsReachTheWindowThroughTheTab) {
    // The tree is a child of the tab control; its item texts must still be answered.
    BrowserWindow *w = b.w;
    HTREEITEM chapter = (HTREEITEM)SendMessageA(w->tree.handle, TVM_GETNEXTITEM, TVGN_CHILD,
                                                (LPARAM)w->rootItem);
    EXPECT_FALSE(ItemText(w->tree.handle, chapter).empty());
    EXPECT_NE(ItemText(w->tree.handle, chapter), "-");
}

TEST(BrowserWindowLifetime, ClosingEndsTheLoopWithExitCodeZeroAndFreesEverything) {
    int32_t liveBefore = TracerLiveBlocks();
    int32_t errorsBefore = TracerErrors();
    int32_t status = -99;
    OpenedBrowser b = OpenBrowser(&status);
    ASSERT_EQ(status, 0);
    ASSERT_NE(b.w, nullptr);
    EXPECT_GT(TracerLiveBlocks(), liveBefore + 40000);
    HWND window = b.window;
    // CloseBrowser frees the AppContext too, as WinMain does after its loop.
    EXPECT_EQ(CloseBrowser(&b), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TracerLiveBlocks(), liveBefore);
    EXPECT_EQ(TracerErrors(), errorsBefore);
}

TEST(BrowserWindowLifetime, CreationWithoutAppContextFails) {
    EXPECT_EQ(CreateBrowserWindow(nullptr), ERR_ERROR);
    UnregisterClassA("TextRecordViewerClass", GetModuleHandleA(nullptr));
}

TEST(BrowserWindowLifetime, SmallWorkAreaGivesSmallerWindow) {
    RECT saved;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &saved, 0);
    RECT small = {0, 0, 1024, 738};
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &small, 0);
    RECT now;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &now, 0);
    if (now.right != 1024 || now.bottom != 738) {
        SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved, 0);
        GTEST_SKIP() << "the work area cannot be changed here";
    }
    OpenedBrowser b = OpenBrowser();
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved, 0);
    ASSERT_NE(b.window, nullptr);
    RECT rc;
    GetWindowRect(b.window, &rc);
    EXPECT_EQ(rc.right - rc.left, 896);
    EXPECT_EQ(rc.bottom - rc.top, 546);
    CloseBrowser(&b);
}

TEST(BrowserWindowLifetime, WindowSizeFromWorkArea) {
    struct Case {
        LONG right, bottom;
        int32_t width, height;
    } cases[] = {
        {1024, 738, 896, 546}, {1920, 1040, 1136, 836}, {1264, 1028, 1136, 836},
        {1265, 1029, 1136, 836}, {1263, 1027, 1135, 835}, {1280, 1024, 1136, 832},
    };
    for (const Case &c : cases) {
        RECT work = {0, 0, c.right, c.bottom};
        int32_t width = 0, height = 0;
        BrowserWindowSize(&work, &width, &height);
        EXPECT_EQ(width, c.width) << c.right;
        EXPECT_EQ(height, c.height) << c.bottom;
    }
}

}  // namespace
