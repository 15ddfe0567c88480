// The payer's part of a visit: each MCE age edit at the edges of its range, the principal
// diagnosis edits of an inpatient stay, and the CC/MCC and HCC summaries.
#include <gtest/gtest.h>

#include <string>

#include "edits_fixture.h"
#include "edits/edits_visit.h"
#include "edits/edits_words.h"
#include "foundation/status.h"

namespace {

class EditsVisitTest : public EditsRelease {
protected:
    void SetUp() override {
        ASSERT_EQ(EncounterInit(&e, &table, &chars), 0);
        ASSERT_EQ(EncounterSetRelease(&e, &releases, ReleasesNewest(&releases)), 0);
    }
    void TearDown() override {
        EditsVisitFree(&v);
        EncounterFree(&e);
    }
    // The findings of a visit as "kind CODE" lines.
    std::string Check(const std::string &codes, int32_t age, int32_t inpatient) {
        EXPECT_EQ(EncounterRead(&e, codes.data(), codes.size()), 0);
        EXPECT_EQ(EncounterCheck(&e), 0);
        EXPECT_EQ(EditsVisitCheck(&v, &edits, &releases, &e, age, inpatient), 0);
        std::string out;
        for (int32_t k = 0; k < v.findingCount; k++) {
            out += std::string(EditsVisitKindName(v.findings[k].kind)) + " " +
                   e.codes[v.findings[k].code].check.code + "\n";
        }
        return out;
    }
    Encounter e = {};
    EditsVisit v = {};
};

}  // namespace

// A33 perinatal 0-0, Z00.129 pediatric 0-17, O80 maternity 9-64, Z00.00 adult 15-124.
TEST_F(EditsVisitTest, AgeEditsAtTheEdgesOfTheirRanges) {
    const struct {
        const char *code;
        int32_t age;
        bool found;
    } rows[] = {
        {"A33", 0, false},      {"A33", 1, true},     {"Z00.129", 0, false},
        {"Z00.129", 17, false}, {"Z00.129", 18, true},   {"O80", 8, true},
        {"O80", 9, false},      {"O80", 64, false},      {"O80", 65, true},
        {"Z00.00", 14, true},   {"Z00.00", 15, false},   {"Z00.00", 124, false},
        {"O80", VISIT_NO_AGE, false},
    };
    for (const auto &row : rows) {
        std::string out = Check(row.code, row.age, 0);
        EXPECT_EQ(out, row.found ? std::string("age ") + row.code + "\n" : "")
            << row.code << " at " << row.age;
    }
    EXPECT_EQ(EditsVisitCheck(&v, &edits, &releases, &e, 125, 0), ERR_INVPARAM);
    EXPECT_EQ(EditsVisitCheck(&v, &edits, &releases, &e, -2, 0), ERR_INVPARAM);
    char note[EDITS_LINE_CHARS + 1];
    Check("O80", 70, 0);
    ASSERT_EQ(v.findingCount, 1);
    EXPECT_STREQ(EditsVisitNote(&edits, &e, &v.findings[0], note),
                 "Maternity diagnosis: patient age 9-64");
}

TEST_F(EditsVisitTest, PrincipalEditsOnlyForAnInpatientStay) {
    const struct {
        const char *codes;
        int32_t inpatient;
        const char *out;
    } rows[] = {
        {"Z00.00 J45.909", 1, "unacceptable-principal Z00.00\n"},
        {"Z00.00 J45.909", 0, ""},
        {"J45.909 Z00.00", 1, ""},
        {"Z51.89", 1, "requires-secondary Z51.89\n"},
        {"Z51.89 Z51.89", 1, "requires-secondary Z51.89\n"},
        {"Z51.89 N17.9", 1, ""},
        {"E11.9", 1, "questionable-admission E11.9\n"},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(Check(row.codes, VISIT_NO_AGE, row.inpatient), row.out) << row.codes;
    }
}

TEST_F(EditsVisitTest, SummariesOfTheVisit) {
    const struct {
        const char *codes;
        const char *ccMcc, *hccs;
    } rows[] = {
        {"J96.01 N17.9 E11.9 I50.23", "N17.9:CC I50.23:MCC", "38 213 224"},
        {"E11.9 E11.22", "-", "37"},
        {"E11.22 E11.9 E11.22 I50.9 I50.23", "I50.23:MCC", "37 224"},
        {"A00.0", "-", "-"},
        {"C78.31 N17.9", "N17.9:CC", "-"},
        {"S23.420A N17.9", "N17.9:CC", "-"},
    };
    char buffer[512];
    for (const auto &row : rows) {
        Check(row.codes, VISIT_NO_AGE, 0);
        EXPECT_STREQ(EditsVisitCcMcc(&edits, &releases, &e, buffer, 511), row.ccMcc) << row.codes;
        EXPECT_STREQ(EditsVisitHccs(&v, &edits, &e, buffer, 511), row.hccs) << row.codes;
    }
}
