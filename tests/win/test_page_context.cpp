// The coding context below a page in the real viewer: S52.121's complete codes and notes from
// higher levels, a real click on a link there, highlighting over the whole page.
#include <gtest/gtest.h>

#include <string>

#include "classification/search.h"
#include "feature_support.h"
#include "ui/record_page.h"
#include "ui_test_support.h"

namespace {

class PageContextTest : public FeatureSuite<PageContextTest> {
protected:
    void SetUp() override {
        FeatureSuite::SetUp();
        if (!HasFatalFailure()) SelectTab(w, 0);
    }
    // A real left click on the character at position at.
    void ClickAt(int32_t at) {
        // Scrolled so that the character's line is near the top of the viewer.
        POINTL p = {};
        POINT scroll = {};
        SendMessageA(viewer, EM_POSFROMCHAR, (WPARAM)&p, at + 1);
        SendMessageA(viewer, EM_GETSCROLLPOS, 0, (LPARAM)&scroll);
        POINT top = {0, scroll.y + p.y - 40};
        SendMessageA(viewer, EM_SETSCROLLPOS, 0, (LPARAM)&top);
        PumpMessages();
        SendMessageA(viewer, EM_POSFROMCHAR, (WPARAM)&p, at + 1);
        RECT client;
        GetClientRect(viewer, &client);
        EXPECT_LT(p.y + 8, client.bottom) << "the link is not in view";
        RealClickOnViewer(w, at + 1);
    }
};

TEST_F(PageContextTest, FractureCodeShowsItsStatusCompleteCodesAndTheNotesAbove) {
    ShowCode(w, "S52.121");
    std::string text = ViewerText(viewer);
    const std::string own = "S52.121 Displaced fracture of head of right radius\n\n"
                            "LongName:\nDisplaced fracture of head of right radius\n\n";
    ASSERT_EQ(text.substr(0, own.size()), own);
    EXPECT_EQ(text.substr(own.size(), 90),
              "Not billable as it stands: needs a 7th character (complete codes below).\n\n"
              "Complete codes:\n");
    int complete = 0;
    for (char c : std::string("ABCDEFGHJKMNPQRS")) {
        std::string line = std::string("\nS52.121") + c + " Displaced fracture of head of right radius, ";
        complete += text.find(line) != std::string::npos;
    }
    EXPECT_EQ(complete, 16);
    EXPECT_NE(text.find("S52.121A Displaced fracture of head of right radius, initial encounter "
                        "for closed fracture\n"),
              std::string::npos);
    size_t higher = text.find("Notes from higher levels:\nS52.1 Fracture of upper end of radius\n");
    ASSERT_NE(higher, std::string::npos);
    EXPECT_LT(higher, text.find("\nS52 Fracture of forearm\n"));
    EXPECT_LT(text.find("\nS52 Fracture of forearm\n"),
              text.find("\nS00-T88 Injury, poisoning and certain other consequences"));
    // The naming line is italic and its code a link.
    int32_t s52 = (int32_t)text.find("\nS52 Fracture of forearm\n") + 1;
    CHARFORMAT2A code = FormatAt(viewer, s52);
    EXPECT_TRUE(code.dwEffects & CFE_LINK);
    EXPECT_TRUE(FormatAt(viewer, s52 + 5).dwEffects & CFE_ITALIC);
    EXPECT_FALSE(FormatAt(viewer, (int32_t)text.find("Excludes1:", s52)).dwEffects & CFE_ITALIC);
}

TEST_F(PageContextTest, RealClickOnALinkOfTheNotesAboveFollowsItWithOneHistoryEntry) {
    ShowCode(w, "S52.121");
    ASSERT_EQ(w->historyLast, 1);
    std::string text = ViewerText(viewer);
    int32_t at = (int32_t)text.find("(S59.2-)");  // S52.1's Excludes2
    ASSERT_GT(at, 0);
    ASSERT_TRUE(FormatAt(viewer, at + 1).dwEffects & CFE_LINK);
    ClickAt(at + 1);
    ASSERT_EQ(ViewerText(viewer).rfind("S59.2 Physeal fracture of lower end of radius", 0), 0u)
        << ViewerText(viewer).substr(0, 60);
    EXPECT_EQ(w->historyLast, 2);
    EXPECT_EQ(w->history[2].index, RecordOf(w, "S59.2"));
}

TEST_F(PageContextTest, SearchWordIsMarkedInTheContextToo) {
    SearchRecords(&w->search, &w->table, "Gustilo", nullptr, nullptr);
    ShowCode(w, "S52.121");
    std::string text = ViewerText(viewer);
    size_t at = text.find("Gustilo");
    ASSERT_NE(at, std::string::npos);
    EXPECT_GT(at, text.find("Notes from higher levels"));
    EXPECT_EQ(FormatAt(viewer, (int32_t)at).crBackColor, HIGHLIGHT_BACK_COLOR);
}

TEST_F(PageContextTest, BillableCodeAndHeaderSayWhatTheyAre) {
    ShowCode(w, "E11.22");
    // E11.2 has no notes of its own; E11's use-additional note binds E11.22.
    std::string e11 = ViewerText(viewer);
    EXPECT_NE(e11.find("\nBillable: a complete code, valid on a claim.\n\n"
                       "Notes from higher levels:\nE11 Type 2 diabetes mellitus\nIncludes:\n"),
              std::string::npos);
    EXPECT_NE(e11.find("UseAdditional:\ncode to identify control using: \ninsulin (Z79.4) \n"),
              std::string::npos);
    ShowCode(w, "N18");
    EXPECT_NE(ViewerText(viewer).find("\nNot billable: a header with 10 codes below it.\n"),
              std::string::npos);
}

}  // namespace
