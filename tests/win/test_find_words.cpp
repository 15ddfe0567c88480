// "Find" beyond the phrase: a typed code opens its page at once, an all-words search lists its
// hits and pages mark each word where it begins a word, and the nothing-found line comes and goes.
#include <gtest/gtest.h>

#include <string>

#include "classification/search.h"
#include "feature_support.h"
#include "ui/features.h"
#include "ui/record_page.h"
#include "ui_test_support.h"

namespace {

class FindWordsTest : public FeatureSuite<FindWordsTest> {
protected:
    void SetUp() override {
        FeatureSuite::SetUp();
        if (HasFatalFailure()) return;
        list = w->list.handle;
        SelectTab(w, 1);
    }
    void Find(const char *text) {
        SetWindowTextA(w->searchEdit.handle, text);
        SendMessageA(w->findButton.handle, BM_CLICK, 0, 0);
        PumpMessages();
    }
    int32_t Rows() { return (int32_t)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }
    // Opens the hit in row as the list's activation does: the focused row is the one opened.
    void Open(int32_t row) {
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)&state);
        NMITEMACTIVATE activate = {};
        activate.iItem = row;
        SearchOnItemActivate(w, &activate);
    }
    std::string Cell(int32_t row, int32_t column) {
        char text[300] = {};
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
        return text;
    }
    int32_t RowOf(const char *code) {
        for (int32_t row = 0; row < Rows(); row++)
            if (Cell(row, 1) == code) return row;
        return -1;
    }
    std::string NothingFoundLine() {
        char text[300] = {};
        GetWindowTextA(w->nothingFound.handle, text, sizeof text);
        return text;
    }
    bool Marked(int32_t pos) { return FormatAt(viewer, pos).crBackColor == HIGHLIGHT_BACK_COLOR; }
    HWND list = nullptr;
};

TEST_F(FindWordsTest, TypedCodeOpensItsPageWithOneHistoryEntry) {
    uint16_t lastBefore = w->historyLast;
    Find("e1122");
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 1), "E11.22");
    EXPECT_EQ(ViewerText(viewer).rfind("E11.22 Type 2 diabetes mellitus", 0), 0u);
    EXPECT_EQ(w->historyLast, lastBefore + 1);
    EXPECT_EQ(w->history[w->historyPos].index, RecordOf(w, "E11.22"));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 0, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_TRUE(Marked(0)) << "the page marks the code it was opened for";
    EXPECT_FALSE(IsWindowVisible(w->nothingFound.handle));

    // Enter does the same and leaves the focus in the page, not in the list.
    SetWindowTextA(w->searchEdit.handle, " S52121A ");
    SetFocus(w->searchEdit.handle);
    SendMessageA(w->searchEdit.handle, WM_CHAR, '\r', 0);
    PumpMessages();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 1), "S52.121");
    // A complete code's page is headed as the code, its record's page after.
    EXPECT_EQ(ViewerText(viewer).rfind("S52.121A Displaced fracture of head of right radius, "
                                       "initial encounter for closed fracture\n\nBillable: ",
                                       0),
              0u);
    EXPECT_EQ(w->historyLast, lastBefore + 2);
    EXPECT_EQ(GetFocus(), viewer);
}

TEST_F(FindWordsTest, AllWordsListsItsHitsAndThePageMarksEachWord) {
    Find("kidney diabetes");
    EXPECT_EQ(w->search.rule, SEARCH_RULE_ALL_WORDS);
    EXPECT_EQ(Rows(), w->search.hitCount);
    int32_t row = RowOf("E11.22");
    ASSERT_GE(row, 0);
    Open(row);
    std::string text = ViewerText(viewer);
    ASSERT_EQ(text.rfind("E11.22 Type 2 diabetes mellitus with diabetic chronic kidney", 0), 0u);
    size_t diabetes = text.find("diabetes");
    size_t kidney = text.find("kidney");
    EXPECT_TRUE(Marked((int32_t)diabetes) && Marked((int32_t)(diabetes + 7)));
    EXPECT_TRUE(Marked((int32_t)kidney) && Marked((int32_t)(kidney + 5)));
    EXPECT_FALSE(Marked((int32_t)text.find("diabetic"))) << "not a word of the search";

    // A word is marked where it begins a word only: in "E11.22" the '2' after the dot is,
    // the one after it is not.
    Find("diabetes 2");
    row = RowOf("E11.22");
    ASSERT_GE(row, 0);
    Open(row);
    EXPECT_TRUE(Marked(4));
    EXPECT_FALSE(Marked(5));
    EXPECT_TRUE(Marked(12)) << "Type 2";

    // A phrase with hits is marked as the phrase again.
    Find("cholera");
    EXPECT_EQ(Rows(), 5);
    Open(0);
    EXPECT_TRUE(Marked(4));
}

TEST_F(FindWordsTest, NothingFoundLineAppearsAndGoesAway) {
    EXPECT_FALSE(IsWindowVisible(w->nothingFound.handle));
    RECT full = {};
    GetWindowRect(list, &full);
    Find("pressure ulcr heel");
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(IsWindowVisible(w->nothingFound.handle));
    EXPECT_EQ(NothingFoundLine(), "No record contains \"pressure ulcr heel\".");
    RECT shorter = {};
    GetWindowRect(list, &shorter);
    EXPECT_LT(shorter.bottom, full.bottom) << "the line has a place of its own";

    SelectTab(w, 0);
    EXPECT_FALSE(IsWindowVisible(w->nothingFound.handle)) << "only in the Find tab";
    SelectTab(w, 1);
    EXPECT_TRUE(IsWindowVisible(w->nothingFound.handle));

    Find("cholera");
    EXPECT_EQ(Rows(), 5);
    EXPECT_FALSE(IsWindowVisible(w->nothingFound.handle));
    RECT back = {};
    GetWindowRect(list, &back);
    EXPECT_EQ(back.bottom, full.bottom);
    Find("qqqzzzxxx yyy");
    EXPECT_EQ(NothingFoundLine(), "No record contains \"qqqzzzxxx yyy\".");
    std::string huge;
    while (huge.size() < 32000) huge += "qqz ";
    Find(huge.c_str());
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(NothingFoundLine().rfind("No record contains \"qqz qqz", 0), 0u);
    EXPECT_EQ(NothingFoundLine().size(), 145u) << "cut, not overrun";
    EXPECT_EQ(NothingFoundLine().substr(140), "...\".");
    Find("ab");
    EXPECT_TRUE(IsWindowVisible(w->nothingFound.handle)) << "a text too short searches nothing";
    Find("typhoid");
    EXPECT_FALSE(IsWindowVisible(w->nothingFound.handle));
}

}  // namespace
