// morbivue-cli index end to end, run from the build tree on the linked data.
#include <gtest/gtest.h>

#include <string>

#include "host/support/cli_runner.h"

class CliIndex : public CliTest {};

// In the book's order (--book), the literal answer scripts rely on; ranked, the drug table's main
// term Aspirin comes before the subterm that names it.
TEST_F(CliIndex, AspirinListsTheIndexEntriesThenTheDrugRowsWithTheirSixCodes) {
    CliOutput r = CliRun("index --book aspirin");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "index\tLong-term (current) (prophylactic) drug therapy (use of) > aspirin\tZ79.82\n"
              "index\tTherapy > drug, long-term (current) (prophylactic) > aspirin\tZ79.82\n"
              "index\tUlcer, ulcerated, ulcerating, ulceration, ulcerative > esophagus (peptic) > "
              "due to > aspirin\tK22.10\n"
              "index\tUlcer, ulcerated, ulcerating, ulceration, ulcerative > esophagus (peptic) > "
              "due to > aspirin > with bleeding\tK22.11\n"
              "drug\tAluminium, aluminum > aspirin\tT39.011 T39.012 T39.013 T39.014 T39.015 "
              "T39.016\n"
              "drug\tAspirin (aluminum) (soluble)\tT39.011 T39.012 T39.013 T39.014 T39.015 "
              "T39.016\n");
    EXPECT_EQ(CliRun("index --book ASPIRIN").out, r.out);
    EXPECT_EQ(CliRun("index --book 'aspirin  aspirin'").out, r.out);
    std::string ranked = CliRun("index aspirin").out;
    EXPECT_LT(ranked.find("drug\tAspirin (aluminum)"), ranked.find("drug\tAluminium"));
    EXPECT_EQ(ranked.size(), r.out.size()) << "the same hits";
}

TEST_F(CliIndex, LungUpperListsTheNeoplasmEntriesForTheUpperLobe) {
    CliOutput r = CliRun("index lung upper");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "neoplasm\tNeoplasm, neoplastic > bronchus > upper lobe of lung\tC34.1- C78.0- "
              "D02.2- D14.3- D38.1 D49.1\n"
              "neoplasm\tNeoplasm, neoplastic > lung > upper lobe\tC34.1- C78.0- D02.2- D14.3- "
              "D38.1 D49.1\n");
    EXPECT_EQ(CliRun("index upper lung").out, r.out);
}

TEST_F(CliIndex, ExternalCausesGiveTheirCodeOrNothing) {
    CliOutput r = CliRun("index accident transport aircraft");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("external\tAccident (to) > transport (involving injury to) > aircraft "
                          "NEC\tV97.89\n",
                          0),
              0u)
        << r.out;
    CliOutput empty = CliRun("index accident nontraffic collision car and:");
    EXPECT_EQ(empty.out.rfind("external\tAccident (to) > nontraffic (victim's mode of transport "
                              "NOS) > collision (between) > car and:\t\n",
                              0),
              0u)
        << empty.out;
    // A cell of "--" is "-"; subcat stands in for a missing code.
    CliOutput cells = CliRun("index 1-propanol");
    EXPECT_EQ(cells.out, "drug\t1-propanol\tT51.3X1 T51.3X2 T51.3X3 T51.3X4 - -\n"
                         "drug\t1-Propanol\tT51.3X1 T51.3X2 T51.3X3 T51.3X4 - -\n");
    EXPECT_NE(CliRun("index thunderbolt").out.find("> thunderbolt\tT75.0\n"), std::string::npos);
    EXPECT_NE(CliRun("index strangulation accidental").out.find("\tStrangulation (accidental)\tT71\n"),
              std::string::npos);
}

TEST_F(CliIndex, NothingFoundIsNoErrorAndBadCommandLinesAre) {
    CliOutput none = CliRun("index qqxyzzy");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    CliOutput letter = CliRun("index z");
    EXPECT_EQ(letter.status, 0);
    EXPECT_GT(letter.out.size(), 0u);
    for (const char *args : {"index", "index ''", "index ' '"}) {
        CliOutput bad = CliRunErrors(args);
        EXPECT_EQ(bad.status, 2) << args;
        EXPECT_NE(bad.out.find("usage: morbivue-cli index [--book] WORD..."), std::string::npos)
            << args;
    }
}

TEST_F(CliIndex, MainIndexEntriesComeFirstWithManifestationCodesInBrackets) {
    CliOutput kidney = CliRun("index diabetes kidney");
    EXPECT_EQ(kidney.out.rfind("index\tDiabetes, diabetic (mellitus) (sugar) > with > chronic kidney "
                               "disease\tE11.22\n", 0), 0u) << kidney.out;
    CliOutput heart = CliRun("index amyloid heart");
    EXPECT_EQ(heart.out.rfind("index\tAmyloid heart (disease)\tE85.4 [I43]\n", 0), 0u) << heart.out;
    EXPECT_NE(CliRun("index slipped epiphysis capital").out.find("\t[SCFE]\n"), std::string::npos);
}

TEST_F(CliIndex, ACodeListsTheEntriesThatLeadToItAsItsPageDoes) {
    const char kEntries[] =
        "Diabetes, diabetic (mellitus) (sugar) > with > chronic kidney disease\n"
        "Diabetes, diabetic (mellitus) (sugar) > type 2 > with > chronic kidney disease\n";
    CliOutput page = CliRun("page E11.22");
    EXPECT_EQ(page.status, 0);
    const std::string tail = std::string("\n\nIndex entries:\n") + kEntries;
    ASSERT_GE(page.out.size(), tail.size());
    EXPECT_EQ(page.out.substr(page.out.size() - tail.size()), tail);
    CliOutput code = CliRun("index e1122");
    EXPECT_EQ(code.status, 0);
    EXPECT_EQ(code.out, "index\tDiabetes, diabetic (mellitus) (sugar) > with > chronic kidney "
                        "disease\tE11.22\nindex\tDiabetes, diabetic (mellitus) (sugar) > type 2 > "
                        "with > chronic kidney disease\tE11.22\n");
    EXPECT_EQ(CliRun("index Q99.99").out, "");  // no such record
}
