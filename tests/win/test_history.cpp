// Navigation history on the window state alone: pushes, the walk back onto the empty slot 0,
// dropping the pages ahead, refusing the current page, and the shift of a full history.
#include <gtest/gtest.h>

#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/history.h"

namespace {

PageRef Page(int32_t index) { return PageRef{PAGE_KIND_RECORD, index}; }

class HistoryTest : public testing::Test {
protected:
    BrowserWindow w = {};
    PageRef out = {};
};

TEST_F(HistoryTest, FirstPushGoesToSlotOneAndCannotGoBack) {
    EXPECT_EQ(HistoryPush(&w, Page(7)), 0);
    EXPECT_EQ(w.historyPos, 1);
    EXPECT_EQ(w.historyLast, 1);
    EXPECT_EQ(w.history[0].kind, 0);
    EXPECT_EQ(HistoryBack(&w, &out), ERR_NOTAVAIL);
    EXPECT_EQ(w.historyPos, 1);
}

TEST_F(HistoryTest, TwoPagesWalkBackOntoTheEmptySlotAndForwardAgain) {
    HistoryPush(&w, Page(10));
    HistoryPush(&w, Page(20));
    ASSERT_EQ(HistoryBack(&w, &out), 0);
    EXPECT_EQ(out.index, 10);
    EXPECT_EQ(w.historyPos, 1);
    ASSERT_EQ(HistoryBack(&w, &out), 0);
    EXPECT_EQ(out.kind, 0);  // the empty entry of slot 0
    EXPECT_EQ(w.historyPos, 0);
    EXPECT_EQ(HistoryBack(&w, &out), ERR_NOTAVAIL);
    ASSERT_EQ(HistoryForward(&w, &out), 0);
    EXPECT_EQ(out.index, 10);
    ASSERT_EQ(HistoryForward(&w, &out), 0);
    EXPECT_EQ(out.index, 20);
    EXPECT_EQ(HistoryForward(&w, &out), ERR_NOTAVAIL);
    EXPECT_EQ(w.historyPos, 2);
}

TEST_F(HistoryTest, PushAfterGoingBackDropsThePagesAhead) {
    HistoryPush(&w, Page(1));
    HistoryPush(&w, Page(2));
    HistoryPush(&w, Page(3));
    HistoryBack(&w, &out);
    HistoryBack(&w, &out);
    EXPECT_EQ(HistoryPush(&w, Page(4)), 0);
    EXPECT_EQ(w.historyLast, 2);
    EXPECT_EQ(w.historyPos, 2);
    EXPECT_EQ(w.history[0].kind, 0);
    EXPECT_EQ(w.history[1].index, 1);
    EXPECT_EQ(w.history[2].index, 4);
    EXPECT_EQ(HistoryForward(&w, &out), ERR_NOTAVAIL);
}

TEST_F(HistoryTest, PushingTheCurrentPageAfterGoingBackKeepsTheForwardPages) {
    HistoryPush(&w, Page(1));
    HistoryPush(&w, Page(2));
    HistoryBack(&w, &out);
    EXPECT_EQ(HistoryPush(&w, Page(1)), ERR_EMPTY);
    EXPECT_EQ(w.historyLast, 2);
    ASSERT_EQ(HistoryForward(&w, &out), 0);
    EXPECT_EQ(out.index, 2);
}

TEST_F(HistoryTest, SamePageTwiceIsOneEntryButAnotherKindIsNot) {
    HistoryPush(&w, Page(5));
    EXPECT_EQ(HistoryPush(&w, Page(5)), ERR_EMPTY);
    EXPECT_EQ(w.historyLast, 1);
    EXPECT_EQ(HistoryPush(&w, PageRef{2, 5}), 0);
    EXPECT_EQ(w.historyLast, 2);
}

TEST_F(HistoryTest, PushingOnSlotZeroGoesToSlotOne) {
    HistoryPush(&w, Page(1));
    HistoryPush(&w, Page(2));
    HistoryBack(&w, &out);
    HistoryBack(&w, &out);
    EXPECT_EQ(HistoryPush(&w, Page(9)), 0);
    EXPECT_EQ(w.historyPos, 1);
    EXPECT_EQ(w.historyLast, 1);
    EXPECT_EQ(w.history[1].index, 9);
}

TEST_F(HistoryTest, FortyPagesKeepTheLastThirtyTwoAndTheOldestIsARealPage) {
    for (int32_t i = 0; i < 40; i++) ASSERT_EQ(HistoryPush(&w, Page(100 + i)), 0);
    EXPECT_EQ(w.historyPos, 31);
    EXPECT_EQ(w.historyLast, 31);
    EXPECT_EQ(w.history[31].index, 139);
    for (int32_t i = 0; i < 31; i++) ASSERT_EQ(HistoryBack(&w, &out), 0);
    EXPECT_EQ(out.kind, PAGE_KIND_RECORD);
    EXPECT_EQ(out.index, 108);
    EXPECT_EQ(HistoryBack(&w, &out), ERR_NOTAVAIL);
}

TEST_F(HistoryTest, NullArgumentsAreRefused) {
    EXPECT_EQ(HistoryPush(nullptr, Page(1)), ERR_NULLPTR);
    EXPECT_EQ(HistoryBack(&w, nullptr), ERR_NULLPTR);
    EXPECT_EQ(HistoryForward(nullptr, &out), ERR_NULLPTR);
}

}  // namespace
