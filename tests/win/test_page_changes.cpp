// The later releases on the pages the viewer shows: the section after the page's own notes,
// its links and underlined codes, and pages that get none.
#include <gtest/gtest.h>

#include <string>

#include "classification/page_changes.h"
#include "feature_support.h"
#include "ui/browser_window.h"
#include "ui_test_support.h"

namespace {

class PageChangesTest : public FeatureSuite<PageChangesTest> {};

TEST_F(PageChangesTest, SplitCodeEndsWithItsLaterChanges) {
    ShowCode(w, "D13.9");
    std::string text = ViewerText(viewer);
    size_t at = text.find(PAGE_CHANGES_HEADING);
    ASSERT_NE(at, std::string::npos) << text;
    // Only the page's guidelines' sections and index entries follow.
    const size_t entries = text.find("Guidelines:\n", at);
    ASSERT_NE(entries, std::string::npos);
    EXPECT_EQ(text.substr(at, entries - at),
              PAGE_CHANGES_HEADING
              "FY2024 split: D13.9 Benign neoplasm of ill-defined sites within the digestive "
              "system (a header now: use a code below it)\n\n");
    size_t own = text.find("D13.9 Benign", at);
    EXPECT_TRUE(FormatAt(viewer, (int32_t)own).dwEffects & CFE_LINK);
    EXPECT_FALSE(FormatAt(viewer, (int32_t)at).dwEffects & (CFE_BOLD | CFE_LINK | CFE_UNDERLINE));
    ASSERT_GT(w->links.linkCount, 0);
    EXPECT_STREQ(w->links.links[w->links.linkCount - 1].code, "D13.9");
    // The codes added below it are records now, each with its change on its own page.
    ShowCode(w, "D13.91");
    text = ViewerText(viewer);
    size_t added = text.find("FY2024 added: D13.91 Familial adenomatous polyposis\n");
    ASSERT_NE(added, std::string::npos) << text;
    EXPECT_TRUE(FormatAt(viewer, (int32_t)added + 14).dwEffects & CFE_LINK);
}

TEST_F(PageChangesTest, CompleteCodesAndNewCodesBelowShowOnTheirCodesPage) {
    ShowCode(w, "T81.32");
    std::string text = ViewerText(viewer);
    EXPECT_NE(text.find("FY2025 deleted: T81.32XA Disruption of internal operation (surgical) "
                        "wound, not elsewhere classified, initial encounter\n"),
              std::string::npos)
        << text;
    ShowCode(w, "T81.329");
    EXPECT_NE(ViewerText(viewer).find("FY2025 added: T81.329 "), std::string::npos);
}

TEST_F(PageChangesTest, PagesWithoutLaterChangesHaveNoSection) {
    for (const char *code : {"A00.0", "D13", "A00-B99"}) {
        ShowCode(w, code);
        EXPECT_EQ(ViewerText(viewer).find("Changes in later releases"), std::string::npos) << code;
    }
}

}  // namespace
