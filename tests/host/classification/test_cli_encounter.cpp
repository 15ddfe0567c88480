// morbivue-cli encounter end to end: the examples coders check by hand, and standard input with
// the lines a day's claims may hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/support/cli_runner.h"

namespace {

const char kE11Control[] =
    "?use-additional\tE11.9\tZ79.4 Z79.84\tE11\tcode to identify control using:; insulin (Z79.4); "
    "oral antidiabetic drugs (Z79.84); oral hypoglycemic drugs (Z79.84)\n";
// The summary lines that end a visit of E11.9 and E10.9: no CC or MCC, HCC 38 once.
const char kDiabetesSummary[] = "=cc-mcc\t-\n=hcc\t38\n";

}  // namespace

class CliEncounter : public CliTest {};

TEST_F(CliEncounter, CodesOfTheCommandLineAreOneEncounter) {
    CliOutput r = CliRun("encounter e119 E10.9");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(std::string("E11.9\tbillable\tType 2 diabetes mellitus without complications\n"
                          "E10.9\tbillable\tType 1 diabetes mellitus without complications\n"
                          "!excludes1\tE11.9\tE10.9\tE11\ttype 1 diabetes mellitus (E10.-)\n"
                          "!excludes1\tE10.9\tE11.9\tE10\ttype 2 diabetes mellitus (E11.-)\n") +
                  kE11Control + kDiabetesSummary,
              r.out);
    r = CliRun("encounter E85.1 G63");
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("E85.1\tbillable\tNeuropathic heredofamilial amyloidosis\n"
              "G63\tbillable\tPolyneuropathy in diseases classified elsewhere\n"
              "=cc-mcc\t-\n=hcc\t50\n",
              r.out);
    r = CliRun("encounter E11.22 N18.4");
    EXPECT_EQ(0, r.status);
    EXPECT_EQ(std::string::npos, r.out.find("N18.1-N18.6")) << r.out;
    EXPECT_EQ(2, CliRun("encounter --all").status);
}

TEST_F(CliEncounter, StandardInputHasOneEncounterPerLineWhateverTheLines) {
    std::string many;
    for (int i = 0; i < 10000; i++) many += i % 2 ? "a00.0," : "A000;";
    std::string input = "G63\tE85.1\r\n\r\n , ;\t\r\n" + many + "\n" + std::string(100000, 'z') +
                        "\n\xe9\xff E11.9\nE11.9 E10.9";
    CliOutput r = CliRun("encounter", input);
    EXPECT_EQ(1, r.status);
    // Encounters apart by one empty line: G63's, the 10,000 codes, the long line, the bytes.
    size_t blank = 0;
    for (size_t at = r.out.find("\n\n"); at != std::string::npos; at = r.out.find("\n\n", at + 1)) {
        blank++;
    }
    EXPECT_EQ(4u, blank);
    EXPECT_EQ(0u, r.out.find("G63\tbillable\t")) << r.out.substr(0, 200);
    EXPECT_NE(std::string::npos, r.out.find("\n!manifestation-first\tG63\t-\tG63\tPolyneuropathy"));
    EXPECT_NE(std::string::npos, r.out.find("\n!duplicate\tA00.0\tA00.0\t-\t-\n"));
    EXPECT_NE(std::string::npos, r.out.find("\nZZZ." + std::string(99997, 'Z') + "\tunknown\t\n"
                                            "!invalid\tZZZ." + std::string(99997, 'Z') + "\t-\t-\t-\n"));
    // Bytes above 127 are kept as they are, and unknown.
    EXPECT_NE(std::string::npos, r.out.find("\n\n\xe9\xff\tunknown\t\nE11.9\tbillable\tType 2 "
                                            "diabetes mellitus without complications\n!invalid\t"
                                            "\xe9\xff\t-\t-\t-\n"));
    const std::string end = std::string(kE11Control) + kDiabetesSummary;
    EXPECT_EQ(r.out.size() - end.size(), r.out.rfind(end));
    CliOutput none = CliRun("encounter", " ,\r\n\n");
    EXPECT_EQ(0, none.status);
    EXPECT_EQ("", none.out);
}
