// Code reference shapes, code lookup with its tie-breaks, and the index giving the scan's answers.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "foundation/status.h"
#include "record_fixture.h"

TEST(CodeRefLength, RecognisesEveryForm) {
    struct Case {
        const char *text;
        int32_t length;
    } cases[] = {
        {"A00", 3},         {"A00 ", 3},        {"A00)", 3},        {"A00x", 3},
        {"a00", 0},         {"A0", 0},          {"A0B", 0},         {"AB1", 0},
        {"", 0},            {"A00-B9)", ERR_INVDATA},               {"A00-b99", ERR_INVDATA},
        {"A00+B9", ERR_INVDATA},                {"A00+B99)", 7},    {"A00-B99", 7},
        {"A00.123", 6},     {"A00.-", 4},       {"A00+B99.*", 9},   {"A00#", 4},
        {"A00&", 4},        {"A00*", 4},        {"A00.", 4},        {"A00.1", 5},
        {"A00.12", 6},      {"A00.1#", 6},      {"A00.12&", 7},     {"A00.#", 5},
        {"A00+B99.", 8},    {"A00+B99.1", 9},   {"A00+B99.12", 10}, {"A00+B99.12*", 11},
        {"H54.52A1", 6},    {"B08.010", 6},     {"A00-B99.1", 7},   {"A00+B99#", 7},
        {"Z\xC3\xA9", 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CodeRefLength(c.text), c.length) << c.text;
    }
    EXPECT_EQ(CodeRefLength("XA00" + 1), 3) << "nothing is required before the reference";
}

TEST(IsCodeMark, OnlyTheThreeMarks) {
    EXPECT_EQ(IsCodeMark('#'), 1);
    EXPECT_EQ(IsCodeMark('&'), 1);
    EXPECT_EQ(IsCodeMark('*'), 1);
    EXPECT_EQ(IsCodeMark('.'), 0);
    EXPECT_EQ(IsCodeMark(0), 0);
    EXPECT_EQ(IsCodeMark(0x2A + 256), 0);
}

// Both lookups, with and without the index, must agree.
class CodeLookup : public ::testing::TestWithParam<bool> {};

static std::vector<std::string> Codes(size_t n) {
    std::vector<std::string> lines(n);
    lines[0] = "ICD10CM.tabular;";
    for (size_t i = 1; i < n; i++) {
        lines[i] = "Q" + std::to_string(10 + i % 80) + "." + std::to_string(i) + ";t";
    }
    return lines;
}

TEST_P(CodeLookup, ExactBeatsMarkedAndMarkedTakesTheLast) {
    std::vector<std::string> lines = Codes(40);
    lines[10] = "B20&;a";
    lines[20] = "B20*;b";
    {
        TestTable t(lines, GetParam());
        EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, "B20"), 20);
        EXPECT_EQ(CodeExists(&t.table, PAGE_KIND_RECORD, "B20"), 1);
        EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, "B20&"), 10);
        EXPECT_EQ(CodeExists(&t.table, PAGE_KIND_RECORD, "B2"), 0);
    }
    lines[30] = "B20;c";
    lines[35] = "b20;d";
    TestTable t(lines, GetParam());
    EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, "B20"), 30);
    EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, "b20"), 30) << "case is ignored";
}

TEST_P(CodeLookup, RootReachableOnlyByCodeExists) {
    TestTable t(Codes(5), GetParam());
    EXPECT_EQ(CodeExists(&t.table, PAGE_KIND_RECORD, "icd10cm.TABULAR"), 1);
    EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, "ICD10CM.tabular"), ERR_NOTFOUND);
    std::vector<std::string> marked = Codes(5);
    marked[0] = "K50*;root";
    TestTable m(marked, GetParam());
    EXPECT_EQ(CodeExists(&m.table, PAGE_KIND_RECORD, "K50"), 1) << "a marked root counts";
    EXPECT_EQ(FindRecordByCode(&m.table, PAGE_KIND_RECORD, "K50"), ERR_NOTFOUND);
}

TEST_P(CodeLookup, OtherKindsAndSmallTablesHaveNoCodes) {
    TestTable t(Codes(5), GetParam());
    EXPECT_EQ(CodeExists(&t.table, 2, "Q11.1"), 0);
    EXPECT_EQ(FindRecordByCode(&t.table, 2, "Q11.1"), ERR_NOTFOUND);
    EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, "Q11.1"), 1);
    TestTable root({"A00;only the root"}, GetParam());
    EXPECT_EQ(FindRecordByCode(&root.table, PAGE_KIND_RECORD, "A00"), ERR_NOTFOUND);
    RecordTable empty = {};
    EXPECT_EQ(CodeExists(&empty, PAGE_KIND_RECORD, "A00"), 0);
}

TEST_P(CodeLookup, BadArgumentsComeFirst) {
    TestTable t(Codes(5), GetParam());
    EXPECT_EQ(CodeExists(nullptr, PAGE_KIND_RECORD, "A00"), ERR_NULLPTR);
    EXPECT_EQ(CodeExists(&t.table, PAGE_KIND_RECORD, nullptr), ERR_NULLPTR);
    EXPECT_EQ(CodeExists(&t.table, PAGE_KIND_RECORD, ""), ERR_EMPTY);
    EXPECT_EQ(CodeExists(&t.table, 2, ""), ERR_EMPTY);
    EXPECT_EQ(FindRecordByCode(nullptr, PAGE_KIND_RECORD, "A00"), ERR_NULLPTR);
    EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, nullptr), ERR_NULLPTR);
    EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, ""), ERR_EMPTY);
}

TEST_P(CodeLookup, RecordWithoutCodeStopsTheScanBeforeTheAnswer) {
    std::vector<std::string> lines = Codes(12);
    lines[3] = "A00;first";
    lines[8] = "A00;second";
    lines[9] = "C10*;marked";
    TestTable t(lines, false);
    t.table.records[5].fieldOffsets[0] = -1;
    if (GetParam()) {
        ASSERT_EQ(CodeIndexBuild(&t.table), 0);
    }
    EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, "A00"), 3) << "found before record 5";
    EXPECT_EQ(CodeExists(&t.table, PAGE_KIND_RECORD, "A00"), 1);
    EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, "C10"), ERR_INVINDEX);
    EXPECT_EQ(CodeExists(&t.table, PAGE_KIND_RECORD, "C10"), ERR_INVINDEX);
    EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, "Z99"), ERR_INVINDEX);
    EXPECT_EQ(CodeExists(&t.table, PAGE_KIND_RECORD, "ICD10CM.tabular"), 1) << "root comes first";
}

TEST_P(CodeLookup, RootWithoutCodeStopsCodeExistsOnly) {
    TestTable t(Codes(6), false);
    t.table.records[0].fieldOffsets[0] = -1;
    if (GetParam()) {
        ASSERT_EQ(CodeIndexBuild(&t.table), 0);
    }
    EXPECT_EQ(CodeExists(&t.table, PAGE_KIND_RECORD, "Q11.1"), ERR_INVINDEX);
    EXPECT_EQ(FindRecordByCode(&t.table, PAGE_KIND_RECORD, "Q11.1"), 1);
}

TEST_P(CodeLookup, UnendedLastRecordHasNoCode) {
    std::string bytes = RecordLine(0, "ROOT;") + RecordLine(1, "A00;x") +
                        RecordHeader(1, 0xE7, 0, 2, 0) + "B00;cut";
    RecordTable table = {};
    ASSERT_EQ(ParseTextRecords(bytes.data(), (int32_t)bytes.size(), &table.recordCount,
                               &table.records),
              0);
    if (GetParam()) {
        ASSERT_EQ(CodeIndexBuild(&table), 0);
    }
    EXPECT_EQ(FindRecordByCode(&table, PAGE_KIND_RECORD, "A00"), 1);
    EXPECT_EQ(FindRecordByCode(&table, PAGE_KIND_RECORD, "B00"), ERR_INVINDEX);
    RecordTableFree(&table);
}

INSTANTIATE_TEST_SUITE_P(ScanAndIndex, CodeLookup, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Indexed" : "Scanned"; });

TEST(CodeIndex, AnswersExactlyAsTheScanOnRandomTables) {
    std::mt19937 rng(20231001);
    const char *stems[] = {"A00", "a00", "A01", "B20", "b2", "B20.1", "C1", "A0"};
    const char *tails[] = {"", "", "", "#", "&", "*", "**", "x"};
    for (int round = 0; round < 300; round++) {
        size_t n = 1 + rng() % 14;
        std::vector<std::string> lines;
        for (size_t i = 0; i < n; i++) {
            lines.push_back(std::string(stems[rng() % 8]) + tails[rng() % 8] + ";t");
        }
        TestTable scanned(lines, false);
        TestTable indexed(lines, false);
        for (size_t i = 0; i < n; i++) {
            if (rng() % 9 == 0) {
                scanned.table.records[i].fieldOffsets[0] = -1;
                indexed.table.records[i].fieldOffsets[0] = -1;
            }
        }
        ASSERT_EQ(CodeIndexBuild(&indexed.table), 0);
        for (const char *stem : stems) {
            for (const char *tail : tails) {
                std::string code = std::string(stem) + tail;
                for (uint16_t kind : {(uint16_t)1, (uint16_t)2}) {
                    EXPECT_EQ(CodeExists(&indexed.table, kind, code.c_str()),
                              CodeExists(&scanned.table, kind, code.c_str()))
                        << "round " << round << " code " << code;
                    EXPECT_EQ(FindRecordByCode(&indexed.table, kind, code.c_str()),
                              FindRecordByCode(&scanned.table, kind, code.c_str()))
                        << "round " << round << " code " << code;
                }
            }
        }
    }
}

TEST(CodeIndex, IsIgnoredForAnotherArray) {
    TestTable a({"ROOT;", "A00;x"}, true);
    TestTable b({"ROOT;", "B00;x"}, false);
    b.table.codeIndex = a.table.codeIndex;
    EXPECT_EQ(FindRecordByCode(&b.table, PAGE_KIND_RECORD, "B00"), 1);
    EXPECT_EQ(CodeExists(&b.table, PAGE_KIND_RECORD, "A00"), 0);
    b.table.codeIndex = nullptr;
}
