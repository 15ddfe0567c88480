// The payer's view in the window: the Check tab's "Age" and "Inpatient" with the Medicare Code
// Editor's errors and the visit's summaries, and the "Edits and flags:" section of a record page.
#include <gtest/gtest.h>

#include <string>

#include "edits/edits_page.h"
#include "feature_support.h"
#include "ui/check_tab.h"
#include "ui_test_support.h"

namespace {

class CheckPayerTest : public FeatureSuite<CheckPayerTest> {
protected:
    std::string Check(const char *codes, const char *age, bool inpatient) {
        CheckTab *t = w->checkTab;
        SetWindowTextA(t->payer.age.handle, age);
        SendMessageA(t->payer.inpatient.handle, BM_SETCHECK, inpatient ? BST_CHECKED : BST_UNCHECKED,
                     0);
        SetWindowTextA(t->edit.handle, codes);
        SendMessageA(t->button.handle, BM_CLICK, 0, 0);
        PumpMessages();
        return ViewerText(viewer);
    }
};

}  // namespace

TEST_F(CheckPayerTest, AgeInpatientAndTheSummaries) {
    ASSERT_NE(w->checkTab, nullptr);
    SelectTab(w, CHECK_TAB);
    EXPECT_TRUE(IsWindowVisible(w->checkTab->payer.age.handle));
    EXPECT_TRUE(IsWindowVisible(w->checkTab->payer.inpatient.handle));
    const struct {
        const char *codes, *age;
        bool inpatient;
        const char *present;  // a line of the page, or one that must be missing (!)
    } rows[] = {
        {"O80", "70", false, "O80: Maternity diagnosis: patient age 9-64\n"},
        {"O80", "30", false, "!Maternity diagnosis"},
        {"O80", "", false, "!Maternity diagnosis"},
        {"O80", "130", false, "The age is not one the Medicare Code Editor knows (0 to 124)"},
        {"Z00.00 J45.909", "", true, "Z00.00: Unacceptable as principal diagnosis\n"},
        {"Z00.00 J45.909", "", false, "!Unacceptable as principal"},
        {"J96.01 N17.9 E11.9 I50.23", "", false,
         "CC and MCC among the secondary codes (MS-DRG v43): N17.9:CC I50.23:MCC\n"},
        {"E11.9 E11.22", "", false, "HCCs after the V28 hierarchies (CMS-HCC V28): 37\n"},
        {"E11.9", "", false, "The principal diagnosis's CC exclusions are not applied"},
    };
    for (const auto &row : rows) {
        std::string page = Check(row.codes, row.age, row.inpatient);
        bool missing = row.present[0] == '!';
        EXPECT_EQ(page.find(row.present + (missing ? 1 : 0)) == std::string::npos, missing)
            << row.codes << " " << row.age << "\n" << page;
    }
    Check("", "", false);
    SelectTab(w, 0);
}

TEST_F(CheckPayerTest, BillableRecordPagesHaveTheirFlags) {
    ShowCode(w, "E11.22");
    std::string page = ViewerText(viewer);
    size_t at = page.find(EDITS_PAGE_HEADING);
    ASSERT_NE(at, std::string::npos) << page;
    EXPECT_NE(page.find("CMS-HCC V28: HCC 37 Diabetes with Chronic Complications\n", at),
              std::string::npos);
    EXPECT_LT(at, page.find("Index entries:"));
    // After the later releases' section.
    ShowCode(w, "D13.91");
    page = ViewerText(viewer);
    at = page.find(EDITS_PAGE_HEADING);
    ASSERT_NE(at, std::string::npos) << page;
    EXPECT_LT(page.find("Changes in later releases"), at);
    ShowCode(w, "E11");
    EXPECT_EQ(ViewerText(viewer).find(EDITS_PAGE_HEADING), std::string::npos);
}
