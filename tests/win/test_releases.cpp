// The newest release in the window: codes added since the records' release are tree items under
// their parents, a deleted code has no item but its page opens by code and says so, and the Check
// tab's date of service checks a visit against the release in effect that day.
#include <gtest/gtest.h>

#include <string>

#include "classification/page_ref.h"
#include "feature_support.h"
#include "ui/check_tab.h"
#include "ui/search_ui.h"
#include "ui/record_page.h"
#include "ui/tree_items.h"
#include "ui_test_support.h"

namespace {

class ReleasesWindowTest : public FeatureSuite<ReleasesWindowTest> {};

}  // namespace

TEST_F(ReleasesWindowTest, AddedCodesAreTreeItemsAndDeletedOnesAreNot) {
    HWND tree = w->tree.handle;
    int32_t d139 = RecordOf(w, "D13.9"), d1391 = RecordOf(w, "D13.91");
    ASSERT_GT(d1391, d139);
    HTREEITEM item = TreeItemFor(w, (uint32_t)d1391);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ((HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)item),
              (HTREEITEM)w->table.records[d139].treeItem);
    EXPECT_EQ(ItemText(tree, item).rfind("D13.91", 0), 0u) << ItemText(tree, item);
    // Its page has the notes of the levels above it and the release that added it.
    ASSERT_EQ(GoToCode(w, PAGE_KIND_RECORD, "D13.91"), 0);
    std::string page = ViewerText(viewer);
    EXPECT_EQ(page.rfind("D13.91 Familial adenomatous polyposis\n", 0), 0u) << page;
    EXPECT_NE(page.find("Notes from higher levels:"), std::string::npos);
    EXPECT_NE(page.find("FY2024 added: D13.91"), std::string::npos);

    int32_t s23420 = RecordOf(w, "S23.420");
    ASSERT_GT(s23420, 0);
    EXPECT_EQ(TreeItemFor(w, (uint32_t)s23420), nullptr);
    HTREEITEM above = TreeItemFor(w, w->table.records[s23420].parent);
    ASSERT_NE(above, nullptr);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, (LPARAM)above);
    int32_t children = 0;
    for (HTREEITEM c = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)above);
         c; c = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)c), children++)
        EXPECT_EQ(ItemText(tree, c).rfind("S23.420 ", 0), std::string::npos);
    EXPECT_GT(children, 0);
    ASSERT_EQ(GoToCode(w, PAGE_KIND_RECORD, "S23.420"), 0);
    EXPECT_EQ(ViewerText(viewer).rfind("Deleted in FY2027: valid for services to September 30, "
                                       "2026.\n\nS23.420 Sprain",
                                       0),
              0u)
        << ViewerText(viewer);
}

TEST_F(ReleasesWindowTest, DateOfServiceChoosesTheRelease) {
    ASSERT_NE(w->checkTab, nullptr);
    CheckTab *t = w->checkTab;
    ASSERT_NE(t->date.picker.handle, nullptr);
    SelectTab(w, CHECK_TAB);
    EXPECT_TRUE(IsWindowVisible(t->date.picker.handle));
    EXPECT_EQ(CheckDateRead(&t->date), 0) << "empty by default";
    const struct {
        int32_t date;
        const char *present;
    } rows[] = {
        {0, "S23.420A deleted"},
        {0, "Checked against ICD-10-CM FY2027, in effect from October 1, 2026 to September 30, "
            "2027."},
        {20260315, "S23.420A billable: Sprain of sternoclavicular"},
        {20260315, "Checked against ICD-10-CM FY2026"},
        {20221115, "D13.91 not yet valid"},
        {20221115, "D13.91 is not valid on the date of service: not yet valid: added in FY2024"},
    };
    for (const auto &row : rows) {
        ASSERT_EQ(CheckDateSet(&t->date, row.date), 0) << row.date;
        EXPECT_EQ(CheckDateRead(&t->date), row.date);
        SetWindowTextA(t->edit.handle, "S23.420A D13.91");
        SendMessageA(t->button.handle, BM_CLICK, 0, 0);
        PumpMessages();
        std::string page = ViewerText(viewer);
        EXPECT_NE(page.find(row.present), std::string::npos) << row.date << "\n" << page;
    }
    // The picker keeps to the days the releases cover.
    EXPECT_NE(CheckDateSet(&t->date, 20271001), 0);
    EXPECT_NE(CheckDateSet(&t->date, 20220930), 0);
    CheckDateSet(&t->date, 0);
    SelectTab(w, 0);
}

// A complete code typed in "Find" is headed as itself, billable, before its leaf's page; a code
// that is a record opens its own page as before.
TEST_F(ReleasesWindowTest, ACompleteCodeTypedIsHeadedAsItself) {
    ASSERT_EQ(SearchInWindow(w, "t464x5a"), 0);
    PumpMessages();
    EXPECT_EQ(ViewerText(viewer).rfind("T46.4X5A Adverse effect of angiotensin-converting-enzyme "
                                       "inhibitors, initial encounter\n\nBillable: a complete "
                                       "code, valid on a claim.\n\nT46.4X5 Adverse effect",
                                       0),
              0u)
        << ViewerText(viewer).substr(0, 300);
    ASSERT_EQ(SearchInWindow(w, "E1122"), 0);
    PumpMessages();
    EXPECT_EQ(ViewerText(viewer).rfind("E11.22 Type 2 diabetes mellitus with diabetic chronic "
                                       "kidney disease\n",
                                       0),
              0u);
    // Back to it: the leaf's page, as the history holds records.
    SelectTab(w, 0);
}
