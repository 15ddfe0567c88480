// The releases on the linked data: dates of service, every code of every release against a list
// replayed from the records and the changes independently, the counts the addenda publish, and
// the newest release's table.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "classification/releases.h"
#include "foundation/status.h"

namespace {

struct Code {
    bool billable;
    std::string title;
};
using CodeList = std::map<std::string, Code>;

class Releases_ : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(RecordTableLoad(&base, "engtextrecords.dat"), 0);
        ASSERT_EQ(SeventhCharLoad(&baseChars, &base), 0);
        ASSERT_EQ(ReleasesLoadTable(&releases, &table, &chars), 0);
    }
    static void TearDownTestSuite() {
        ReleasesFree(&releases);
        SeventhCharFree(&chars);
        RecordTableFree(&table);
        SeventhCharFree(&baseChars);
        RecordTableFree(&base);
    }
    static ReleaseCheckResult Check(int32_t release, const char *code) {
        ReleaseCheckResult r;
        EXPECT_EQ(ReleasesCheck(&releases, release, &table, &chars, code, &r), 0);
        return r;
    }
    static int32_t Position(const char *code) {
        return FindRecordByCode(&table, PAGE_KIND_RECORD, code);
    }
    // The FY2023 order file from the records as converted: every category and code, a leaf that
    // takes a 7th character as a header, and its complete codes with their composed titles.
    static CodeList BaseCodes() {
        CodeList list;
        for (uint32_t i = 1; i < base.recordCount; i++) {
            const TextRecord *r = &base.records[i];
            std::string code = RecordField(r, FIELD_CODE);
            if (code.find('-') != std::string::npos) continue;
            const SeventhCharDef *def = SeventhCharDefFor(&baseChars, (int32_t)i);
            bool leaf = (r->flags & RECORD_FLAG_LEAF) != 0;
            list[code] = {leaf && def == nullptr, RecordField(r, FIELD_TITLE)};
            if (!leaf || def == nullptr) continue;
            for (int32_t k = 0; k < def->charCount; k++) {
                const SeventhChar *c = &baseChars.chars[def->firstChar + k];
                char complete[10];
                if (CodeComplete(code.c_str(), c->character, complete) &&
                    SeventhCharAllowed(&baseChars, &base, (int32_t)i, c->character)) {
                    list[complete] = {true, std::string(RecordField(r, FIELD_TITLE)) + ", " +
                                                c->meaning};
                }
            }
        }
        return list;
    }
    static RecordTable base, table;
    static SeventhCharTable baseChars, chars;
    static Releases releases;
};
RecordTable Releases_::base, Releases_::table;
SeventhCharTable Releases_::baseChars, Releases_::chars;
Releases Releases_::releases;

}  // namespace

TEST_F(Releases_, EachReleaseHasItsDates) {
    ASSERT_EQ(releases.count, 6);
    const struct {
        const char *label;
        int32_t from, to;
    } expected[] = {{"FY2023", 20221001, 20230331},     {"April 2023", 20230401, 20230930},
                    {"FY2024", 20231001, 20240930},     {"FY2025", 20241001, 20250930},
                    {"FY2026", 20251001, 20260930},     {"FY2027", 20261001, 20270930}};
    for (int32_t k = 0; k < 6; k++) {
        EXPECT_STREQ(releases.info[k].label, expected[k].label);
        EXPECT_EQ(releases.info[k].from, expected[k].from) << k;
        EXPECT_EQ(releases.info[k].to, expected[k].to) << k;
    }
    EXPECT_EQ(ReleasesNewest(&releases), 5);
}

// Across every boundary: a code added (D13.91, FY2024), one deleted (S23.420A, FY2027), one
// revised (I25.112, FY2024), one that became a header (D13.9, FY2024) and one added by the April
// update (T74.A1XA).
TEST_F(Releases_, DateOfServiceChoosesTheReleaseInEffect) {
    const char *B = "billable", *H = "not-billable", *D = "deleted", *N = "not-yet-valid";
    const struct {
        const char *date;
        const char *d1391, *s23420a, *d139, *t74a1xa;
        bool revised;
    } rows[] = {
        {"2022-10-01", N, B, B, N, false}, {"2023-03-31", N, B, B, N, false},
        {"2023-04-01", N, B, B, B, false}, {"2023-09-30", N, B, B, B, false},
        {"2023-10-01", B, B, H, B, true},  {"2024-09-30", B, B, H, B, true},
        {"2024-10-01", B, B, H, B, true},  {"2025-09-30", B, B, H, B, true},
        {"2025-10-01", B, B, H, B, true},  {"2026-09-30", B, B, H, B, true},
        {"2026-10-01", B, D, H, B, true},  {"2027-09-30", B, D, H, B, true},
    };
    for (const auto &row : rows) {
        int32_t date = 0;
        ASSERT_EQ(ReleaseDateParse(row.date, &date), 0) << row.date;
        int32_t release = ReleasesForDate(&releases, date);
        ASSERT_GE(release, 0) << row.date;
        EXPECT_STREQ(ReleaseStatusName(Check(release, "D13.91").status), row.d1391) << row.date;
        EXPECT_STREQ(ReleaseStatusName(Check(release, "s23420a").status), row.s23420a) << row.date;
        EXPECT_STREQ(ReleaseStatusName(Check(release, "D13.9").status), row.d139) << row.date;
        EXPECT_STREQ(ReleaseStatusName(Check(release, "T74.A1XA").status), row.t74a1xa) << row.date;
        char title[256];
        ReleaseCheckResult revised = Check(release, "I25.112");
        ReleasesCheckTitle(&table, &revised, title, 255);
        EXPECT_EQ(std::string(title).find("Atherosclerotic") == 0, row.revised) << row.date << title;
    }
    EXPECT_EQ(Check(5, "Q99.99").status, RELEASE_UNKNOWN);
    EXPECT_EQ(Check(5, "E11.9").status, RELEASE_BILLABLE);
    // Dates outside the releases held.
    for (int32_t date : {20220930, 20271001, 10000101, 99991231}) {
        EXPECT_EQ(ReleasesForDate(&releases, date), ERR_OUTOFRANGE) << date;
    }
}

TEST(ReleaseDates, OnlyRealDatesInTheirWrittenFormAreRead) {
    const struct {
        const char *text;
        int32_t date;  // 0: refused
    } rows[] = {
        {"2026-03-15", 20260315}, {"2024-02-29", 20240229}, {"2000-02-29", 20000229},
        {"2026-02-29", 0},        {"1900-02-29", 0},        {"2026-02-30", 0},
        {"2026-13-01", 0},        {"2026-00-10", 0},        {"2026-04-31", 0},
        {"yesterday", 0},         {"2026-3-15", 0},         {"2026-03-15 ", 0},
        {"20260315", 0},          {"2026/03/15", 0},        {"", 0},
        {"0000-01-01", 0},
    };
    for (const auto &row : rows) {
        int32_t date = -1;
        int32_t status = ReleaseDateParse(row.text, &date);
        EXPECT_EQ(status, row.date != 0 ? 0 : ERR_INVVALUE) << row.text;
        if (row.date != 0) EXPECT_EQ(date, row.date) << row.text;
    }
    EXPECT_EQ(ReleaseDateBefore(20230401), 20230331);
    EXPECT_EQ(ReleaseDateBefore(20240301), 20240229);
    EXPECT_EQ(ReleaseDateBefore(20250101), 20241231);
    char words[RELEASE_DATE_CHARS + 1];
    EXPECT_STREQ(ReleaseDateWords(20260930, words), "September 30, 2026");
}

// The order file of each release replayed from FY2023's own with the changes, and every code of
// it, and every code the changes name, checked against that release: status and title.
TEST_F(Releases_, EveryCodeOfEveryReleaseAsItsOrderFileHasIt) {
    CodeList list = BaseCodes();
    std::map<std::string, bool> named;
    const ReleaseChanges *c = &releases.changes;
    // The order file spells titles as the changes quote them (Waldenstrom, not Waldenström).
    for (int32_t i = 0; i < c->changeCount; i++) {
        const ReleaseChange *ch = &c->changes[i];
        if (!named[ch->code] && list.count(ch->code) != 0) {
            list[ch->code].title = ch->kind == CHANGE_DELETED ? ch->title : ch->fromTitle;
        }
        named[ch->code] = true;
    }
    int32_t at = 0;
    for (int32_t release = 0; release < releases.count; release++) {
        for (; release > 0 && at < c->changeCount && c->changes[at].release == release - 1; at++) {
            const ReleaseChange *ch = &c->changes[at];
            if (ch->kind == CHANGE_DELETED) {
                list.erase(ch->code);
            } else {
                list[ch->code] = {ch->kind != CHANGE_SPLIT && ch->billable != 0, ch->title};
            }
        }
        int32_t wrong = 0;
        for (const auto &code : list) {
            ReleaseCheckResult r = Check(release, code.first.c_str());
            char title[1024];
            ReleasesCheckTitle(&table, &r, title, 1023);
            // The newest release's codes are all in its table: a record, or a record's
            // complete code.
            bool ok = r.status == (code.second.billable ? RELEASE_BILLABLE : RELEASE_NOT_BILLABLE) &&
                      code.second.title == title &&
                      (release + 1 < releases.count || r.check.record > 0);
            if (!ok && wrong++ < 5) {
                ADD_FAILURE() << releases.info[release].label << " " << code.first << " "
                              << ReleaseStatusName(r.status) << " " << title;
            }
        }
        EXPECT_EQ(wrong, 0) << releases.info[release].label;
        for (const auto &n : named) {
            if (list.count(n.first) != 0) continue;
            ReleaseStatus s = Check(release, n.first.c_str()).status;
            EXPECT_TRUE(s == RELEASE_DELETED || s == RELEASE_NOT_YET_VALID)
                << releases.info[release].label << " " << n.first;
        }
        int32_t codes = 0, billable = 0;
        ASSERT_EQ(ReleasesCount(&releases, release, &table, &chars, &codes, &billable), 0);
        int32_t listed = 0;
        for (const auto &code : list) listed += code.second.billable;
        EXPECT_EQ(codes, (int32_t)list.size()) << releases.info[release].label;
        EXPECT_EQ(billable, listed) << releases.info[release].label;
    }
}

// What the addenda's summaries and the data's README publish.
TEST_F(Releases_, CountsAreThePublishedOnes) {
    const int32_t billable[] = {73639, 73674, 74044, 74260, 74719, 74879};
    for (int32_t k = 0; k < releases.count; k++) {
        int32_t codes = 0, valid = 0;
        ASSERT_EQ(ReleasesCount(&releases, k, &table, &chars, &codes, &valid), 0);
        EXPECT_EQ(valid, billable[k]) << releases.info[k].label;
        if (k == 4) EXPECT_EQ(codes, 98186);
        if (k == 5) EXPECT_EQ(codes, 98403);
    }
}

// The newest release's table: added codes are records under their parents in code order, deleted
// ones stay flagged, a split code is a header, titles are the new ones, the rest as converted.
TEST_F(Releases_, TableIsTheNewestRelease) {
    int32_t d139 = Position("D13.9"), d1391 = Position("D13.91"), d1399 = Position("D13.99");
    ASSERT_GT(d139, 0);
    ASSERT_EQ(d1391, d139 + 1);
    ASSERT_EQ(d1399, d139 + 2);
    EXPECT_EQ(table.records[d1391].parent, (uint32_t)d139);
    EXPECT_FALSE(table.records[d139].flags & RECORD_FLAG_LEAF);
    EXPECT_TRUE(table.records[d1391].flags & RECORD_FLAG_LEAF);
    EXPECT_STREQ(RecordField(&table.records[d1391], FIELD_TITLE), "Familial adenomatous polyposis");
    // A new category in the block before it, between its last category and the next block.
    int32_t i1a = Position("I1A");
    ASSERT_GT(i1a, 0);
    EXPECT_STREQ(RecordField(&table.records[table.records[i1a].parent], FIELD_CODE), "I10-I16");
    EXPECT_STREQ(RecordField(&table.records[i1a + 2], FIELD_CODE), "I20-I25");
    int32_t s23420 = Position("S23.420");
    ASSERT_GT(s23420, 0);
    EXPECT_TRUE(table.records[s23420].flags & RECORD_FLAG_DELETED);
    EXPECT_EQ(ReleasesDeletedIn(&releases, &table, s23420), 5);
    EXPECT_EQ(ReleasesDeletedIn(&releases, &table, d139), -1);
    int32_t revised = Position("I25.112");
    EXPECT_EQ(std::string(RecordField(&table.records[revised], FIELD_TITLE)).rfind("Atherosclerotic", 0),
              0u);
    // Positions and parents agree, and every record unchanged keeps its text as converted.
    int32_t same = 0;
    for (uint32_t i = 1; i < table.recordCount; i++) {
        const TextRecord *r = &table.records[i];
        ASSERT_EQ(r->index, i);
        ASSERT_LT(r->parent, i);
        int32_t was = FindRecordByCode(&base, PAGE_KIND_RECORD, RecordField(r, FIELD_CODE));
        if (was > 0 && ReleasesCodeStates(&releases, RecordField(r, FIELD_CODE)) == nullptr) {
            const TextRecord *old = &base.records[was];
            ASSERT_EQ(0, memcmp(r->fieldOffsets, old->fieldOffsets, sizeof r->fieldOffsets));
            ASSERT_STREQ(RecordField(r, FIELD_TITLE), RecordField(old, FIELD_TITLE));
            ASSERT_EQ(r->level, old->level);
            same++;
        }
    }
    EXPECT_GT(same, 45000);
    // The 7th characters followed the records as a fresh read of them gives them.
    SeventhCharTable fresh = {};
    ASSERT_EQ(SeventhCharLoad(&fresh, &table), 0);
    ASSERT_EQ(chars.recordCount, fresh.recordCount);
    for (int32_t i = 0; i < fresh.recordCount; i++) {
        const SeventhCharDef *a = SeventhCharDefFor(&chars, i), *b = SeventhCharDefFor(&fresh, i);
        ASSERT_EQ(a == nullptr, b == nullptr) << i;
        if (a != nullptr) ASSERT_EQ(a->record, b->record) << i;
    }
    SeventhCharFree(&fresh);
    EXPECT_EQ(table.recordCount - base.recordCount, 1288u) << "records added";
    // A new category of a new letter pair sits in its chapter (QA0 in Q00-Q99).
    int32_t qa0 = Position("QA0");
    ASSERT_GT(qa0, 0);
    EXPECT_STREQ(RecordField(&table.records[table.records[qa0].parent], FIELD_CODE), "Q00-Q99");
}
