// Note references: the shapes read as codes, what each covers at the edges of its range, and the
// cache that keeps a note's references with their items.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "classification/code_refs.h"
#include "classification/note_refs.h"
#include "foundation/status.h"
#include "encounter_fixture.h"

TEST(NoteRefs, ShapesReadAsCodes) {
    struct Shape {
        const char *text;
        int32_t length;
        const char *first, *last;
    } shapes[] = {
        {"A15)", 3, "A15", "A15"},          {"C7A.01)", 6, "C7A01", "C7A01"},
        {"S06.0X1A2", 8, "S060X1A", "S060X1A"}, {"A15-A19,", 7, "A15", "A19"},
        {"N18.1-N18.6)", 11, "N181", "N186"}, {"O24.4-)", 6, "O244", "O244"},
        {"E08.-)", 5, "E08", "E08"},          {"E08-E13 with .42", 7, "E08", "E13"},
        {"B27.0-B27.9-", 12, "B270", "B279"}, {"A15-a19", 4, "A15", "A15"},
        {"E10.", 3, "E10", "E10"},            {"a15", 0, "", ""},
        {"A1", 0, "", ""},                    {"1AB", 0, "", ""},
    };
    for (const Shape &s : shapes) {
        NoteRef ref = {};
        EXPECT_EQ(s.length, NoteRefAt(s.text, &ref)) << s.text;
        if (s.length == 0) continue;
        EXPECT_STREQ(s.first, ref.first) << s.text;
        EXPECT_STREQ(s.last, ref.last) << s.text;
    }
}

TEST(NoteRefs, CoverageAtTheEdges) {
    struct Cover {
        const char *ref, *code;
        int32_t covered;
    } covers[] = {
        {"E10.-", "E109", 1},    {"E10.-", "E10", 1},      {"E10.-", "E1", 0},
        {"E10", "E110", 0},      {"C7A.01", "C7A010", 1},  {"C7A.01", "C7A02", 0},
        {"N18.1-N18.6", "N181", 1}, {"N18.1-N18.6", "N186", 1}, {"N18.1-N18.6", "N189", 0},
        {"N18.1-N18.6", "N18", 0},  {"N18.1-N18.6", "N1830", 1}, {"A15-A19", "A199", 1},
        {"A15-A19", "A20", 0},   {"A15-A19", "A149", 0},  {"S06.0X1", "S060X1A", 1},
        {"S06.0X1", "S060X2A", 0}, {"E00-E07", "E07", 1},  {"E00-E07", "E08", 0},
    };
    for (const Cover &c : covers) {
        NoteRef ref = {};
        ASSERT_GT(NoteRefAt(c.ref, &ref), 0) << c.ref;
        EXPECT_EQ(c.covered, NoteRefCovers(&ref, c.code)) << c.ref << " " << c.code;
        // The rules' binary search answers the same over a run of one.
        const char *keys[] = {c.code};
        int32_t lo = 0, hi = 0;
        ASSERT_EQ(0, NoteRefCoveredRun(&ref, keys, 1, &lo, &hi));
        EXPECT_EQ(c.covered, hi - lo) << c.ref << " " << c.code;
    }
}

TEST(NoteRefs, CacheKeepsEachNotesReferencesWithTheirItems) {
    RealRelease *release = RealReleaseGet();
    ASSERT_NE(nullptr, release);
    int32_t e11 = FindRecordByCode(&release->table, 1, "E11");
    NoteRefCache cache = {};
    ASSERT_EQ(0, NoteRefCacheInit(&cache, &release->table));
    const NoteRef *refs = nullptr;
    int32_t count = 0;
    ASSERT_EQ(0, NoteRefCacheGet(&cache, e11, FIELD_USE_ADDITIONAL, &refs, &count));
    ASSERT_EQ(3, count);
    const char *note = RecordField(&release->table.records[e11], FIELD_USE_ADDITIONAL);
    EXPECT_EQ("Z79.4", std::string(note + refs[0].offset, (size_t)refs[0].length));
    EXPECT_EQ("insulin (Z79.4)", std::string(note + refs[0].itemOffset, (size_t)refs[0].itemLength));
    const NoteRef *again = nullptr;
    ASSERT_EQ(0, NoteRefCacheGet(&cache, e11, FIELD_USE_ADDITIONAL, &again, &count));
    EXPECT_EQ(refs, again);
    EXPECT_EQ(3, cache.refCount);
    EXPECT_EQ(ERR_INVPARAM, NoteRefCacheGet(&cache, e11, FIELD_TITLE, &refs, &count));
    NoteRefCacheFree(&cache);
}
