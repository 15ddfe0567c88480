// The classification data linked into the programs: loading, lookup, search and pages on the
// FY2023 release as our converter writes it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "classification/record_table.h"
#include "classification/search.h"
#include "foundation/status.h"
#include "page_recorder.h"
#include "record_fixture.h"

class RealData : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(RecordTableLoad(&table, "engtextrecords.dat"), 0); }
    static void TearDownTestSuite() { RecordTableFree(&table); }

    static std::vector<std::string> SearchCodes(const char *word) {
        SearchState state = {};
        EXPECT_EQ(SearchRecords(&state, &table, word, nullptr, nullptr), 0);
        std::vector<std::string> codes;
        for (int32_t k = 0; k < state.hitCount; k++) {
            codes.push_back(RecordField(&table.records[state.hits[k].index], FIELD_CODE));
        }
        ClearSearchResults(&state);
        return codes;
    }

    static uint32_t Position(const char *code) {
        int32_t p = FindRecordByCode(&table, PAGE_KIND_RECORD, code);
        EXPECT_GT(p, 0) << code;
        return p > 0 ? (uint32_t)p : 0;
    }

    static RecordTable table;
};

RecordTable RealData::table = {};

TEST_F(RealData, LoadsEveryRecordOfTheRelease) {
    ASSERT_EQ(table.recordCount, 46188u);
    EXPECT_NE(table.codeIndex, nullptr);
    const TextRecord *root = &table.records[0];
    EXPECT_STREQ(RecordField(root, FIELD_CODE), "ICD10CM.tabular");
    EXPECT_STREQ(RecordField(root, FIELD_TITLE), "");
    EXPECT_EQ(root->parent, 0xFFFFFFFFu);
    uint32_t perLevel[8] = {0};
    for (uint32_t i = 0; i < table.recordCount; i++) {
        const TextRecord *r = &table.records[i];
        ASSERT_EQ(r->index, i);
        ASSERT_NE(r->text, nullptr);
        ASSERT_LT(r->level, 8);
        perLevel[r->level]++;
        if (i > 0) {
            ASSERT_LT(r->parent, i) << "a parent comes before its children";
        }
    }
    EXPECT_EQ(perLevel[0], 1u);
    EXPECT_EQ(perLevel[1], 22u);
    EXPECT_EQ(perLevel[2], 296u);
    EXPECT_EQ(table.records[3].flags & RECORD_FLAG_LEAF, 0);
    EXPECT_EQ(table.records[4].flags & RECORD_FLAG_LEAF, RECORD_FLAG_LEAF);
}

TEST_F(RealData, MissingEntryIsNotFound) {
    uint32_t count = 7;
    TextRecord *records = nullptr;
    LogCapture log;
    EXPECT_EQ(LoadTextRecords("no-such-entry.dat", &count, &records), ERR_NOTFOUND);
    EXPECT_NE(log.Text().find("failed to load text record data: ERR_NOTFOUND"), std::string::npos)
        << log.Text();
    EXPECT_EQ(count, 7u);
    EXPECT_EQ(records, nullptr);
}

TEST_F(RealData, CodesResolve) {
    EXPECT_EQ(CodeExists(&table, PAGE_KIND_RECORD, "A00-B99"), 1);
    EXPECT_EQ(FindRecordByCode(&table, PAGE_KIND_RECORD, "A00-B99"), 1);
    EXPECT_EQ(FindRecordByCode(&table, PAGE_KIND_RECORD, "A00.0"), 4);
    EXPECT_EQ(FindRecordByCode(&table, PAGE_KIND_RECORD, "a00.0"), 4);
    EXPECT_EQ(CodeExists(&table, PAGE_KIND_RECORD, "D10"), 1);
    EXPECT_EQ(CodeExists(&table, PAGE_KIND_RECORD, "B12"), 0);
    EXPECT_EQ(CodeExists(&table, PAGE_KIND_RECORD, "Z16."), 0) << "no code ends in a dot";
    EXPECT_EQ(FindRecordByCode(&table, PAGE_KIND_RECORD, "T07-T88"), 36208);
    EXPECT_EQ(CodeExists(&table, PAGE_KIND_RECORD, "ICD10CM.tabular"), 1);
    EXPECT_EQ(FindRecordByCode(&table, PAGE_KIND_RECORD, "ICD10CM.tabular"), ERR_NOTFOUND);
    EXPECT_EQ(CodeExists(&table, 2, "A00"), 0);
    EXPECT_EQ(FindRecordByCode(&table, 2, "A00"), ERR_NOTFOUND);
}

TEST_F(RealData, IndexAnswersAsTheScan) {
    RecordTable scanned = table;
    scanned.codeIndex = nullptr;
    for (uint32_t i = 0; i < table.recordCount; i += 199) {
        std::string code = RecordField(&table.records[i], FIELD_CODE);
        std::string lower = code;
        for (char &c : lower) {
            c = (char)tolower((unsigned char)c);
        }
        for (const std::string &q : {code, lower, code + "#", code.substr(0, code.size() - 1)}) {
            if (q.empty()) {
                continue;
            }
            ASSERT_EQ(FindRecordByCode(&table, PAGE_KIND_RECORD, q.c_str()),
                      FindRecordByCode(&scanned, PAGE_KIND_RECORD, q.c_str()))
                << q;
            ASSERT_EQ(CodeExists(&table, PAGE_KIND_RECORD, q.c_str()),
                      CodeExists(&scanned, PAGE_KIND_RECORD, q.c_str()))
                << q;
        }
    }
}

TEST_F(RealData, CholeraIsFoundInFiveRecords) {
    std::vector<std::string> expected = {"A00", "A00.0", "A00.1", "A00.9", "Y38.6"};
    EXPECT_EQ(SearchCodes("cholera"), expected);
    EXPECT_EQ(SearchCodes("CHOLERA"), expected);
}

TEST_F(RealData, CodeSearchFindsTheCodeItsSubcodesAndTheNotesNamingThem) {
    EXPECT_EQ(SearchCodes("A01.0"),
              (std::vector<std::string>{"A01.0", "A01.00", "A01.01", "A01.02", "A01.03", "A01.04",
                                        "A01.05", "A01.09", "I39", "J17", "M01", "M49"}));
}

TEST_F(RealData, WordFoundNowhereGivesNoHits) {
    EXPECT_TRUE(SearchCodes("qqxyzzy").empty());
}

TEST_F(RealData, CholeraSubtypePage) {
    PageRecorder page;
    ASSERT_EQ(page.Compose(&table, Position("A00.0")), 0);
    EXPECT_EQ(page.Text(),
              "A00.0 Cholera due to Vibrio cholerae 01, biovar cholerae\n\n"
              "LongName:\nCholera due to Vibrio cholerae 01, biovar cholerae\n\n"
              "Notes:\nClassical cholera \n\n\n");
    EXPECT_EQ(page.links.linkCount, 0);
}

TEST_F(RealData, ViralHepatitisBlockPageLinks) {
    PageRecorder page;
    ASSERT_EQ(page.Compose(&table, Position("B15-B19")), 0);
    EXPECT_EQ(page.LinkCodes(), (std::vector<std::string>{"B15-B19", "B94.2", "B25.1", "B00.81"}));
    EXPECT_NE(page.Text().find("Excludes1:\nsequelae of viral hepatitis (B94.2) \n\n\n"),
              std::string::npos);
}

TEST_F(RealData, PercentInTitleIsKept) {
    PageRecorder page;
    ASSERT_EQ(page.Compose(&table, Position("T31.9")), 0);
    EXPECT_EQ(page.steps[2].text, "T31.9 Burns involving 90% or more of body surface\n\n");
}

TEST_F(RealData, ResistanceCodeReferenceIsUnderlined) {
    PageRecorder page;
    ASSERT_EQ(page.Compose(&table, Position("A00-B99")), 0);
    std::string text = page.Text();
    EXPECT_NE(text.find("(Z16.-)"), std::string::npos);
    for (uint16_t i = 0; i < page.links.linkCount; i++) {
        EXPECT_STRNE(page.links.links[i].code, "Z16.");
    }
    bool underlined = false;
    for (size_t k = 0; k + 1 < page.steps.size(); k++) {
        underlined |= page.steps[k].kind == PageStep::EFFECTS && page.steps[k].c == 1 &&
                      page.steps[k + 1].text == "Z16.";
    }
    EXPECT_TRUE(underlined);
}
