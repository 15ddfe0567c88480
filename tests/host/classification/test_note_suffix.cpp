// Suffixes after a note's references: each written form restricts the codes as a coder reads
// it, one written only in words restricts nothing, and a suffix after several references of an
// item is each one's.
#include <gtest/gtest.h>

#include <string>

#include "classification/note_refs.h"
#include "classification/note_suffix.h"
#include "record_fixture.h"

TEST(NoteSuffix, EachWrittenFormRestrictsAsWritten) {
    const struct {
        const char *with;  // the text after "with "
        const char *code;  // dot left out
        int32_t matches;
    } rows[] = {
        {".42)", "E1142", 1},                 {".42)", "E119", 0},
        {".51-.52)", "E0852", 1},             {".51-.52)", "E0859", 0},
        {".61-)", "E11618", 1},               {".61-)", "E1165", 0},
        {".14, .24, .94)", "F1094", 1},       {".14, .24, .94)", "F1019", 0},
        {".15. .25, .95)", "F1125", 1},       {".620)", "E11621", 0},
        {"5th character 9)", "V0119XA", 1},   {"5th character 9)", "V0110XA", 0},
        {"fifth or sixth character 5)", "T360X5A", 1},
        {"fifth or sixth character 5)", "T360X1A", 0},
        {"fifth or six character 5)", "T425X5A", 1},
        {"fifth or sixth character 1-4 or 6)", "T360X3A", 1},
        {"fifth or sixth character 1-4 or 6)", "T360X6A", 1},
        {"fifth or sixth character 1-4 or 6)", "T360X5A", 0},
        {"7th character B or C)", "S42001C", 1}, {"7th character B or C)", "S42001A", 0},
        {"fifth-character 1)", "A3791", 1},   {"fifth-character 1)", "A3790", 0},
        {"fifth to sixth characters 51)", "F11151", 1},
        {"fifth to sixth characters 51)", "F11150", 0},
        {"final characters -20)", "I69320", 1}, {"final characters -20)", "I69321", 0},
        {"5th character .6)", "F1026", 1},    {"5th character .6)", "F1027", 0},
        // Words only: no restriction.
        {"open fracture 7th character)", "S52001A", 1},
        {"fifth or sixth character to indicate intent)", "T510X1A", 1},
        {"appropriate 7th character", "S72001A", 1},
    };
    for (const auto &row : rows) {
        NoteSuffix suffix;
        NoteSuffixAt(row.with, &suffix);
        EXPECT_EQ(row.matches, NoteSuffixMatches(&suffix, row.code)) << row.with << " " << row.code;
    }
}

TEST(NoteSuffix, ASuffixIsEachReferenceOfItsItemsAndNoOther) {
    TestTable t({"A00-Z99;Root",
                 "F99;Test;;;amnestic disorder (F10, F13, F19 with .26, .96)./whooping cough with "
                 "pneumonia (A37 with fifth-character 1)./tobacco (F17)./"});
    ASSERT_EQ(0, t.status);
    NoteRefCache cache = {};
    ASSERT_EQ(0, NoteRefCacheInit(&cache, &t.table));
    const NoteRef *refs = nullptr;
    int32_t count = 0;
    ASSERT_EQ(0, NoteRefCacheGet(&cache, 1, FIELD_EXCLUDES1, &refs, &count));
    ASSERT_EQ(5, count);
    const struct {
        int32_t ref;
        const char *code;
        int32_t covered;
    } rows[] = {
        {0, "F1026", 1}, {0, "F1020", 0}, {1, "F1396", 1}, {2, "F1926", 1}, {2, "F1929", 0},
        {3, "A3791", 1}, {3, "A3790", 0}, {4, "F17210", 1},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.covered, NoteRefCovers(&refs[row.ref], row.code)) << row.ref << row.code;
    }
    NoteRefCacheFree(&cache);
}
