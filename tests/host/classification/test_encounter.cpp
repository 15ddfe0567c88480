// The encounter rules on the linked FY2023 notes, one table per rule, and the reading of typed
// lists of any shape.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/encounter.h"
#include "encounter_fixture.h"

namespace {

struct Case {
    const char *codes;
    std::vector<std::string> findings;  // "CODE|OTHER|WHERE|NOTE"
};

void ExpectRule(int32_t (*rule)(Encounter *), const std::vector<Case> &cases) {
    for (const Case &c : cases) EXPECT_EQ(c.findings, EncounterLines(c.codes, rule)) << c.codes;
}

const std::string kE11Control =
    "code to identify control using:; insulin (Z79.4); oral antidiabetic drugs (Z79.84); oral "
    "hypoglycemic drugs (Z79.84)";

}  // namespace

TEST(Encounter, ReadsCodesBetweenAnySeparatorsInTheirNormalForm) {
    Encounter *e = &RealReleaseGet()->encounter;
    struct Read {
        std::string text;
        std::vector<std::string> codes;  // normal forms
    } reads[] = {
        {"", {}},
        {" ,;\t\r\n ,,", {}},
        {"e11.9,E109;\tg63  s52121a\r\nE11.9\r\n", {"E11.9", "E10.9", "G63", "S52.121A", "E11.9"}},
        {"E1\xe9" "9 \xff", {"E1\xe9" "9", "\xff"}},
        {std::string("E1\0" "9", 4), {"E1?9"}},
        {std::string(100000, 'x'), {"XXX." + std::string(99997, 'X')}},
    };
    for (const Read &r : reads) {
        ASSERT_EQ(0, EncounterRead(e, r.text.data(), r.text.size()));
        std::vector<std::string> got;
        for (int32_t i = 0; i < e->codeCount; i++) {
            got.emplace_back(e->normal + e->codes[i].normalOffset, (size_t)e->codes[i].normalLength);
        }
        EXPECT_TRUE(r.codes == got) << r.text.substr(0, 40);
    }
}

TEST(Encounter, InvalidIsEveryCodeThatIsNotBillable) {
    ExpectRule(EncounterFindInvalid, {
        {"E11.9 S52.121A", {}},
        {"E11 S52.121 XYZ E11.9 E00-E89", {"E11|-|-|-", "S52.121|-|-|-", "XYZ|-|-|-",
                                          "E00-E89|-|-|-"}},
    });
}

TEST(Encounter, DuplicateIsEveryRepeatOfANormalForm) {
    ExpectRule(EncounterFindDuplicates, {
        {"E11.9 E10.9", {}},
        {"E11.9 e119 N18.4 E11.9", {"E11.9|E11.9|-|-", "E11.9|E11.9|-|-"}},
        {"s52121a S52.121A S52.121", {"S52.121A|S52.121A|-|-"}},
    });
}

TEST(Encounter, Excludes1PairsNameTheNearestRecordAndItsItem) {
    ExpectRule(EncounterFindExcludes1, {
        // Both ways, by each category's ".-" reference; a code is never in conflict with itself.
        {"E11.9 E10.9 E11.9", {"E11.9|E10.9|E11|type 1 diabetes mellitus (E10.-)",
                               "E10.9|E11.9|E10|type 2 diabetes mellitus (E11.-)"}},
        // A block's note; a chapter's, by a range; a block's ".-" covering a complete code.
        {"B18.1 B94.2", {"B18.1|B94.2|B15-B19|sequelae of viral hepatitis (B94.2)"}},
        {"E55.9 P72.0", {"E55.9|P72.0|E00-E89|transitory endocrine and metabolic disorders "
                                            "specific to newborn (P70-P74)"}},
        {"I61.9 S06.5X0A", {"I61.9|S06.5X0A|I60-I69|traumatic intracranial hemorrhage (S06.-)"}},
        // A header's code covers its subtree (and a third character may be a letter).
        {"C17.0 C7A.010", {"C17.0|C7A.010|C17|malignant carcinoid tumors of the small intestine "
                                            "(C7A.01)"}},
        {"G63 E11.42", {"G63|E11.42|G63|diabetes mellitus (E08-E13 with .42)"}},
        {"E11.9 N18.4 XYZ", {}},
    });
}

TEST(Encounter, ManifestationFirstIsTheFirstCodeUnderSuchATitle) {
    ExpectRule(EncounterFindManifestationFirst, {
        {"G63 E85.1", {"G63|-|G63|Polyneuropathy in diseases classified elsewhere"}},
        {"E85.1 G63", {}},
        // The category's title, the nearest that says so.
        {"G13.0 C34.90", {"G13.0|-|G13|Systemic atrophies primarily affecting central nervous "
                                     "system in diseases classified elsewhere"}},
        {"XYZ G63", {}},
    });
}

TEST(Encounter, CodeFirstAsksForACoveredCodeListedBefore) {
    const std::string g63 =
        "E85.- E00-E07 E15-E16 E20-E34 E70-E88 C00-D49 E40-E64|G63|underlying disease, such as:; "
        "amyloidosis (E85.-); endocrine disease, except diabetes (E00-E07, E15-E16, E20-E34); "
        "metabolic diseases (E70-E88); neoplasm (C00-D49); nutritional deficiency (E40-E64)";
    ExpectRule(EncounterFindCodeFirst, {
        {"G63 E85.1", {"G63|" + g63}},
        {"E85.1 G63", {}},
        {"C34.90 G63", {}},
        {"G63 G63", {"G63|" + g63}},
    });
}

TEST(Encounter, UseAdditionalAsksForAnyOtherCoveredCodeOncePerNote) {
    ExpectRule(EncounterFindUseAdditional, {
        {"E11.22", {"E11.22|N18.1-N18.6|E11.22|code to identify stage of chronic kidney disease "
                                            "(N18.1-N18.6)",
                    "E11.22|Z79.4 Z79.84|E11|" + kE11Control}},
        {"N18.6 E11.22 Z79.84", {"N18.6|Z99.2|N18.6|code to identify dialysis status (Z99.2)",
                                 "N18.6|Z94.0|N18|code to identify kidney transplant status, if "
                                                 "applicable, (Z94.0)"}},
        {"E11.9 Z79.4", {}},
    });
}

// Many codes at once give the same findings for a pair as two alone, and lose no code.
TEST(Encounter, ALongEncounterKeepsEveryCodeAndPair) {
    std::string text = "E11.9 E10.9";
    for (int i = 0; i < 10000; i++) text += " A00.0";
    Encounter *e = &RealReleaseGet()->encounter;
    ASSERT_EQ(0, EncounterRead(e, text.data(), text.size()));
    ASSERT_EQ(0, EncounterCheck(e));
    EXPECT_EQ(10002, e->codeCount);
    int32_t excludes = 0, duplicates = 0;
    for (int32_t k = 0; k < e->findingCount; k++) {
        excludes += e->findings[k].kind == FINDING_EXCLUDES1;
        duplicates += e->findings[k].kind == FINDING_DUPLICATE;
    }
    EXPECT_EQ(2, excludes);
    EXPECT_EQ(9999, duplicates);
}
