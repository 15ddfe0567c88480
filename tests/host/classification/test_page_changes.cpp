// The later releases' section of a page, the Find line and the status line, on the FY2023
// records and the changes linked into the programs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/code_refs.h"
#include "classification/page_changes.h"
#include "classification/page_ref.h"
#include "classification/record_table.h"
#include "foundation/status.h"
#include "page_recorder.h"

class PageChanges : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(RecordTableLoad(&table, "engtextrecords.dat"), 0);
        ASSERT_EQ(ReleaseChangesLoad(&changes), 0);
    }
    static void TearDownTestSuite() {
        ReleaseChangesFree(&changes);
        RecordTableFree(&table);
    }

    // Composes the record's page, then the section; returns the section's status, and leaves
    // the whole page in page and the section's own text in section.
    int32_t Compose(const char *code, int32_t capacity = TEXT_BUFFER_CHARS) {
        int32_t position = FindRecordByCode(&table, PAGE_KIND_RECORD, code);
        EXPECT_GT(position, 0) << code;
        if (position <= 0) return ERR_NOTFOUND;
        EXPECT_EQ(page.Compose(&table, (uint32_t)position), 0);
        pageText = page.Text();
        stepsBefore = page.steps.size();
        linksBefore = page.links.linkCount;
        std::vector<char> text((size_t)capacity + 1), scratch((size_t)capacity + 1);
        PageWorkspace ws = {text.data(), scratch.data(), capacity};
        int32_t status = ComposeReleaseChanges(&table, &changes, PAGE_KIND_RECORD,
                                               &table.records[position], &ws, &page.links,
                                               &page.sink);
        section = page.Text().substr(pageText.size());
        return status;
    }

    static RecordTable table;
    static ReleaseChanges changes;
    PageRecorder page;
    std::string pageText, section;
    size_t stepsBefore = 0;
    uint16_t linksBefore = 0;
};

RecordTable PageChanges::table = {};
ReleaseChanges PageChanges::changes = {};

TEST_F(PageChanges, SplitCodeShowsTheSplitAndTheCodesAddedBelowIt) {
    ASSERT_EQ(Compose("D13.9"), 3);
    EXPECT_EQ(section,
              PAGE_CHANGES_HEADING
              "FY2024 split: D13.9 Benign neoplasm of ill-defined sites within the digestive "
              "system (a header now: use a code below it)\n"
              "FY2024 added: D13.91 Familial adenomatous polyposis\n"
              "FY2024 added: D13.99 Benign neoplasm of ill-defined sites within the digestive "
              "system\n\n");
    // D13.9 is a record, so a link after the page's own; the new codes are not in this release.
    ASSERT_EQ(page.links.linkCount, linksBefore + 1);
    EXPECT_STREQ(page.links.links[linksBefore].code, "D13.9");
    bool linked = false, underlined = false;
    for (size_t k = stepsBefore; k + 1 < page.steps.size(); k++) {
        linked |= page.steps[k].kind == PageStep::LINK && page.steps[k].a == 1 &&
                  page.steps[k + 1].text == "D13.9";
        underlined |= page.steps[k].kind == PageStep::EFFECTS && page.steps[k].c == 1 &&
                      page.steps[k + 1].text == "D13.91";
    }
    EXPECT_TRUE(linked);
    EXPECT_TRUE(underlined);
}

TEST_F(PageChanges, CodeWithSeventhCharactersShowsItsCompleteCodesAndTheNewCodesBelowIt) {
    ASSERT_EQ(Compose("T81.32"), 19);
    EXPECT_EQ(section.rfind(PAGE_CHANGES_HEADING
                            "FY2025 added: T81.320 Disruption or dehiscence of gastrointestinal "
                            "tract anastomosis, repair, or closure (a header: not billable)\n"
                            "FY2025 added: T81.320A Disruption or dehiscence of gastrointestinal "
                            "tract anastomosis, repair, or closure, initial encounter\n",
                            0),
              0u)
        << section;
    EXPECT_NE(section.find("FY2025 deleted: T81.32XA Disruption of internal operation (surgical) "
                           "wound, not elsewhere classified, initial encounter\n"),
              std::string::npos);
    EXPECT_NE(section.find("FY2025 deleted: T81.32XS "), std::string::npos);
    EXPECT_NE(section.find("FY2025 added: T81.329 Deep disruption or dehiscence of operation "
                           "wound, unspecified (a header: not billable)\n"),
              std::string::npos);
    EXPECT_EQ(page.links.linkCount, linksBefore) << "none of these codes is a record";
}

TEST_F(PageChanges, ChangesBelongToTheDeepestRecordAboveThem) {
    // D13's codes below D13.9 are on D13.9's page; T74 gets the April 2023 codes, whose
    // categories it has no record of.
    EXPECT_EQ(Compose("D13"), 0);
    EXPECT_EQ(section, "");
    EXPECT_EQ(page.steps.size(), stepsBefore) << "nothing written, not even a font";
    EXPECT_EQ(Compose("T81.3"), 0);
    int32_t t74 = Compose("T74");
    EXPECT_GT(t74, 0);
    EXPECT_EQ(section.rfind(PAGE_CHANGES_HEADING
                            "April 2023 added: T74.A Financial abuse, confirmed (a header: not "
                            "billable)\n",
                            0),
              0u)
        << section;
    EXPECT_EQ(Compose("A00.0"), 0);
    EXPECT_EQ(Compose("A00-B99"), 0) << "a chapter is no code";
    EXPECT_EQ(Compose("A77.41"), 1);
    EXPECT_EQ(section, PAGE_CHANGES_HEADING
              "FY2025 revised: A77.41 Ehrlichiosis chaffeensis [E. chaffeensis]\n\n");
}

TEST_F(PageChanges, NarrowWorkspaceCutsNothing) {
    ASSERT_EQ(Compose("D13.9", 7), 3);
    EXPECT_NE(section.find("FY2024 added: D13.91 Familial adenomatous polyposis\n"),
              std::string::npos)
        << section;
}

TEST_F(PageChanges, BadArguments) {
    std::vector<char> text(10), scratch(10);
    PageWorkspace ws = {text.data(), scratch.data(), 9};
    const TextRecord *record = &table.records[4];
    EXPECT_EQ(ComposeReleaseChanges(&table, nullptr, PAGE_KIND_RECORD, record, &ws, &page.links,
                                    &page.sink),
              ERR_NULLPTR);
    EXPECT_EQ(ComposeReleaseChanges(&table, &changes, PAGE_KIND_RECORD, nullptr, &ws, &page.links,
                                    &page.sink),
              ERR_NULLPTR);
    ws.textCapacity = 0;
    EXPECT_EQ(ComposeReleaseChanges(&table, &changes, PAGE_KIND_RECORD, record, &ws, &page.links,
                                    &page.sink),
              ERR_INVPARAM);
    ws.textCapacity = 9;
    EXPECT_EQ(ComposeReleaseChanges(&table, &changes, 2, record, &ws, &page.links, &page.sink), 0);
}

TEST_F(PageChanges, FindLineNamesTheReleaseThatAddedTheCode) {
    char line[200];
    EXPECT_EQ(ReleaseChangesFindLine(&changes, "d13.91", line, 199), 78);
    EXPECT_STREQ(line, "D13.91 is not in this release: added in FY2024, Familial adenomatous "
                       "polyposis");
    EXPECT_GT(ReleaseChangesFindLine(&changes, "T74A1XA", line, 199), 0);
    EXPECT_STREQ(line, "T74.A1XA is not in this release: added in April 2023, Adult financial "
                       "abuse, confirmed, initial encounter");
    // Added in FY2024 and retitled in FY2025: the title as it is now.
    EXPECT_GT(ReleaseChangesFindLine(&changes, "G93.42", line, 199), 0);
    EXPECT_EQ(std::string(line).rfind("G93.42 is not in this release: added in FY2024, ", 0), 0u);
    EXPECT_EQ(ReleaseChangesFindLine(&changes, "D13.91", line, 20), 20);
    EXPECT_STREQ(line, "D13.91 is not in thi");
    EXPECT_EQ(ReleaseChangesFindLine(&changes, "A00.0", line, 199), ERR_NOTFOUND);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(ReleaseChangesFindLine(&changes, "T81.32XA", line, 199), ERR_NOTFOUND)
        << "deleted, never added";
    EXPECT_EQ(ReleaseChangesFindLine(&changes, "D13-D19", line, 199), ERR_INVVALUE);
    EXPECT_EQ(ReleaseChangesFindLine(&changes, "D13.91", line, 0), ERR_INVPARAM);
}

TEST_F(PageChanges, StatusLineSaysWhenACodeIsNoLongerValid) {
    char line[100];
    EXPECT_EQ(ReleaseChangesStatusLine(&changes, "D13.9", line, 99), 1);
    EXPECT_STREQ(line, "no longer valid: a header since FY2024, use a code below it");
    EXPECT_EQ(ReleaseChangesStatusLine(&changes, "T81.32XA", line, 99), 1);
    EXPECT_STREQ(line, "no longer valid: deleted in FY2025");
    EXPECT_EQ(ReleaseChangesStatusLine(&changes, "A77.41", line, 99), 0) << "only retitled";
    EXPECT_STREQ(line, "");
    EXPECT_EQ(ReleaseChangesStatusLine(&changes, "D13.91", line, 99), 0);
    EXPECT_EQ(ReleaseChangesStatusLine(&changes, "A00.0", line, 99), 0);
    EXPECT_EQ(ReleaseChangesStatusLine(&changes, "", line, 99), ERR_INVVALUE);
}
