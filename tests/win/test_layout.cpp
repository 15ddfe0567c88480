// Layout of the browser window after resizing and after splitter drags, and the drag itself:
// press on the bar, moves inside and outside the margins, release, a second press ignored.
#include <gtest/gtest.h>

#include "layout_support.h"
#include "ui/browser_window.h"
#include "ui_test_support.h"

namespace {

// Every control where the layout table puts it for splitter s and client size width x h.
void ExpectLayout(const BrowserWindow *w, int32_t s, int32_t width, int32_t h) {
    for (const ControlPlace &place : LayoutAt96(w, s, width, h))
        ExpectAt(place.control, place.rect, place.name);
}

LPARAM Point(int32_t x, int32_t y) {
    return MAKELPARAM((WORD)(int16_t)x, (WORD)(int16_t)y);
}

class LayoutTest : public testing::Test {
protected:
    static void SetUpTestSuite() { shared = OpenBrowser(); }
    static void TearDownTestSuite() { CloseBrowser(&shared); }
    void SetUp() override {
        ASSERT_NE(shared.w, nullptr);
        b = shared;
        w = b.w;
        SetClientSize(b.window, 1000, 700);
        w->splitterX = 500;
        BrowserComputeLayout(w);
        BrowserApplyLayout(w);
    }
    void TearDown() override {
        if (w->dragging)
            SendMessageA(b.window, WM_LBUTTONUP, 0, 0);
    }
    static OpenedBrowser shared;
    OpenedBrowser b = {};
    BrowserWindow *w = nullptr;
};

OpenedBrowser LayoutTest::shared = {};

TEST_F(LayoutTest, ResizeMovesEveryControlAndKeepsTheSplitter) {
    SetClientSize(b.window, 900, 600);
    EXPECT_EQ(w->splitterX, 500);
    EXPECT_EQ(w->clientRect.right, 900);
    EXPECT_EQ(w->clientRect.bottom, 600);
    ExpectLayout(w, 500, 900, 600);
    SetClientSize(b.window, 1100, 760);
    ExpectLayout(w, 500, 1100, 760);
}

TEST_F(LayoutTest, ComputeOnlyComputes) {
    w->splitterX = 300;
    BrowserComputeLayout(w);
    EXPECT_EQ(w->infoButton.rect.left, 613);
    EXPECT_EQ(w->viewer.rect.left, 304);
    ExpectAt(w->infoButton.handle, {813, 4, 885, 34}, "info not moved yet");
    BrowserApplyLayout(w);
    ExpectLayout(w, 300, 1000, 700);
}

TEST_F(LayoutTest, RestoredSizeRepaintsButMaximizedDoesNot) {
    UpdateWindow(b.window);
    ValidateRect(b.window, nullptr);
    SendMessageA(b.window, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1000, 700));
    EXPECT_FALSE(GetUpdateRect(b.window, nullptr, FALSE));
    SendMessageA(b.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1000, 700));
    EXPECT_TRUE(GetUpdateRect(b.window, nullptr, FALSE));
}

TEST_F(LayoutTest, DragStartsAtTheBarCentreAndCapturesTheMouse) {
    SendMessageA(b.window, MSG_RESIZEBAR_BEGIN, MK_LBUTTON, 0);
    EXPECT_EQ(w->dragging, 1);
    EXPECT_EQ(w->dragLineX, 500);
    EXPECT_EQ(GetCapture(), b.window);
    SendMessageA(b.window, WM_LBUTTONUP, 0, Point(500, 10));
    EXPECT_EQ(w->dragging, 0);
    EXPECT_NE(GetCapture(), b.window);
}

TEST_F(LayoutTest, DragFollowsMovesWithinTheMarginsOnly) {
    SendMessageA(b.window, MSG_RESIZEBAR_BEGIN, MK_LBUTTON, 0);
    SendMessageA(b.window, WM_MOUSEMOVE, MK_LBUTTON, Point(400, 50));
    EXPECT_EQ(w->splitterX, 400);
    EXPECT_EQ(w->dragLineX, 400);
    SendMessageA(b.window, WM_MOUSEMOVE, MK_LBUTTON, Point(168, 50));
    EXPECT_EQ(w->splitterX, 168);
    SendMessageA(b.window, WM_MOUSEMOVE, MK_LBUTTON, Point(167, 50));
    EXPECT_EQ(w->splitterX, 168);
    SendMessageA(b.window, WM_MOUSEMOVE, MK_LBUTTON, Point(832, 50));
    EXPECT_EQ(w->splitterX, 832);
    SendMessageA(b.window, WM_MOUSEMOVE, MK_LBUTTON, Point(833, 50));
    EXPECT_EQ(w->splitterX, 832);
    // Left of the client area the captured x is negative: taken as unsigned it is far right.
    SendMessageA(b.window, WM_MOUSEMOVE, MK_LBUTTON, Point(-20, 50));
    EXPECT_EQ(w->splitterX, 832);
    SendMessageA(b.window, WM_MOUSEMOVE, MK_LBUTTON, Point(600, 50));
    SendMessageA(b.window, WM_MOUSEMOVE, MK_LBUTTON, Point(5000, 50));
    EXPECT_EQ(w->splitterX, 600);
    // Nothing moves before the release.
    ExpectAt(w->viewer.handle, {504, 37, 1000, 700}, "viewer during the drag");
    SendMessageA(b.window, WM_LBUTTONUP, 0, Point(5000, 50));
    EXPECT_EQ(w->splitterX, 600);
    ExpectLayout(w, 600, 1000, 700);
}

TEST_F(LayoutTest, MovesWhileIdleAndReleaseWhileIdleDoNothing) {
    SendMessageA(b.window, WM_MOUSEMOVE, 0, Point(300, 50));
    EXPECT_EQ(w->splitterX, 500);
    SendMessageA(b.window, WM_LBUTTONUP, 0, Point(300, 50));
    EXPECT_EQ(w->splitterX, 500);
    EXPECT_EQ(w->dragging, 0);
}

TEST_F(LayoutTest, SecondDragStartIsIgnored) {
    SendMessageA(b.window, MSG_RESIZEBAR_BEGIN, MK_LBUTTON, 0);
    SendMessageA(b.window, WM_MOUSEMOVE, MK_LBUTTON, Point(300, 50));
    SendMessageA(b.window, MSG_RESIZEBAR_BEGIN, MK_LBUTTON, 0);
    EXPECT_EQ(w->dragLineX, 300);
    EXPECT_EQ(w->dragging, 1);
    SendMessageA(b.window, WM_LBUTTONUP, 0, Point(300, 50));
    ExpectLayout(w, 300, 1000, 700);
}

TEST_F(LayoutTest, PressOnTheResizeBarStartsTheDrag) {
    SendMessageA(w->resizeBar.handle, WM_LBUTTONDOWN, MK_LBUTTON, Point(3, 200));
    EXPECT_EQ(w->dragging, 1);
    EXPECT_EQ(GetCapture(), b.window);
    SendMessageA(b.window, WM_MOUSEMOVE, MK_LBUTTON, Point(450, 200));
    SendMessageA(b.window, WM_LBUTTONUP, 0, Point(450, 200));
    EXPECT_EQ(w->dragging, 0);
    ExpectLayout(w, 450, 1000, 700);
}

TEST_F(LayoutTest, InfoButtonFollowsTheSplitter) {
    for (int32_t s : {168, 400, 832}) {
        w->splitterX = s;
        BrowserComputeLayout(w);
        BrowserApplyLayout(w);
        EXPECT_EQ(RectInParent(w->infoButton.handle).left, s + 313);
    }
}

}  // namespace
