// The "Check" tab: a list typed into its edit and checked by Ctrl+Enter or the button, the page
// with the examples, the note's record followed by its link, "<" back to the Check page,
// and "Copy" with the normalised codes.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "classification/page_ref.h"
#include "feature_support.h"
#include "ui/check_tab.h"
#include "ui/index_tab.h"
#include "ui/navigation.h"
#include "ui_test_support.h"

namespace {

class CheckTabTest : public FeatureSuite<CheckTabTest> {
protected:
    void SetUp() override {
        FeatureSuite::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_NE(w->checkTab, nullptr);
        edit = w->checkTab->edit.handle;
        SelectTab(w, CHECK_TAB);
    }
    void TearDown() override { SelectTab(w, 0); }
    // Types text into the empty edit, key by key, as the user does.
    void Type(const std::string &text) {
        SetWindowTextA(edit, "");
        for (char c : text) SendMessageA(edit, WM_CHAR, (WPARAM)(unsigned char)c, 0);
        PumpMessages();
    }
    void Check(const std::string &text) {
        Type(text);
        SendMessageA(w->checkTab->button.handle, BM_CLICK, 0, 0);
        PumpMessages();
    }
    HWND edit = nullptr;
};

}  // namespace

TEST_F(CheckTabTest, TheExamplesReadAsTheRulesSay) {
    struct Example {
        const char *codes;
        const char *present;  // a sentence of the page, or what is missing from it (!)
    } examples[] = {
        {"E11.9 E10.9", "Excludes1: E11.9 and E10.9 may not be coded together"},
        {"E11.9 E10.9", "Excludes1: E10.9 and E11.9 may not be coded together"},
        {"G63, E85.1", "G63 is a manifestation code and may not be listed first."},
        {"E85.1\rG63", "!Errors:"},
        {"E85.1\rG63", "!Reminder"},
        {"e1122", "Warnings:\nWarning: E11.22 \x97 use additional code to identify stage of "
                  "chronic kidney disease (N18.1-N18.6)"},
        {"e1122", "Reminders:\nReminder: E11.22 \x97 use additional code to identify control"},
        {"E11.9 E11.65", "Errors:\nGuidelines: E11.9 with E11.65 \x97 A code \"without "
                         "complications\""},
        {"E11.9 E11.65", "Official Guidelines, Section I.C.4.a\n"},
        {"E11.9 G63", "!Excludes1"},
        {"E11.22 N18.4", "!(N18.1-N18.6)"},
    };
    for (const Example &e : examples) {
        Check(e.codes);
        std::string page = ViewerText(viewer);
        EXPECT_EQ(0u, page.rfind("Check of ", 0)) << page.substr(0, 80);
        bool absent = e.present[0] == '!';
        EXPECT_EQ(!absent, page.find(e.present + (absent ? 1 : 0)) != std::string::npos)
            << e.codes << ": " << e.present << "\n" << page;
    }
}

TEST_F(CheckTabTest, AGuidelineFindingsSectionIsALinkToIt) {
    Check("I10 I12.9");
    std::string page = ViewerText(viewer);
    const std::string said = "Official Guidelines, Section I.C.9.a\n";
    size_t at = page.find(said);
    ASSERT_NE(at, std::string::npos) << page;
    at += said.size() - 8;
    EXPECT_TRUE(FormatAt(viewer, (int32_t)at).dwEffects & CFE_LINK);
    SendLinkPress(w, (int32_t)at, (int32_t)at + 7);
    PumpMessages();
    EXPECT_EQ(ViewerText(viewer).rfind("I.C.9.a  Hypertension", 0), 0u)
        << ViewerText(viewer).substr(0, 80);
    EXPECT_EQ(0, NavigateBack(w));
    PumpMessages();
    EXPECT_EQ(ViewerText(viewer).rfind("Check of 2 codes", 0), 0u);
}

TEST_F(CheckTabTest, CtrlEnterChecksAndTheNotesRecordIsALinkBackToTheCheck) {
    Type("E11.9 E10.9");
    SendMessageA(edit, WM_CHAR, 10, 0);  // Ctrl+Enter
    PumpMessages();
    std::string page = ViewerText(viewer);
    ASSERT_EQ(0u, page.rfind("Check of 2 codes\n\nE11.9 billable: Type 2 diabetes", 0)) << page;
    EXPECT_EQ(PAGE_KIND_CHECK, w->history[w->historyPos].kind);
    size_t at = page.find("Note of E11 ") + 8;
    ASSERT_TRUE(FormatAt(viewer, (int32_t)at).dwEffects & CFE_LINK);
    RealClickOnViewer(w, (int32_t)at + 1);
    EXPECT_EQ(0u, ViewerText(viewer).rfind("E11 Type 2 diabetes mellitus\n", 0));
    EXPECT_EQ(0, NavigateBack(w));
    EXPECT_EQ(page, ViewerText(viewer));
    // A complete code's link leads to its leaf's page, headed as the complete code.
    Check("S52.121A E11.9");
    RealClickOnViewer(w, (int32_t)ViewerText(viewer).find("S52.121A") + 1);
    const std::string leaf = ViewerText(viewer);
    EXPECT_EQ(0u, leaf.rfind("S52.121A Displaced fracture of head of right radius, initial "
                             "encounter for closed fracture\n\nBillable: a complete code", 0))
        << leaf.substr(0, 120);
    EXPECT_NE(leaf.find("\nS52.121 Displaced fracture"), std::string::npos);
}

TEST_F(CheckTabTest, HelpTextExplainsTheTab) {
    std::string help = w->helpText;
    for (const char *words : {"Check: the \"Check\" tab", "Excludes1 has exceptions that the coder",
                              "Reminders are reminders", "Ctrl+Enter"})
        EXPECT_NE(std::string::npos, help.find(words)) << words;
}

// The Find tab's nothing-found line belongs to that tab alone.
TEST_F(CheckTabTest, ShowsOnlyItsOwnControls) {
    w->nothingFoundOn = 1;
    SelectTab(w, 1);
    SelectTab(w, CHECK_TAB);
    w->nothingFoundOn = 0;
    EXPECT_TRUE(IsWindowVisible(edit));
    for (HWND other : {w->tree.handle, w->list.handle, w->searchEdit.handle, w->nothingFound.handle,
                       w->indexTab->edit.handle})
        EXPECT_FALSE(IsWindowVisible(other));
}

TEST_F(CheckTabTest, CopyPutsTheNormalisedCodesOnTheClipboard) {
    Type("e119, s52121a;G63");
    SendMessageA(w->checkTab->copy.handle, BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ("E11.9\r\nS52.121A\r\nG63", ReadClipboardText());
}
