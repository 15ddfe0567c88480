// The whole page on the linked release: the page's own part unchanged, then its coding context
// with a status line that knows the later releases, then the later releases' section.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "classification/page_whole.h"
#include "classification/search_find.h"
#include "page_recorder.h"

class WholePage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(0, RecordTableLoad(&table, "engtextrecords.dat"));
        ASSERT_EQ(0, SeventhCharLoad(&chars, &table));
        ASSERT_EQ(0, ReleaseChangesLoad(&changes));
    }
    static void TearDownTestSuite() {
        ReleaseChangesFree(&changes);
        SeventhCharFree(&chars);
        RecordTableFree(&table);
    }
    // The page of code, its own part checked against the page without anything added.
    static std::string Page(const char *code, std::string *own) {
        int32_t at = FindRecordByCode(&table, PAGE_KIND_RECORD, code);
        EXPECT_GT(at, 0) << code;
        PageRecorder alone;
        EXPECT_EQ(0, alone.Compose(&table, (uint32_t)at));
        *own = alone.Text();
        std::vector<char> text(TEXT_BUFFER_CHARS + 1), scratch(TEXT_BUFFER_CHARS + 1);
        PageWorkspace ws = {text.data(), scratch.data(), TEXT_BUFFER_CHARS};
        PageRecorder whole;
        PageSources sources = {&table, &chars, &changes, nullptr};
        EXPECT_EQ(0, ComposeWholePage(&sources, PAGE_KIND_RECORD, &table.records[at], &ws,
                                      &whole.links, &whole.sink));
        std::string all = whole.Text();
        EXPECT_EQ(*own, all.substr(0, own->size())) << code;
        return all;
    }
    static RecordTable table;
    static SeventhCharTable chars;
    static ReleaseChanges changes;
};
RecordTable WholePage::table;
SeventhCharTable WholePage::chars;
ReleaseChanges WholePage::changes;

TEST_F(WholePage, CodeSplitLaterSaysSoInItsStatusAndListsItsChangesLast) {
    std::string own;
    std::string page = Page("D13.9", &own);
    EXPECT_EQ(page.substr(own.size(), 126),
              "Billable: a complete code, valid on a claim. In later releases: no longer valid: "
              "a header since FY2024, use a code below it.\n\n");
    size_t higher = page.find("Notes from higher levels:");
    size_t later = page.find("Changes in later releases");
    EXPECT_LT(higher, later);
    EXPECT_NE(page.find("FY2024 added: D13.91 Familial adenomatous polyposis\n", later),
              std::string::npos);
}

TEST_F(WholePage, CodeWhoseCompleteCodesWereDeletedSaysSo) {
    std::string own;
    std::string page = Page("T81.32", &own);
    EXPECT_NE(page.find("needs a 7th character (complete codes below). In later releases its "
                        "complete codes are no longer valid: deleted in FY2025.\n"),
              std::string::npos);
    EXPECT_NE(page.find("FY2025 deleted: T81.32XA "), std::string::npos);
    // A code no later release touched keeps the plain status line.
    page = Page("E11.22", &own);
    EXPECT_EQ(page.substr(own.size(), 46), "Billable: a complete code, valid on a claim.\n\n");
    EXPECT_EQ(page.find("In later releases"), std::string::npos);
}

// "Find" for a code only a later release has says which release added it; other texts that
// find nothing keep the plain line.
TEST_F(WholePage, NothingFoundForACodeAddedLaterNamesItsRelease) {
    char line[NOTHING_FOUND_CHARS + 1];
    EXPECT_STREQ(SearchNothingFoundText(&changes, " d1391 ", line, NOTHING_FOUND_CHARS),
                 "D13.91 is not in this release: added in FY2024, Familial adenomatous polyposis");
    EXPECT_STREQ(SearchNothingFoundText(&changes, "pressure ulcr heel", line, NOTHING_FOUND_CHARS),
                 "No record contains \"pressure ulcr heel\".");
    EXPECT_STREQ(SearchNothingFoundText(&changes, "Q99.99", line, NOTHING_FOUND_CHARS),
                 "No record contains \"Q99.99\".");
}
