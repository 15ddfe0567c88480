// Window utilities on their own: the three subclass variants, the resize bar, expanding and
// collapsing a small tree, clipboard text with CR LF, and the formatted message box.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/clipboard.h"
#include "ui/message_box.h"
#include "ui/resize_bar.h"
#include "ui/subclass.h"
#include "ui/tree_utils.h"
#include "ui_test_support.h"

namespace {

const UINT CHAR_MESSAGE = MSG_CONTROL_CHAR;

class SubclassTest : public testing::Test {
protected:
    void SetUp() override {
        owner = CreateMessageRecorder();
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24,
                               owner->window, (HMENU)(INT_PTR)IDC_SEARCH_EDIT,
                               GetModuleHandleA(nullptr), nullptr);
        original = (WNDPROC)GetWindowLongPtrA(edit, GWLP_WNDPROC);
    }
    void TearDown() override {
        if (IsWindow(edit))
            DestroyWindow(edit);
        DestroyMessageRecorder(owner);
    }
    // Releases Shift if a test pressed it.
    static void Shift(bool down) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = VK_SHIFT;
        in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        SendInput(1, &in, sizeof in);
        PumpMessages(50);
    }
    std::string EditText() {
        char text[64] = {};
        GetWindowTextA(edit, text, sizeof text);
        return text;
    }
    MessageRecorder *owner = nullptr;
    HWND edit = nullptr;
    WNDPROC original = nullptr;
};

TEST_F(SubclassTest, CharForwardPostsTheCharacterAndTheControlStillGetsIt) {
    ASSERT_EQ(SubclassCharForward(edit, owner->window, CHAR_MESSAGE), 0);
    SendMessageA(edit, WM_CHAR, 'a', 1);
    MSG msg;
    ASSERT_TRUE(TakePostedMessage(owner->window, CHAR_MESSAGE, CHAR_MESSAGE, &msg));
    EXPECT_EQ(msg.wParam, (WPARAM)0x61);
    EXPECT_EQ((HWND)msg.lParam, edit);
    EXPECT_EQ(EditText(), "a");
}

TEST_F(SubclassTest, ShiftSetsBit31) {
    ASSERT_EQ(SubclassCharForward(edit, owner->window, CHAR_MESSAGE), 0);
    // Injected keys count only for the foreground window's desktop input.
    SetForegroundWindow(owner->window);
    SetFocus(edit);
    PumpMessages(200);
    Shift(true);
    bool shiftSeen = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
    SendMessageA(edit, WM_CHAR, 'A', 1);
    MSG msg;
    bool posted = TakePostedMessage(owner->window, CHAR_MESSAGE, CHAR_MESSAGE, &msg);
    Shift(false);
    if (!shiftSeen)
        GTEST_SKIP() << "no synthetic keyboard state here";
    ASSERT_TRUE(posted);
    EXPECT_EQ(msg.wParam, (WPARAM)0x80000041u);
    EXPECT_EQ(EditText(), "A");
}

TEST_F(SubclassTest, CharactersArePostedNotSent) {
    ASSERT_EQ(SubclassCharForward(edit, owner->window, CHAR_MESSAGE), 0);
    SendMessageA(edit, WM_CHAR, 'x', 1);
    EXPECT_EQ(owner->count, 0);  // nothing delivered yet: it waits in the queue
    PumpMessages();
    EXPECT_EQ(owner->count, 1);
    EXPECT_EQ(owner->lastMessage, CHAR_MESSAGE);
}

TEST_F(SubclassTest, ContextSendsTheRequestBeforeTheControlSeesTheClick) {
    ASSERT_EQ(SubclassContext(edit, owner->window, MSG_TREE_CONTEXT), 0);
    SetCursorPos(250, 300);
    POINT cursor;
    GetCursorPos(&cursor);
    SendMessageA(edit, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(owner->count, 1);
    EXPECT_EQ(owner->lastMessage, (UINT)MSG_TREE_CONTEXT);
    EXPECT_EQ(owner->lastWParam, (WPARAM)0);
    EXPECT_EQ(owner->contextControl, edit);
    EXPECT_EQ(owner->contextX, cursor.x);
    EXPECT_EQ(owner->contextY, cursor.y);
    // No characters from this variant.
    SendMessageA(edit, WM_CHAR, 'q', 1);
    MSG msg;
    EXPECT_FALSE(TakePostedMessage(owner->window, CHAR_MESSAGE, CHAR_MESSAGE, &msg));
}

TEST_F(SubclassTest, CharAndContextForwardsBoth) {
    ASSERT_EQ(SubclassCharAndContext(edit, owner->window, CHAR_MESSAGE, MSG_VIEWER_CONTEXT), 0);
    SendMessageA(edit, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(owner->lastMessage, (UINT)MSG_VIEWER_CONTEXT);
    EXPECT_EQ(owner->contextControl, edit);
    SendMessageA(edit, WM_CHAR, 8, 1);
    MSG msg;
    ASSERT_TRUE(TakePostedMessage(owner->window, CHAR_MESSAGE, CHAR_MESSAGE, &msg));
    EXPECT_EQ(msg.wParam & 0xFFFF, (WPARAM)8);
}

TEST_F(SubclassTest, ArgumentChecksLeaveTheControlUnchanged) {
    EXPECT_EQ(SubclassCharForward(edit, nullptr, CHAR_MESSAGE), ERR_INVPARAM);
    EXPECT_EQ(SubclassCharForward(nullptr, owner->window, CHAR_MESSAGE), ERR_INVPARAM);
    EXPECT_EQ(SubclassCharForward(edit, owner->window, 0), ERR_INVPARAM);
    EXPECT_EQ(SubclassCharAndContext(edit, nullptr, CHAR_MESSAGE, 0), ERR_INVPARAM);
    EXPECT_EQ(SubclassCharAndContext(edit, owner->window, 0, MSG_VIEWER_CONTEXT), ERR_INVPARAM);
    EXPECT_EQ(SubclassContext(edit, nullptr, MSG_TREE_CONTEXT), ERR_NULLPTR);
    EXPECT_EQ(SubclassContext(nullptr, owner->window, MSG_TREE_CONTEXT), ERR_NULLPTR);
    EXPECT_EQ(SubclassContext(edit, owner->window, 0), ERR_INVPARAM);
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(edit, GWLP_WNDPROC), original);
    EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_USERDATA), 0);
}

TEST_F(SubclassTest, DestroyRestoresTheProcedureAndFreesTheRecord) {
    int32_t live = TracerLiveBlocks();
    ASSERT_EQ(SubclassCharAndContext(edit, owner->window, CHAR_MESSAGE, MSG_VIEWER_CONTEXT), 0);
    EXPECT_EQ(TracerLiveBlocks(), live + 1);
    EXPECT_NE((WNDPROC)GetWindowLongPtrA(edit, GWLP_WNDPROC), original);
    // WM_DESTROY as the platform sends it during DestroyWindow; checked on a live window.
    SendMessageA(edit, WM_DESTROY, 0, 0);
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(edit, GWLP_WNDPROC), original);
    EXPECT_EQ(TracerLiveBlocks(), live);
    DestroyWindow(edit);
    EXPECT_EQ(TracerLiveBlocks(), live);
}

TEST_F(SubclassTest, DestroyingTheControlReleasesItsRecord) {
    int32_t live = TracerLiveBlocks();
    int32_t errors = TracerErrors();
    ASSERT_EQ(SubclassContext(edit, owner->window, MSG_TREE_CONTEXT), 0);
    DestroyWindow(edit);
    EXPECT_EQ(TracerLiveBlocks(), live);
    EXPECT_EQ(TracerErrors(), errors);
}

TEST_F(SubclassTest, NotifyForwardHandsChildNotificationsToTheOwner) {
    ASSERT_EQ(SubclassNotifyForward(edit, owner->window), 0);
    // The recorder answers the private messages only; a WM_COMMAND reaching it shows up as the
    // default procedure's answer, so check with a notification the recorder records instead.
    NMHDR nm = {edit, 0, (UINT)TVN_GETDISPINFOA};
    EXPECT_EQ(SendMessageA(edit, WM_NOTIFY, 0, (LPARAM)&nm), 0);
    EXPECT_EQ(SubclassNotifyForward(nullptr, owner->window), ERR_NULLPTR);
}

// The resize bar inside a borderless parent at screen (300, 40).
class ResizeBarTest : public testing::Test {
protected:
    void SetUp() override {
        owner = CreateMessageRecorder();
        SetWindowLongPtrA(owner->window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
        SetWindowPos(owner->window, nullptr, 300, 40, 600, 500, SWP_NOZORDER | SWP_FRAMECHANGED);
        live = TracerLiveBlocks();
        bar = CreateWindowExA(0, "ResizeBarClass", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 8, 400,
                              owner->window, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        if (IsWindow(bar))
            DestroyWindow(bar);
        DestroyMessageRecorder(owner);
    }
    ResizeBarState *State() { return (ResizeBarState *)GetWindowLongPtrA(bar, GWLP_USERDATA); }
    MessageRecorder *owner = nullptr;
    HWND bar = nullptr;
    int32_t live = 0;
};

TEST_F(ResizeBarTest, PressSendsBeginWithTheScreenPoint) {
    ASSERT_NE(bar, nullptr);
    RECT wr;
    GetWindowRect(bar, &wr);
    ASSERT_EQ(wr.left, 300);
    ASSERT_EQ(wr.top, 40);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 200));
    EXPECT_EQ(owner->lastMessage, (UINT)MSG_RESIZEBAR_BEGIN);
    EXPECT_EQ(owner->lastWParam, (WPARAM)MK_LBUTTON);
    EXPECT_EQ(LOWORD(owner->lastLParam), 303);
    EXPECT_EQ(HIWORD(owner->lastLParam), 240);
    ASSERT_NE(State(), nullptr);
    EXPECT_EQ(State()->barDragging, 1);
    EXPECT_EQ(State()->barWindow, bar);
}

TEST_F(ResizeBarTest, DragStateEndsOnReleaseEscapeFocusLossAndEnd) {
    const UINT enders[] = {WM_LBUTTONUP, WM_KILLFOCUS, MSG_RESIZEBAR_END};
    for (UINT message : enders) {
        SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        ASSERT_EQ(State()->barDragging, 1);
        SendMessageA(bar, message, 0, 0);
        EXPECT_EQ(State()->barDragging, 0) << message;
    }
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    SendMessageA(bar, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(State()->barDragging, 1);
    SendMessageA(bar, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(State()->barDragging, 0);
}

TEST_F(ResizeBarTest, StateLivesAsLongAsTheBar) {
    EXPECT_EQ(TracerLiveBlocks(), live + 1);
    DestroyWindow(bar);
    EXPECT_EQ(TracerLiveBlocks(), live);
}

TEST_F(ResizeBarTest, ClassUsesTheSizingCursor) {
    WNDCLASSA wc = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "ResizeBarClass", &wc));
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_SIZEWE));
    EXPECT_EQ(wc.style, (UINT)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    // Registered already by the test program's start-up, as by WinMain.
    EXPECT_EQ(RegisterResizeBarClass(GetModuleHandleA(nullptr)), ERR_WINDOWS);
}

// A three-level tree: two chapters, blocks under them, codes under the blocks.
class TreeUtilsTest : public testing::Test {
protected:
    void SetUp() override {
        tree = CreateWindowExA(0, WC_TREEVIEWA, nullptr, WS_POPUP | WS_VISIBLE | TVS_HASBUTTONS,
                               20, 20, 300, 400, nullptr, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
        for (int c = 0; c < 2; c++) {
            HTREEITEM chapter = Insert(TVI_ROOT, 1);
            parents.push_back(chapter);
            for (int b = 0; b < 3; b++) {
                HTREEITEM block = Insert(chapter, 1);
                parents.push_back(block);
                for (int k = 0; k < 4; k++)
                    Insert(block, 0);
            }
        }
        // An item that claims children but has none.
        claimer = Insert(parents[1], 1);
    }
    void TearDown() override { DestroyWindow(tree); }
    HTREEITEM Insert(HTREEITEM parent, int children) {
        TVINSERTSTRUCTA ins = {};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_CHILDREN;
        ins.item.pszText = (LPSTR) "item";
        ins.item.cChildren = children;
        return (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
    }
    bool Expanded(HTREEITEM item) {
        return SendMessageA(tree, TVM_GETITEMSTATE, (WPARAM)item, TVIS_EXPANDED) & TVIS_EXPANDED;
    }
    HWND tree = nullptr;
    std::vector<HTREEITEM> parents;
    HTREEITEM claimer = nullptr;
};

TEST_F(TreeUtilsTest, ExpandAllExpandsEveryItemWithChildren) {
    EXPECT_EQ(TreeExpandAll(tree, TVE_EXPAND), 0);
    for (HTREEITEM item : parents)
        EXPECT_TRUE(Expanded(item));
}

TEST_F(TreeUtilsTest, CollapseAllCollapsesEverything) {
    TreeExpandAll(tree, TVE_EXPAND);
    EXPECT_EQ(TreeExpandAll(tree, TVE_COLLAPSE), 0);
    for (HTREEITEM item : parents)
        EXPECT_FALSE(Expanded(item));
}

TEST_F(TreeUtilsTest, BranchWalksOnlyTheItemItsSiblingsAndTheirDescendants) {
    HTREEITEM secondChapter = parents[4];
    EXPECT_EQ(TreeExpandBranch(tree, secondChapter, TVE_EXPAND), 0);
    EXPECT_FALSE(Expanded(parents[0]));
    EXPECT_FALSE(Expanded(parents[1]));
    for (size_t i = 4; i < parents.size(); i++)
        EXPECT_TRUE(Expanded(parents[i]));
}

TEST_F(TreeUtilsTest, NullTreeOrEmptyTreeIsRefused) {
    EXPECT_EQ(TreeExpandAll(nullptr, TVE_EXPAND), ERR_NULLPTR);
    EXPECT_EQ(TreeExpandBranch(tree, nullptr, TVE_EXPAND), ERR_NULLPTR);
    SendMessageA(tree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    EXPECT_EQ(TreeExpandAll(tree, TVE_EXPAND), ERR_NULLPTR);
}

TEST_F(TreeUtilsTest, UnreadableItemStopsTheWalk) {
    // A handle the tree does not know cannot be read.
    HTREEITEM bogus = (HTREEITEM)(INT_PTR)0x10;
    EXPECT_EQ(TreeExpandBranch(tree, bogus, TVE_EXPAND), ERR_GENERIC);
}

class ClipboardTest : public testing::Test {
protected:
    void SetUp() override { owner = CreateMessageRecorder(); }
    void TearDown() override { DestroyMessageRecorder(owner); }
    std::string Copy(const std::string &text) {
        EXPECT_EQ(CopyTextToClipboard(owner->window, text.data(), (uint32_t)text.size()), 0);
        return ReadClipboardText();
    }
    MessageRecorder *owner = nullptr;
};

TEST_F(ClipboardTest, LoneLineFeedsGetACarriageReturn) {
    EXPECT_EQ(Copy("a\nb"), "a\r\nb");
    EXPECT_EQ(Copy("\nstart"), "\r\nstart");
    EXPECT_EQ(Copy("x\n\ny"), "x\r\n\r\ny");
}

TEST_F(ClipboardTest, ExistingLineEndsAndCarriageReturnsStay) {
    EXPECT_EQ(Copy("a\r\nb"), "a\r\nb");
    EXPECT_EQ(Copy("a\r\rb"), "a\r\rb");
}

TEST_F(ClipboardTest, LengthBoundsTheCopy) {
    const char text[] = "abcdef";
    EXPECT_EQ(CopyTextToClipboard(owner->window, text, 3), 0);
    EXPECT_EQ(ReadClipboardText(), "abc");
    EXPECT_EQ(CopyTextToClipboard(owner->window, text, 0), 0);
    EXPECT_EQ(ReadClipboardText(), "");
}

TEST_F(ClipboardTest, NullTextEmptiesAndNullWindowIsRefused) {
    Copy("something");
    EXPECT_EQ(CopyTextToClipboard(owner->window, nullptr, 5), 0);
    EXPECT_EQ(ReadClipboardText(), "<none>");
    EXPECT_EQ(CopyTextToClipboard(nullptr, "x", 1), ERR_INVPARAM);
}

TEST_F(ClipboardTest, BusyClipboardFails) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(CopyTextToClipboard(owner->window, "x", 1), ERR_FAILED);
    CloseClipboard();
}

TEST(MessageBoxPrintTest, ShowsTheFormattedTextWithItsCaption) {
    ScheduleMessageBoxClose("Caption A");
    MessageBoxPrint(nullptr, MB_ICONERROR, "Caption A", "Failed to read ICD10 data: %.32s",
                    "ERR_CHECKSUM");
    EXPECT_EQ(FinishMessageBox(), "Failed to read ICD10 data: ERR_CHECKSUM");
}

TEST(MessageBoxPrintTest, CutsTheTextAt141Characters) {
    std::string longText(300, 'w');
    ScheduleMessageBoxClose("Caption B");
    MessageBoxPrint(nullptr, MB_ICONINFORMATION, "Caption B", "%s", longText.c_str());
    EXPECT_EQ(FinishMessageBox(), std::string(141, 'w'));
}

}  // namespace
