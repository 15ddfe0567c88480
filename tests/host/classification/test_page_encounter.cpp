// The Check page: codes as links with status and title, findings in plain words with errors
// before reminders and the record that says so as a link, and the list copied.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/page_encounter.h"
#include "encounter_fixture.h"
#include "page_recorder.h"

namespace {

std::string Compose(const std::string &codes, PageRecorder *page) {
    Encounter *e = &RealReleaseGet()->encounter;
    page->steps.clear();
    EXPECT_EQ(0, EncounterRead(e, codes.data(), codes.size()));
    EXPECT_EQ(0, EncounterCheck(e));
    std::vector<char> text(TEXT_BUFFER_CHARS + 1), scratch(TEXT_BUFFER_CHARS + 1);
    PageWorkspace ws = {text.data(), scratch.data(), TEXT_BUFFER_CHARS};
    EXPECT_EQ(0, ComposeEncounterPage(e, &ws, &page->links, &page->sink));
    return page->Text();
}

}  // namespace

TEST(PageEncounter, CodesThenErrorsThenWarningsThenRemindersEachWithItsRecord) {
    PageRecorder page;
    EXPECT_EQ("Check of 4 codes\n\n"
              "E11.22 billable: Type 2 diabetes mellitus with diabetic chronic kidney disease\n"
              "E10.9 billable: Type 1 diabetes mellitus without complications\n"
              "E11.22 billable: Type 2 diabetes mellitus with diabetic chronic kidney disease\n"
              "XYZ unknown\n\n"
              "Errors:\n"
              "XYZ is not a code of this release.\n\n"
              "E11.22 is listed more than once.\n\n"
              "Excludes1: E11.22 and E10.9 may not be coded together \x97 type 1 diabetes mellitus "
              "(E10.-)\nNote of E11 Type 2 diabetes mellitus\n\n"
              "Excludes1: E10.9 and E11.22 may not be coded together \x97 type 2 diabetes mellitus "
              "(E11.-)\nNote of E10 Type 1 diabetes mellitus\n\n"
              "Warnings:\n"
              "Warning: E11.22 \x97 use additional code to identify stage of chronic kidney disease "
              "(N18.1-N18.6)\nNote of E11.22 Type 2 diabetes mellitus with diabetic chronic kidney "
              "disease\n\n"
              "Reminders:\n"
              "Reminder: E11.22 \x97 use additional code to identify control using: insulin (Z79.4); "
              "oral antidiabetic drugs (Z79.84); oral hypoglycemic drugs (Z79.84)\nNote of E11 Type 2 "
              "diabetes mellitus\n\n",
              Compose("E11.22 E10.9 e1122 XYZ", &page));
    EXPECT_EQ(std::vector<std::string>({"E11.22", "E10.9", "E11.22", "E11", "E10", "E11.22", "E11"}),
              page.LinkCodes());
    EXPECT_EQ(PageStep::FONT, page.steps[0].kind);
    EXPECT_EQ(PAGE_HEADING_POINTS, page.steps[0].a);
}

TEST(PageEncounter, EmptyListAndNoFindingsSaySo) {
    PageRecorder page;
    EXPECT_EQ("Check of 0 codes\n\nType or paste the codes of one visit, the first-listed code "
              "first, then press Check.\n",
              Compose(" ,; ", &page));
    EXPECT_EQ("Check of 2 codes\n\nE85.1 billable: Neuropathic heredofamilial amyloidosis\n"
              "G63 billable: Polyneuropathy in diseases classified elsewhere\n\n"
              "No findings: the notes of these codes raise nothing against them.\n",
              Compose("E85.1 G63", &page));
    char list[64];
    EXPECT_STREQ("E85.1\r\nG63", EncounterCodeList(&RealReleaseGet()->encounter, "\r\n", list, 63));
    EXPECT_STREQ("E85", EncounterCodeList(&RealReleaseGet()->encounter, "\r\n", list, 3));
}
