// Validity of typed codes: billable leaves, headers, 7th characters with their placeholder and
// the notes' exclusions, every way of typing a code, and what is unknown.
#include <gtest/gtest.h>

#include <string>

#include "classification/code_validity.h"
#include "foundation/status.h"
#include "tree_fixture.h"

namespace {

struct Checked {
    CodeValidity validity;
    CodeKind kind;
    std::string code;
    std::string title;
    int32_t record;
};

Checked Check(const TreeTable &t, const std::string &typed) {
    CodeCheckResult r;
    EXPECT_EQ(0, CodeCheck(&t.table, &t.chars, typed.c_str(), &r));
    char title[512];
    CodeCheckTitle(&t.table, &r, title, (int32_t)sizeof title - 1);
    return {r.validity, r.kind, r.code, title, r.record};
}

}  // namespace

class CodeValidityTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, t.status); }
    TreeTable t;
};

TEST_F(CodeValidityTest, LeafWithoutSeventhCharactersIsBillableHowEverTyped) {
    for (const char *typed : {"E11.22", "E1122", "e1122", "e11.22", "  E11.22\t", "E11.22\r\n"}) {
        Checked c = Check(t, typed);
        EXPECT_EQ(CODE_BILLABLE, c.validity) << typed;
        EXPECT_EQ(CODE_KIND_LEAF, c.kind) << typed;
        EXPECT_EQ("E11.22", c.code) << typed;
        EXPECT_EQ("Type 2 diabetes mellitus with diabetic chronic kidney disease", c.title);
        EXPECT_EQ(14, c.record);
    }
}

TEST_F(CodeValidityTest, ChaptersBlocksAndHeadersAreNotBillable) {
    EXPECT_EQ(CODE_KIND_HEADER, Check(t, "E11").kind);
    EXPECT_EQ(CODE_NOT_BILLABLE, Check(t, "E11").validity);
    EXPECT_EQ(CODE_NOT_BILLABLE, Check(t, "e112").validity);
    Checked chapter = Check(t, "s00-t88");
    EXPECT_EQ(CODE_KIND_CHAPTER, chapter.kind);
    EXPECT_EQ(CODE_NOT_BILLABLE, chapter.validity);
    EXPECT_EQ("S00-T88", chapter.code);
    EXPECT_EQ(CODE_KIND_BLOCK, Check(t, "E08-E13").kind);
    EXPECT_EQ(CODE_NOT_BILLABLE, Check(t, "E08-E13").validity);
}

TEST_F(CodeValidityTest, LeafThatNeedsASeventhCharacterIsNotBillableWithoutIt) {
    Checked c = Check(t, "S06.0X1");
    EXPECT_EQ(CODE_NOT_BILLABLE, c.validity);
    EXPECT_EQ(CODE_KIND_LEAF, c.kind);
    EXPECT_EQ("Concussion with loss of consciousness", c.title);
    // Placeholders in place, the 7th character missing.
    c = Check(t, "S09.9XX");
    EXPECT_EQ(CODE_NOT_BILLABLE, c.validity);
    EXPECT_EQ(9, c.record);
}

TEST_F(CodeValidityTest, CompleteCodeIsBillableWithTheComposedTitle) {
    for (const char *typed : {"S06.0X1D", "S060X1D", "s06.0x1d", " s060x1d "}) {
        Checked c = Check(t, typed);
        EXPECT_EQ(CODE_BILLABLE, c.validity) << typed;
        EXPECT_EQ(CODE_KIND_COMPLETE, c.kind) << typed;
        EXPECT_EQ("S06.0X1D", c.code);
        EXPECT_EQ("Concussion with loss of consciousness, subsequent encounter", c.title);
        EXPECT_EQ(6, c.record);
    }
}

TEST_F(CodeValidityTest, ShortCodeIsPaddedWithPlaceholdersBeforeItsSeventhCharacter) {
    EXPECT_EQ(CODE_BILLABLE, Check(t, "S09.9XXA").validity);
    EXPECT_EQ("Unspecified injury of head, initial encounter", Check(t, "S099XXA").title);
    // Missing, misplaced or extra placeholders.
    for (const char *typed : {"S09.9A", "S099XA", "S09.9XA", "S09.X9XA", "S09.9XXXA", "S09XXXXA"}) {
        EXPECT_EQ(CODE_UNKNOWN, Check(t, typed).validity) << typed;
    }
}

TEST_F(CodeValidityTest, CharacterNotDefinedOrExcludedByTheNotesIsUnknown) {
    EXPECT_EQ(CODE_UNKNOWN, Check(t, "S06.0X1Z").validity);
    EXPECT_EQ(CODE_UNKNOWN, Check(t, "S09.9XXD").validity);  // S09 defines only A
    // 6th character 7: D and S do not apply, A does.
    EXPECT_EQ(CODE_BILLABLE, Check(t, "S06.0X7A").validity);
    EXPECT_EQ(CODE_UNKNOWN, Check(t, "S06.0X7D").validity);
    EXPECT_EQ(CODE_UNKNOWN, Check(t, "S06.0X7S").validity);
    EXPECT_EQ(CODE_BILLABLE, Check(t, "S06.0X1S").validity);
}

TEST_F(CodeValidityTest, WhatNamesNoCodeIsUnknownAndKeepsItsNormalForm) {
    EXPECT_EQ(CODE_UNKNOWN, Check(t, "E11.99").validity);
    EXPECT_EQ("E11.99", Check(t, "e1199").code);
    EXPECT_EQ(-1, Check(t, "E11.99").record);
    EXPECT_EQ("", Check(t, "E11.99").title);
    // A 7th character on a code that takes none, on a header, and on a block.
    EXPECT_EQ(CODE_UNKNOWN, Check(t, "E11.22A").validity);
    EXPECT_EQ(CODE_UNKNOWN, Check(t, "S06.0XXA").validity);
    EXPECT_EQ(CODE_UNKNOWN, Check(t, "S06XXXA").validity);
    for (const char *typed : {"", "   ", "E1", "E11.2.2", "E1.122", "E11 22", "%s%s", "\xC9" "11",
                              "S06.0X1AA", "ICD10CM.tabular"}) {
        EXPECT_EQ(CODE_UNKNOWN, Check(t, typed).validity) << typed;
    }
    std::string longCode(5000, 'E');
    Checked c = Check(t, longCode);
    EXPECT_EQ(CODE_UNKNOWN, c.validity);
    EXPECT_EQ((size_t)CODE_CHECK_CHARS, c.code.size());
}

TEST_F(CodeValidityTest, WithoutSeventhCharactersNoCodeNeedsOne) {
    CodeCheckResult r;
    ASSERT_EQ(0, CodeCheck(&t.table, nullptr, "S06.0X1", &r));
    EXPECT_EQ(CODE_BILLABLE, r.validity);
    ASSERT_EQ(0, CodeCheck(&t.table, nullptr, "S06.0X1A", &r));
    EXPECT_EQ(CODE_UNKNOWN, r.validity);
    EXPECT_EQ(ERR_NULLPTR, CodeCheck(nullptr, nullptr, "E11", &r));
    EXPECT_EQ(ERR_NULLPTR, CodeCheck(&t.table, nullptr, nullptr, &r));
    EXPECT_EQ(ERR_NULLPTR, CodeCheck(&t.table, nullptr, "E11", nullptr));
}

TEST(CodeNormalise, NormalFormAndItsWholeLength) {
    char out[16];
    EXPECT_EQ(8, CodeNormalise(" s52121a ", out, 15));
    EXPECT_STREQ("S52.121A", out);
    EXPECT_EQ(3, CodeNormalise("e11", out, 15));
    EXPECT_STREQ("E11", out);
    EXPECT_EQ(7, CodeNormalise("a00-b99", out, 15));
    EXPECT_STREQ("A00-B99", out);
    // A dot elsewhere leaves the text as typed, upper-cased.
    EXPECT_EQ(6, CodeNormalise("e1.122", out, 15));
    EXPECT_STREQ("E1.122", out);
    // Cut at the capacity, whole length returned.
    EXPECT_EQ(10, CodeNormalise("abcdefghi", out, 4));
    EXPECT_STREQ("ABC.", out);
    EXPECT_EQ(0, CodeNormalise(" \t ", out, 15));
    EXPECT_STREQ("", out);
    EXPECT_EQ(ERR_NULLPTR, CodeNormalise(nullptr, out, 15));
}

TEST(RecordDescendants, CountsEveryLevelBelowAndStopsAtTheNextSibling) {
    TreeTable t;
    ASSERT_EQ(0, t.status);
    EXPECT_EQ(15, RecordDescendantCount(&t.table, 0));
    EXPECT_EQ(8, RecordDescendantCount(&t.table, 1));
    EXPECT_EQ(4, RecordDescendantCount(&t.table, 3));
    EXPECT_EQ(3, RecordDescendantCount(&t.table, 12));
    EXPECT_EQ(0, RecordDescendantCount(&t.table, 15));
    EXPECT_EQ(0, RecordDescendantCount(&t.table, 16));
    EXPECT_EQ(0, RecordDescendantCount(&t.table, -1));
}
