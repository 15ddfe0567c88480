// morbivue-cli guideline end to end, and the record page's "Guidelines:" section in the console.
#include <gtest/gtest.h>

#include <string>

#include "host/support/cli_runner.h"

class CliGuideline : public CliTest {};

TEST_F(CliGuideline, ListsShowsAndSearches) {
    const struct {
        const char *args;
        int status;
        const char *holds;  // on standard output, or standard error for a failure
    } cases[] = {
        {"guideline", 0, "\nI.C.19.e.5(b)(i)\tError was made in drug prescription\n"},
        {"guideline II.H", 0, "II.H  Uncertain Diagnosis\nIf the diagnosis documented"},
        {"guideline i.c.4.a", 0, "\n\nI.C.4.a.3  Diabetes mellitus and the use of insulin"},
        {"guideline sepsis organ dysfunction", 0, "\nI.C.1.d\tSepsis, Severe Sepsis"},
        {"guideline insulin oral", 0, "\nI.C.4.a\tDiabetes mellitus\n"},
        {"guideline uncertain diagnosis", 0, "II.H\tUncertain Diagnosis\n"},
        {"guideline laterality", 0, "I.B.13\tLaterality\n"},
        {"guideline zzyzx", 1, "no guideline section is or holds \"zzyzx\""},
        {"guideline --all", 2, "guideline [ID | WORD...]"},
        {"guideline a b c d e f g h i j k l m n o p q r s t u v w x y z a b c d e f g", 2,
         "ERR_INVPARAM"},
    };
    for (const auto &c : cases) {
        const CliOutput r = c.status == 0 ? CliRun(c.args) : CliRunErrors(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(("\n" + r.out).find(c.holds), std::string::npos) << c.args << ":\n" << r.out;
    }
    const std::string all = CliRun("guideline").out;
    EXPECT_EQ(all.rfind("I\tConventions, general coding guidelines", 0), 0u);
    size_t lines = 0;
    for (char ch : all) lines += ch == '\n';
    EXPECT_EQ(lines, 492u);
}

TEST_F(CliGuideline, RecordPagesNameTheirSectionsBetweenEditsAndIndexEntries) {
    const struct {
        const char *code, *line;
        bool billable;  // with "Edits and flags:"
    } cases[] = {
        {"E11.22", "I.C.4.a Diabetes mellitus\n", true},
        {"T36.0X1A", "I.C.19.e Adverse Effects, Poisoning, Underdosing and Toxic Effects\n", false}};
    for (const auto &c : cases) {
        const std::string page = CliRun(std::string("page ") + c.code).out;
        const size_t edits = page.find("\nEdits and flags:\n"), own = page.find("\nGuidelines:\n"),
                     line = page.find(c.line, own), entries = page.find("\n\nIndex entries:\n");
        EXPECT_EQ(edits != std::string::npos, c.billable) << page;
        EXPECT_TRUE(!c.billable || edits < own) << page;
        EXPECT_LT(own, line) << page;
        EXPECT_LT(line, entries) << page;
        EXPECT_NE(entries, std::string::npos) << page;
    }
}
