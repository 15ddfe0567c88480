// Record pages as the viewer shows them: text, fonts, links, underlined unknown codes, the link
// table, search-word highlighting, tree selection and the history entry of each page.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "classification/search.h"
#include "feature_support.h"
#include "foundation/status.h"
#include "ui/record_page.h"
#include "ui/rich_text_view.h"
#include "ui/tree_items.h"
#include "ui_test_support.h"

namespace {

class RecordPageTest : public FeatureSuite<RecordPageTest> {};

TEST_F(RecordPageTest, CholeraSubcodePageReadsHeadingCaptionsAndItemEnds) {
    ShowCode(w, "A00.0");
    // The page's own part, then the coding context (whose links come after the page's own).
    const std::string own = "A00.0 Cholera due to Vibrio cholerae 01, biovar cholerae\n\n"
                            "LongName:\nCholera due to Vibrio cholerae 01, biovar cholerae\n\n"
                            "Notes:\nClassical cholera \n\n\n";
    std::string text = ViewerText(viewer);
    EXPECT_EQ(text.substr(0, own.size()), own);
    EXPECT_EQ(text.substr(own.size(), 46), "Billable: a complete code, valid on a claim.\n\n");
    ASSERT_GE(w->links.linkCount, 1);
    EXPECT_STREQ(w->links.links[0].code, "A00-B99");
}

TEST_F(RecordPageTest, HeadingIsArial18BoldAndBodyArial16Normal) {
    ShowCode(w, "A00.0");
    CHARFORMAT2A heading = FormatAt(viewer, 0);
    EXPECT_STREQ(heading.szFaceName, "Arial");
    EXPECT_EQ(heading.yHeight, 360);
    EXPECT_TRUE(heading.dwEffects & CFE_BOLD);
    std::string text = ViewerText(viewer);
    CHARFORMAT2A caption = FormatAt(viewer, (int32_t)text.find("LongName"));
    EXPECT_STREQ(caption.szFaceName, "Arial");
    EXPECT_EQ(caption.yHeight, 320);
    EXPECT_FALSE(caption.dwEffects & CFE_BOLD);
    CHARFORMAT2A note = FormatAt(viewer, (int32_t)text.find("Classical"));
    EXPECT_EQ(note.yHeight, 320);
    EXPECT_FALSE(note.dwEffects & (CFE_BOLD | CFE_LINK | CFE_UNDERLINE));
}

TEST_F(RecordPageTest, ExistingCodesAreBlueUnderlinedLinksAndRecordedInPageOrder) {
    ShowCode(w, "B15-B19");
    std::string text = ViewerText(viewer);
    size_t at = text.find("(B94.2)");
    ASSERT_NE(at, std::string::npos);
    CHARFORMAT2A link = FormatAt(viewer, (int32_t)at + 1);
    EXPECT_TRUE(link.dwEffects & CFE_LINK);
    EXPECT_TRUE(link.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(link.crTextColor, 0xFF0000u);
    CHARFORMAT2A bracket = FormatAt(viewer, (int32_t)at);
    EXPECT_FALSE(bracket.dwEffects & CFE_LINK);
    EXPECT_EQ(FormatAt(viewer, (int32_t)at + 6).dwEffects & CFE_LINK, 0u);  // the ')'
    ASSERT_GE(w->links.linkCount, 4);
    const char *codes[] = {"B15-B19", "B94.2", "B25.1", "B00.81"};
    for (int i = 0; i < 4; i++) {
        EXPECT_STREQ(w->links.links[i].code, codes[i]);
        EXPECT_EQ(w->links.links[i].kind, PAGE_KIND_RECORD);
    }
}

TEST_F(RecordPageTest, EveryLineAfterTheHeadingIsInTheBodyFont) {
    ShowCode(w, "T80-T88");
    std::string text = ViewerText(viewer);
    size_t headingEnd = text.find('\n');
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\n') continue;
        CHARFORMAT2A f = FormatAt(viewer, (int32_t)i);
        ASSERT_STREQ(f.szFaceName, "Arial") << "at " << i;
        ASSERT_EQ(f.yHeight, i < headingEnd ? 360 : 320) << "at " << i << ": "
                                                          << text.substr(i, 20);
        if (i > headingEnd && !(f.dwEffects & (CFE_LINK | CFE_UNDERLINE)))
            ASSERT_FALSE(f.dwEffects & CFE_BOLD) << "at " << i;
    }
}

TEST_F(RecordPageTest, CodeThatDoesNotExistIsUnderlinedButNoLink) {
    ShowCode(w, "A00-B99");
    std::string text = ViewerText(viewer);
    size_t at = text.find("Z16.-");
    ASSERT_NE(at, std::string::npos);
    CHARFORMAT2A code = FormatAt(viewer, (int32_t)at);
    EXPECT_TRUE(code.dwEffects & CFE_UNDERLINE);
    EXPECT_FALSE(code.dwEffects & CFE_LINK);
    CHARFORMAT2A dash = FormatAt(viewer, (int32_t)at + 4);
    EXPECT_FALSE(dash.dwEffects & (CFE_UNDERLINE | CFE_LINK));
    for (int i = 0; i < w->links.linkCount; i++) EXPECT_STRNE(w->links.links[i].code, "Z16.");
}

TEST_F(RecordPageTest, PercentSignsInATitleAreShownAsWritten) {
    ShowCode(w, "T31.9");
    std::string text = ViewerText(viewer);
    EXPECT_EQ(text.rfind("T31.9 Burns involving 90% or more of body surface\n\n", 0), 0u);
    EXPECT_NE(text.find("LongName:\nBurns involving 90% or more of body surface\n\n"),
              std::string::npos);
}

TEST_F(RecordPageTest, SearchWordMatchesGetHighlightColoursAndKeepTheirLetters) {
    SearchRecords(&w->search, &w->table, "cholera", nullptr, nullptr);
    ShowCode(w, "A00");
    std::string text = ViewerText(viewer);
    EXPECT_EQ(text.rfind("A00 Cholera\n\n", 0), 0u);  // the capital stays
    std::string lower = text;
    for (char &c : lower) c = (char)tolower((unsigned char)c);
    int matches = 0;
    for (size_t at = lower.find("cholera"); at != std::string::npos;
         at = lower.find("cholera", at + 7)) {
        for (int k = 0; k < 7; k++) {
            CHARFORMAT2A f = FormatAt(viewer, (int32_t)(at + k));
            EXPECT_EQ(f.crTextColor, HIGHLIGHT_TEXT_COLOR) << "at " << at + k;
            EXPECT_EQ(f.crBackColor, HIGHLIGHT_BACK_COLOR) << "at " << at + k;
        }
        if (at + 7 < text.size() && lower[at + 7] != 'c')
            EXPECT_NE(FormatAt(viewer, (int32_t)(at + 7)).crBackColor, HIGHLIGHT_BACK_COLOR);
        matches++;
    }
    EXPECT_GE(matches, 2);
    CHARFORMAT2A plain = FormatAt(viewer, (int32_t)text.find("LongName"));
    EXPECT_NE(plain.crBackColor, HIGHLIGHT_BACK_COLOR);
    EXPECT_EQ(ViewerText(viewer), text);  // reading formats changed nothing
}

TEST_F(RecordPageTest, NothingIsHighlightedWithTheCheckBoxClearOrBeforeAnySearch) {
    ShowCode(w, "A00");
    EXPECT_NE(FormatAt(viewer, 4).crBackColor, HIGHLIGHT_BACK_COLOR);
    SearchRecords(&w->search, &w->table, "cholera", nullptr, nullptr);
    SendMessageA(w->showWordCheck.handle, BM_SETCHECK, BST_UNCHECKED, 0);
    ShowCode(w, "A00.1");
    EXPECT_NE(FormatAt(viewer, 6).crBackColor, HIGHLIGHT_BACK_COLOR);
}

TEST_F(RecordPageTest, TreeSelectionShowsThePageAndPushesItOnce) {
    int32_t r = RecordOf(w, "A01.0");
    ASSERT_GT(r, 0);
    SendMessageA(w->tree.handle, TVM_SELECTITEM, TVGN_CARET, (LPARAM)TreeItemFor(w, (uint32_t)r));
    EXPECT_EQ(ViewerText(viewer).rfind("A01.0 Typhoid fever", 0), 0u);
    EXPECT_EQ(w->historyLast, 1);
    EXPECT_EQ(w->history[1].index, r);
    ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[r], w->table.records, 1);
    EXPECT_EQ(w->historyLast, 1);
    ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[r + 1], w->table.records, 0);
    EXPECT_EQ(w->historyLast, 1);
}

TEST_F(RecordPageTest, PageEndsWithTheFocusInTheViewerAtTheTop) {
    ShowCode(w, "B15-B19");
    SetFocus(w->tree.handle);
    SendMessageA(viewer, WM_VSCROLL, SB_BOTTOM, 0);
    ShowCode(w, "A00-B99");
    EXPECT_EQ(GetFocus(), viewer);
    EXPECT_EQ(SendMessageA(viewer, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(RecordPageTest, PageIsPaintedBeforeTheMessageLoopRunsAgain) {
    // The tree's repaint of its selection must not hold up the page.
    ShowCode(w, "A00");
    int32_t r = RecordOf(w, "B15-B19");
    ASSERT_EQ(ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[r], w->table.records, 1), 0);
    EXPECT_FALSE(GetUpdateRect(viewer, nullptr, FALSE));
    EXPECT_TRUE(ViewerText(viewer).rfind("B15-B19 ", 0) == 0);
}

TEST_F(RecordPageTest, PageStartsAtTheTopEvenWhenTheLastMatchIsFarDown) {
    // "blind-loop" occurs once, in the last lines of this long page: the highlighting leaves the
    // caret there, yet the page must open at its top with the viewer focused.
    SearchRecords(&w->search, &w->table, "blind-loop", nullptr, nullptr);
    SetFocus(w->tree.handle);
    ShowCode(w, "T80-T88");
    EXPECT_EQ(GetFocus(), viewer);
    EXPECT_EQ(SendMessageA(viewer, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    UpdateWindow(w->window);  // painting does not move it either
    EXPECT_EQ(SendMessageA(viewer, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    size_t at = ViewerText(viewer).find("blind-loop");
    ASSERT_NE(at, std::string::npos);
    RECT client;
    GetClientRect(viewer, &client);
    POINTL start = {};
    SendMessageA(viewer, EM_POSFROMCHAR, (WPARAM)&start, (LPARAM)at);
    EXPECT_GT(start.y, client.bottom);  // the match is below the first screen
    EXPECT_EQ(FormatAt(viewer, (int32_t)at).crBackColor, HIGHLIGHT_BACK_COLOR);
}

TEST_F(RecordPageTest, FailuresLeaveViewerAndLinksAsTheyWere) {
    ShowCode(w, "B15-B19");
    std::string before = ViewerText(viewer);
    uint16_t linksBefore = w->links.linkCount;
    const TextRecord *r = &w->table.records[1];
    EXPECT_EQ(ShowRecordPage(nullptr, PAGE_KIND_RECORD, r, w->table.records, 1), ERR_NULLPTR);
    EXPECT_EQ(ShowRecordPage(w, PAGE_KIND_RECORD, nullptr, w->table.records, 1), ERR_NULLPTR);
    EXPECT_EQ(ShowRecordPage(w, PAGE_KIND_RECORD, r, nullptr, 1), ERR_NULLPTR);
    RichTextView *view = w->textView;
    w->textView = nullptr;
    EXPECT_EQ(ShowRecordPage(w, PAGE_KIND_RECORD, r, w->table.records, 1), ERR_NULLPTRIN);
    w->textView = view;
    EXPECT_EQ(ViewerText(viewer), before);
    EXPECT_EQ(w->links.linkCount, linksBefore);
    EXPECT_EQ(w->historyLast, 1);
}

}  // namespace
