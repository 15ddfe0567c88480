// Keyboard use of the browser window: Enter and a double click on a hit, the shortcuts of the
// accelerator table pressed in whichever control has the focus, and the tree following the page
// when the "ICD-10" tab comes back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "feature_support.h"
#include "ui/accelerators.h"
#include "ui/help_page.h"
#include "ui/index_tab.h"
#include "ui/record_page.h"
#include "ui_test_support.h"

namespace {

enum : uint32_t { CTRL = 1, SHIFT = 2, ALT = 4 };

// Counts the viewer's WM_SETTEXT: every rendering of a page starts with one.
HWND gCountedViewer;
int gViewerSetTexts;
LRESULT CALLBACK CountViewerSetText(int code, WPARAM wp, LPARAM lp) {
    const CWPSTRUCT *m = (const CWPSTRUCT *)lp;
    if (code == HC_ACTION && m->hwnd == gCountedViewer && m->message == WM_SETTEXT)
        gViewerSetTexts++;
    return CallNextHookEx(nullptr, code, wp, lp);
}

class KeysTest : public FeatureSuite<KeysTest> {
protected:
    static void SetUpTestSuite() {
        FeatureSuite::SetUpTestSuite();
        keys = AcceleratorsCreate();
    }
    static void TearDownTestSuite() {
        DestroyAcceleratorTable(keys);
        FeatureSuite::TearDownTestSuite();
    }
    void SetUp() override {
        FeatureSuite::SetUp();
        if (HasFatalFailure()) return;
        list = w->list.handle;
        SelectTab(w, 0);
    }
    // Presses vk with the given modifiers in control as the message loop gets it: the key's
    // message posted to the control, the modifiers in the thread's key state, and the queue
    // pumped through the accelerator table the way AppRunMessageLoop does.
    void Press(HWND control, UINT vk, uint32_t modifiers = 0) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        BYTE saved[256];
        memcpy(saved, state, sizeof saved);
        if (modifiers & CTRL) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
        if (modifiers & SHIFT) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
        if (modifiers & ALT) state[VK_MENU] = state[VK_LMENU] = 0x80;
        SetKeyboardState(state);
        const bool alt = (modifiers & ALT) != 0;
        PostMessageA(control, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, alt ? (1 | (1 << 29)) : 1);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (AcceleratorsTranslate(keys, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        SetKeyboardState(saved);
    }
    void Search(const char *word) {
        SelectTab(w, 1);
        SetWindowTextA(w->searchEdit.handle, word);
        SendMessageA(w->searchEdit.handle, WM_CHAR, '\r', 0);
        PumpMessages();
    }
    bool Shows(const char *heading) { return ViewerText(viewer).rfind(heading, 0) == 0; }
    int32_t CurrentTab() { return (int32_t)SendMessageA(w->tab.handle, TCM_GETCURSEL, 0, 0); }
    HTREEITEM Selected() {
        return (HTREEITEM)SendMessageA(w->tree.handle, TVM_GETNEXTITEM, TVGN_CARET, 0);
    }
    static inline HACCEL keys = nullptr;
    HWND list = nullptr;
};

TEST_F(KeysTest, DownThenEnterInTheHitListOpensTheHitAndADoubleClickOpensOneToo) {
    Search("cholera");
    ASSERT_EQ(GetFocus(), list);
    Press(list, VK_DOWN);
    Press(list, VK_DOWN);
    Press(list, VK_RETURN);
    EXPECT_TRUE(Shows("A00.0 ")) << ViewerText(viewer).substr(0, 40);
    EXPECT_EQ(w->historyLast, 1);
    // A double click on the fourth row.
    RECT row = {LVIR_BOUNDS};
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, 3, (LPARAM)&row));
    LPARAM at = MAKELPARAM(row.left + 40, (row.top + row.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_TRUE(Shows("A00.9 ")) << ViewerText(viewer).substr(0, 40);
}

TEST_F(KeysTest, EnterInTheIndexSearchThenDownAndEnterOpenTheFocusedEntry) {
    SelectTab(w, INDEX_TAB);
    HWND edit = w->indexTab->edit.handle, rows = w->indexTab->list.handle;
    SetWindowTextA(edit, "aspirin");
    SendMessageA(edit, WM_CHAR, '\r', 0);
    PumpMessages();
    ASSERT_EQ(GetFocus(), rows);
    ASSERT_GE(w->indexTab->search.hitCount, 2);
    Press(rows, VK_DOWN);
    Press(rows, VK_RETURN);
    const int32_t row = (int32_t)SendMessageA(rows, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    ASSERT_GE(row, 0);
    EXPECT_EQ(w->history[w->historyPos].kind, PAGE_KIND_INDEX);
    EXPECT_EQ(w->history[w->historyPos].index, w->indexTab->search.hits[row]);
    SelectTab(w, 0);
}

TEST_F(KeysTest, EnterWithNoFocusedHitOpensNothing) {
    Search("cholera");
    LVITEMA none = {};
    none.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&none);
    ShowHelpPage(w);
    Press(list, VK_RETURN);
    EXPECT_EQ(w->historyLast, 0);
    EXPECT_EQ(w->shownPage.kind, 0);
}

TEST_F(KeysTest, CtrlFFromAnyControlFocusesTheSearchEditWithItsTextSelected) {
    SetWindowTextA(w->searchEdit.handle, "typhoid");
    ShowCode(w, "A00");
    for (HWND from : {viewer, w->tree.handle}) {
        SelectTab(w, 0);
        SetFocus(from);
        Press(from, 'F', CTRL);
        EXPECT_EQ(CurrentTab(), 1);
        EXPECT_TRUE(IsWindowVisible(w->searchEdit.handle));
        EXPECT_EQ(GetFocus(), w->searchEdit.handle);
        DWORD from_ = 0, to = 0;
        SendMessageA(w->searchEdit.handle, EM_GETSEL, (WPARAM)&from_, (LPARAM)&to);
        EXPECT_EQ(from_, 0u);
        EXPECT_EQ(to, 7u);
    }
}

TEST_F(KeysTest, CtrlASelectsAllInTheSearchEditAndTypingStillTypes) {
    SelectTab(w, 1);
    HWND edit = w->searchEdit.handle;
    SetWindowTextA(edit, "diabetes");
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 3, 3);
    Press(edit, 'A', CTRL);
    DWORD from = 9, to = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 8u);
    // Plain letters are no shortcut: they reach the edit as characters and replace the selection.
    Press(edit, 'A');
    char text[32] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "a");
}

TEST_F(KeysTest, F1ShowsTheHelpPageAndAltArrowsWalkTheHistory) {
    ShowCode(w, "A00");
    ShowCode(w, "A01");
    Press(viewer, VK_LEFT, ALT);
    EXPECT_TRUE(Shows("A00 Cholera"));
    Press(w->tree.handle, VK_RIGHT, ALT);
    EXPECT_TRUE(Shows("A01 Typhoid"));
    EXPECT_EQ(w->historyPos, 2);
    Press(w->tree.handle, VK_F1);
    EXPECT_NE(ViewerText(viewer).find("Create Icon"), std::string::npos);
    EXPECT_EQ(w->shownPage.kind, 0);
    Press(viewer, VK_LEFT, ALT);
    EXPECT_TRUE(Shows("A00 Cholera"));
}

TEST_F(KeysTest, CtrlTabCyclesForwardAndCtrlShiftTabBackwardOverEveryTab) {
    const int32_t count = (int32_t)SendMessageA(w->tab.handle, TCM_GETITEMCOUNT, 0, 0);
    ASSERT_GE(count, 2);
    for (int32_t i = 1; i <= count; i++) {
        Press(GetFocus() ? GetFocus() : w->tree.handle, VK_TAB, CTRL);
        EXPECT_EQ(CurrentTab(), i % count);
    }
    EXPECT_TRUE(IsWindowVisible(w->tree.handle));
    Press(w->tree.handle, VK_TAB, CTRL | SHIFT);
    EXPECT_EQ(CurrentTab(), count - 1);
    Press(GetFocus(), VK_TAB, CTRL | SHIFT);
    EXPECT_EQ(CurrentTab(), count - 2);
}

TEST_F(KeysTest, BackToTheTreeTabSelectsTheShownPageWithoutShowingItAgain) {
    SelectTab(w, 1);
    ShowCode(w, "T80-T88");  // a page longer than the viewer, shown while the hit list is
    const int32_t r = w->shownPage.index;
    ASSERT_EQ(w->shownPage.kind, PAGE_KIND_RECORD);
    ASSERT_NE(Selected(), (HTREEITEM)w->table.records[r].treeItem);
    SendMessageA(viewer, WM_VSCROLL, SB_PAGEDOWN, 0);
    const LRESULT firstLine = SendMessageA(viewer, EM_GETFIRSTVISIBLELINE, 0, 0);
    ASSERT_GT(firstLine, 0);
    const uint16_t last = w->historyLast;
    gCountedViewer = viewer;
    gViewerSetTexts = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountViewerSetText, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Press(list, VK_TAB, CTRL | SHIFT);  // Find -> ICD-10, through the tab's change notification
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(CurrentTab(), 0);
    EXPECT_EQ(Selected(), (HTREEITEM)w->table.records[r].treeItem);
    RECT item = {}, client = {};
    *(HTREEITEM *)&item = (HTREEITEM)w->table.records[r].treeItem;
    EXPECT_TRUE(SendMessageA(w->tree.handle, TVM_GETITEMRECT, TRUE, (LPARAM)&item));
    GetClientRect(w->tree.handle, &client);
    EXPECT_GE(item.top, 0);  // scrolled into view
    EXPECT_LE(item.bottom, client.bottom);
    EXPECT_EQ(gViewerSetTexts, 0);
    EXPECT_EQ(w->historyLast, last);
    EXPECT_EQ(SendMessageA(viewer, EM_GETFIRSTVISIBLELINE, 0, 0), firstLine);
}

}  // namespace
