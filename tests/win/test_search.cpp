// Search in the window: the "Find" button and Enter, the 3-character minimum, the virtual list's
// rows and cells, and opening a hit with a click.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "classification/search.h"
#include "feature_support.h"
#include "foundation/status.h"
#include "ui/features.h"
#include "ui/search_ui.h"
#include "ui_test_support.h"

namespace {

class SearchTest : public FeatureSuite<SearchTest> {
protected:
    void SetUp() override {
        FeatureSuite::SetUp();
        if (HasFatalFailure()) return;
        list = w->list.handle;
        SelectTab(w, 1);
    }
    void Type(const char *word) { SetWindowTextA(w->searchEdit.handle, word); }
    void ClickFind() { SendMessageA(w->findButton.handle, BM_CLICK, 0, 0); PumpMessages(); }
    void PressEnter() {
        SendMessageA(w->searchEdit.handle, WM_CHAR, '\r', 0);
        PumpMessages();
    }
    int32_t Rows() { return (int32_t)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }
    std::string Cell(int32_t row, int32_t column) {
        char text[300] = {};
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
        return text;
    }
    HWND list = nullptr;
};

TEST_F(SearchTest, FindButtonListsEveryHitWithItsCodeAndTitle) {
    Type("cholera");
    ClickFind();
    ASSERT_EQ(w->search.hitCount, 5);
    ASSERT_EQ(Rows(), 5);
    EXPECT_EQ(Cell(0, 0), "ICD10");
    EXPECT_EQ(Cell(0, 1), "A00");
    EXPECT_EQ(Cell(0, 2), "Cholera");
    EXPECT_EQ(Cell(4, 1), "Y38.6");
    EXPECT_STREQ(w->search.searchWord, "cholera");
    EXPECT_NE(GetFocus(), list);  // the button leaves the focus where it was
}

TEST_F(SearchTest, CaseOfTheWordDoesNotChangeTheHits) {
    Type("CHOLERA");
    ClickFind();
    EXPECT_EQ(Rows(), 5);
    EXPECT_EQ(Cell(3, 1), "A00.9");
}

TEST_F(SearchTest, EnterSearchesAndMovesTheFocusToTheList) {
    Type("typhoid");
    SetFocus(w->searchEdit.handle);
    PressEnter();
    EXPECT_GT(Rows(), 0);
    EXPECT_EQ(Rows(), w->search.hitCount);
    EXPECT_EQ(GetFocus(), list);
}

TEST_F(SearchTest, WordsShorterThanThreeCharactersChangeNothing) {
    Type("cholera");
    ClickFind();
    SetFocus(w->searchEdit.handle);
    Type("ch");
    PressEnter();
    EXPECT_EQ(GetFocus(), w->searchEdit.handle);  // no search, so the focus stays
    ClickFind();
    Type("");
    ClickFind();
    EXPECT_EQ(Rows(), 5);
    EXPECT_EQ(w->search.hitCount, 5);
    EXPECT_STREQ(w->search.searchWord, "cholera");
}

TEST_F(SearchTest, SecondSearchReplacesTheFirstCompletely) {
    Type("A01.0");
    ClickFind();
    int32_t first = Rows();
    EXPECT_GE(first, 8);
    Type("cholera");
    ClickFind();
    EXPECT_EQ(Rows(), 5);
    EXPECT_EQ(Cell(0, 1), "A00");
}

TEST_F(SearchTest, WordFoundNowhereGivesAnEmptyListButKeepsTheWord) {
    Type("qqqzzzxxx");
    ClickFind();
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(w->search.hitCount, 0);
    EXPECT_STREQ(w->search.searchWord, "qqqzzzxxx");
}

TEST_F(SearchTest, CellsOutsideTheHitsOrColumnsAnswerDashAndOtherKindsQuestionMark) {
    Type("cholera");
    ClickFind();
    NMLVDISPINFOA info = {};
    info.item.mask = LVIF_TEXT | LVIF_STATE | LVIF_IMAGE;
    info.item.state = 77;
    info.item.iImage = 5;
    info.item.iItem = 5;
    SearchOnGetDispInfo(w, &info);
    EXPECT_STREQ(info.item.pszText, "-");
    EXPECT_EQ(info.item.state, 0u);
    EXPECT_EQ(info.item.iImage, 0);
    info.item.iItem = 0;
    info.item.iSubItem = 3;
    SearchOnGetDispInfo(w, &info);
    EXPECT_STREQ(info.item.pszText, "-");
    PageRef saved = w->search.hits[1];
    w->search.hits[1].kind = 2;
    info.item.iItem = 1;
    for (int column = 0; column < 3; column++) {
        info.item.iSubItem = column;
        SearchOnGetDispInfo(w, &info);
        EXPECT_STREQ(info.item.pszText, "?");
    }
    w->search.hits[1] = saved;
}

TEST_F(SearchTest, ClickOnAHitShowsItsPageAndAddsItToTheHistory) {
    Type("cholera");
    ClickFind();
    uint16_t lastBefore = w->historyLast;
    RECT row = {};
    row.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, 1, (LPARAM)&row);
    LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(ViewerText(w->viewer.handle).rfind("A00.0 Cholera due to", 0), 0u);
    EXPECT_EQ(w->history[w->historyPos].index, RecordOf(w, "A00.0"));
    EXPECT_EQ(w->historyLast, lastBefore + 1);
}

TEST_F(SearchTest, ShortOrNullWordsAreRefusedBeforeAnythingChanges) {
    EXPECT_EQ(SearchInWindow(w, nullptr), ERR_NULLPTR);
    EXPECT_EQ(SearchInWindow(nullptr, "cholera"), ERR_NULLPTR);
    EXPECT_EQ(SearchInWindow(w, "ab"), ERR_EMPTY);
}

}  // namespace
