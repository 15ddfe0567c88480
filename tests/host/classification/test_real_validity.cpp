// Validity on the linked FY2023 release: every billable code the release has, the codes the
// coders' examples name, and every complete code read back through the check.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "classification/code_refs.h"
#include "classification/code_validity.h"
#include "classification/page_ref.h"
#include "classification/seventh_chars.h"

class RealValidity : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(0, RecordTableLoad(&table, "engtextrecords.dat"));
        ASSERT_EQ(0, SeventhCharLoad(&chars, &table));
    }
    static void TearDownTestSuite() {
        SeventhCharFree(&chars);
        RecordTableFree(&table);
    }
    static CodeCheckResult Check(const char *typed) {
        CodeCheckResult r;
        EXPECT_EQ(0, CodeCheck(&table, &chars, typed, &r));
        return r;
    }
    static RecordTable table;
    static SeventhCharTable chars;
};
RecordTable RealValidity::table;
SeventhCharTable RealValidity::chars;

// FY2023 has 73,639 valid codes: the leaves without 7th characters (the empty blocks that group
// other blocks are no codes) plus every complete code, less the 76 that S06's note rules out.
// Each complete code is also written out, padded, and checked back.
TEST_F(RealValidity, ReleaseHasItsPublishedNumberOfBillableCodes) {
    EXPECT_EQ(507, chars.defCount);
    int32_t billable = 0;
    int32_t leavesNeedingSeventh = 0;
    for (uint32_t i = 1; i < table.recordCount; i++) {
        const TextRecord *r = &table.records[i];
        if (!(r->flags & RECORD_FLAG_LEAF) || strchr(RecordField(r, FIELD_CODE), '-')) continue;
        const SeventhCharDef *def = SeventhCharDefFor(&chars, (int32_t)i);
        if (def == nullptr) {
            billable++;
            continue;
        }
        leavesNeedingSeventh++;
        std::string padded;
        for (const char *p = RecordField(r, FIELD_CODE); *p != '\0'; p++) {
            if (*p != '.') padded += *p;
        }
        while (padded.size() < 6) padded += 'X';
        for (int32_t k = 0; k < def->charCount; k++) {
            char c = chars.chars[def->firstChar + k].character;
            CodeCheckResult check = Check((padded + c).c_str());
            bool allowed = SeventhCharAllowed(&chars, &table, (int32_t)i, c) != 0;
            EXPECT_EQ(allowed ? CODE_BILLABLE : CODE_UNKNOWN, check.validity) << padded << c;
            if (allowed) {
                billable++;
                EXPECT_EQ((int32_t)i, check.record);
            }
        }
    }
    EXPECT_EQ(73639, billable);
    EXPECT_GT(leavesNeedingSeventh, 10000);
}

TEST_F(RealValidity, CodersExamples) {
    EXPECT_EQ(CODE_BILLABLE, Check("E11.22").validity);
    EXPECT_EQ(CODE_BILLABLE, Check("N18.1").validity);
    EXPECT_EQ(CODE_NOT_BILLABLE, Check("N18").validity);
    EXPECT_EQ(CODE_NOT_BILLABLE, Check("S52.121").validity);
    EXPECT_EQ(CODE_BILLABLE, Check("S52121A").validity);
    EXPECT_EQ(CODE_BILLABLE, Check("T36.0X1A").validity);
    EXPECT_EQ(CODE_BILLABLE, Check("S00.00XA").validity);
    EXPECT_EQ(CODE_UNKNOWN, Check("S00.00A").validity);
    EXPECT_EQ(CODE_BILLABLE, Check("S06.1X7A").validity);
    EXPECT_EQ(CODE_UNKNOWN, Check("S06.1X7D").validity);
    EXPECT_EQ(CODE_KIND_CHAPTER, Check("A00-B99").kind);
    EXPECT_EQ(CODE_KIND_BLOCK, Check("A00-A09").kind);
    char title[512];
    CodeCheckResult r = Check("S52.121A");
    EXPECT_STREQ("Displaced fracture of head of right radius, initial encounter for closed fracture",
                 CodeCheckTitle(&table, &r, title, 511));
}
