// Navigation: a real click on a link, going to a code from the "Find" tab, "<" and ">" through
// the history with its empty slot 0, Backspace in the viewer, and the check box redraw.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "classification/search.h"
#include "feature_support.h"
#include "foundation/status.h"
#include "ui/navigation.h"
#include "ui/record_page.h"
#include "ui_test_support.h"

namespace {

class NavigationTest : public FeatureSuite<NavigationTest> {
protected:
    void SetUp() override {
        FeatureSuite::SetUp();
        if (!HasFatalFailure()) SelectTab(w, 0);
    }
    bool Shows(const char *heading) { return ViewerText(viewer).rfind(heading, 0) == 0; }
    void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); PumpMessages(); }
    HTREEITEM Selected() {
        return (HTREEITEM)SendMessageA(w->tree.handle, TVM_GETNEXTITEM, TVGN_CARET, 0);
    }
    // Sends the viewer's EN_LINK for the characters [from, to) as a press of the left button.
    LRESULT LinkPress(int32_t from, int32_t to, UINT mouse = WM_LBUTTONDOWN) {
        return SendLinkPress(w, from, to, mouse);
    }
};

TEST_F(NavigationTest, RealClickOnALinkGoesToItsCodeWithExactlyOneHistoryEntry) {
    ShowCode(w, "B15-B19");
    ASSERT_EQ(w->historyLast, 1);
    std::string text = ViewerText(viewer);
    int32_t at = (int32_t)text.find("B94.2");
    ASSERT_GT(at, 0);
    RealClickOnViewer(w, at + 1);
    ASSERT_TRUE(Shows("B94.2 ")) << ViewerText(viewer).substr(0, 60);
    int32_t r = RecordOf(w, "B94.2");
    EXPECT_EQ(w->historyLast, 2);
    EXPECT_EQ(w->historyPos, 2);
    EXPECT_EQ(w->history[2].index, r);
    EXPECT_EQ(Selected(), (HTREEITEM)w->table.records[r].treeItem);
}

TEST_F(NavigationTest, GoingToACodeFromTheFindTabShowsTheTreeWithTheRecordSelected) {
    SendMessageA(w->tab.handle, TCM_SETCURSEL, 1, 0);
    ShowTab(w, 1);
    ASSERT_EQ(GoToCode(w, PAGE_KIND_RECORD, "a01.0"), 0);
    int32_t r = RecordOf(w, "A01.0");
    EXPECT_EQ(SendMessageA(w->tab.handle, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(w->tree.handle));
    EXPECT_FALSE(IsWindowVisible(w->list.handle));
    EXPECT_FALSE(IsWindowVisible(w->searchEdit.handle));
    EXPECT_EQ(Selected(), (HTREEITEM)w->table.records[r].treeItem);
    EXPECT_TRUE(Shows("A01.0 Typhoid fever"));
    EXPECT_EQ(w->historyLast, 1);
    ASSERT_EQ(GoToCode(w, PAGE_KIND_RECORD, "A01.0"), 0);  // already selected: still one entry
    EXPECT_EQ(w->historyLast, 1);
}

// Counts the viewer's WM_SETTEXT: every rendering of a page starts with one.
HWND gCountedViewer;
int gViewerSetTexts;
LRESULT CALLBACK CountViewerSetText(int code, WPARAM wp, LPARAM lp) {
    const CWPSTRUCT *m = (const CWPSTRUCT *)lp;
    if (code == HC_ACTION && m->hwnd == gCountedViewer && m->message == WM_SETTEXT)
        gViewerSetTexts++;
    return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(NavigationTest, FollowingALinkRendersItsPageOnceAndTheSamePageAgainFromTheTop) {
    ShowCode(w, "B15-B19");
    gCountedViewer = viewer;
    gViewerSetTexts = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountViewerSetText, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    GoToCode(w, PAGE_KIND_RECORD, "B94.2");
    int afterOther = gViewerSetTexts;
    SendMessageA(viewer, WM_VSCROLL, SB_BOTTOM, 0);
    GoToCode(w, PAGE_KIND_RECORD, "B94.2");  // its item is selected already
    int afterSame = gViewerSetTexts;
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(afterOther, 1);
    EXPECT_EQ(afterSame, 2);
    EXPECT_TRUE(Shows("B94.2 "));
    EXPECT_EQ(SendMessageA(viewer, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(w->historyLast, 2);
    EXPECT_EQ(Selected(), (HTREEITEM)w->table.records[RecordOf(w, "B94.2")].treeItem);
}

TEST_F(NavigationTest, UnknownCodeChangesNothing) {
    ShowCode(w, "A00");
    SendMessageA(w->tab.handle, TCM_SETCURSEL, 1, 0);
    ShowTab(w, 1);
    EXPECT_EQ(GoToCode(w, PAGE_KIND_RECORD, "Z16."), ERR_NOTFOUND);
    EXPECT_EQ(GoToCode(w, 2, "A00"), ERR_NOTFOUND);
    EXPECT_EQ(SendMessageA(w->tab.handle, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(Shows("A00 Cholera"));
    EXPECT_EQ(w->historyLast, 1);
}

TEST_F(NavigationTest, BackAndForwardWalkTheHistoryThroughTheEmptySlot) {
    ShowCode(w, "A00");
    ShowCode(w, "A01");
    Click(w->backButton.handle);
    EXPECT_TRUE(Shows("A00 Cholera"));
    EXPECT_EQ(w->historyPos, 1);
    EXPECT_EQ(NavigateBack(w), ERR_INVTYPE);
    EXPECT_EQ(w->historyPos, 0);
    EXPECT_TRUE(Shows("A00 Cholera"));  // nothing drawn for the empty entry
    Click(w->forwardButton.handle);
    EXPECT_TRUE(Shows("A00 Cholera"));
    EXPECT_EQ(w->historyPos, 1);
    Click(w->forwardButton.handle);
    EXPECT_TRUE(Shows("A01 Typhoid and paratyphoid fevers"));
    EXPECT_EQ(NavigateForward(w), ERR_NOTAVAIL);
    EXPECT_EQ(w->historyLast, 2);
}

TEST_F(NavigationTest, BrowserBackAndForwardCommandsFromAnyControlWalkTheHistory) {
    ShowCode(w, "A00");
    ShowCode(w, "A01");
    auto command = [](HWND to, int cmd) {
        return SendMessageA(to, WM_APPCOMMAND, (WPARAM)to, MAKELPARAM(0, cmd | FAPPCOMMAND_MOUSE));
    };
    command(viewer, APPCOMMAND_BROWSER_BACKWARD);
    EXPECT_TRUE(Shows("A00 Cholera"));
    // The tree sits in the tab control: the command climbs two parents.
    command(w->tree.handle, APPCOMMAND_BROWSER_FORWARD);
    EXPECT_TRUE(Shows("A01 Typhoid and paratyphoid fevers"));
    EXPECT_EQ(w->historyPos, 2);
    EXPECT_TRUE(command(w->window, APPCOMMAND_BROWSER_BACKWARD));  // handled: TRUE
    EXPECT_EQ(w->historyPos, 1);
    command(w->window, APPCOMMAND_BROWSER_FORWARD);
    // Other commands are not ours and leave the page alone.
    command(viewer, APPCOMMAND_BROWSER_HOME);
    EXPECT_TRUE(Shows("A01 Typhoid and paratyphoid fevers"));
    EXPECT_EQ(w->historyPos, 2);
}

TEST_F(NavigationTest, MouseBackButtonOverTheViewerGoesBack) {
    ShowCode(w, "A00");
    ShowCode(w, "A01");
    RECT r;
    GetWindowRect(viewer, &r);
    SetForegroundWindow(w->window);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_XDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_XUP;
    press[0].mi.mouseData = press[1].mi.mouseData = XBUTTON1;
    SendInput(2, press, sizeof(INPUT));
    PumpMessages(300);
    EXPECT_TRUE(Shows("A00 Cholera")) << ViewerText(viewer).substr(0, 40);
    EXPECT_EQ(w->historyPos, 1);
}

TEST_F(NavigationTest, BackspaceGoesBackInTheViewerButOnlyEditsInTheSearchEdit) {
    ShowCode(w, "A00");
    ShowCode(w, "A01");
    SendMessageA(viewer, WM_CHAR, 8, 0);
    PumpMessages();
    EXPECT_TRUE(Shows("A00 Cholera"));
    EXPECT_EQ(w->historyPos, 1);
    SetWindowTextA(w->searchEdit.handle, "abc");
    SendMessageA(w->searchEdit.handle, WM_CHAR, 8, 0);
    PumpMessages();
    EXPECT_EQ(w->historyPos, 1);
    EXPECT_TRUE(Shows("A00 Cholera"));
}

TEST_F(NavigationTest, CheckBoxRedrawsTheCurrentPageWithThenWithoutTheWordMarked) {
    SearchRecords(&w->search, &w->table, "typhoid", nullptr, nullptr);
    ShowCode(w, "A01");
    EXPECT_EQ(FormatAt(viewer, 4).crBackColor, HIGHLIGHT_BACK_COLOR);
    Click(w->showWordCheck.handle);  // clears the mark
    EXPECT_NE(FormatAt(viewer, 4).crBackColor, HIGHLIGHT_BACK_COLOR);
    EXPECT_TRUE(Shows("A01 Typhoid"));
    Click(w->showWordCheck.handle);
    EXPECT_EQ(FormatAt(viewer, 4).crBackColor, HIGHLIGHT_BACK_COLOR);
    EXPECT_EQ(w->historyLast, 1);
}

TEST_F(NavigationTest, LinkMissingFromTheLinkTableStillLeadsToItsRecord) {
    ShowCode(w, "B15-B19");
    std::string text = ViewerText(viewer);
    int32_t at = (int32_t)text.find("B25.1");
    w->links.linkCount = 0;
    EXPECT_EQ(LinkPress(at, at + 5), 0);
    EXPECT_TRUE(Shows("B25.1 Cytomegaloviral hepatitis"));
    EXPECT_EQ(w->historyLast, 2);
}

TEST_F(NavigationTest, OnlyTheLeftButtonPressFollowsALink) {
    ShowCode(w, "B15-B19");
    int32_t at = (int32_t)ViewerText(viewer).find("B25.1");
    LinkPress(at, at + 5, WM_MOUSEMOVE);
    LinkPress(at, at + 5, WM_LBUTTONUP);
    EXPECT_TRUE(Shows("B15-B19 Viral hepatitis"));
    EXPECT_EQ(w->historyLast, 1);
}

TEST_F(NavigationTest, ShowCurrentPageRefusesTheEmptyEntry) {
    EXPECT_EQ(ShowCurrentPage(w), ERR_INVTYPE);
    ShowCode(w, "A00");
    ViewerText(viewer);
    EXPECT_EQ(ShowCurrentPage(w), 0);
    EXPECT_TRUE(Shows("A00 Cholera"));
    EXPECT_EQ(ShowCurrentPage(nullptr), ERR_NULLPTR);
}

}  // namespace
