// The console tool's date of service: check and encounter answer for the release in effect, and
// a date that is no day, or no day the releases cover, is a bad command line with nothing printed.
#include <gtest/gtest.h>

#include <string>

#include "host/support/cli_runner.h"

class CliReleases : public CliTest {};

TEST_F(CliReleases, CheckAnswersForTheDateOfService) {
    const struct {
        const char *args;
        const char *out;
    } rows[] = {
        {"check D13.91 S23.420A D13.9",
         "D13.91\tbillable\tFamilial adenomatous polyposis\n"
         "S23.420A\tdeleted\tSprain of sternoclavicular (joint) (ligament), initial encounter\n"
         "D13.9\tnot-billable\tBenign neoplasm of ill-defined sites within the digestive system\n"},
        {"check --date 2026-03-15 S23.420A D13.9",
         "S23.420A\tbillable\tSprain of sternoclavicular (joint) (ligament), initial encounter\n"
         "D13.9\tnot-billable\tBenign neoplasm of ill-defined sites within the digestive system\n"},
        {"check --date=2022-11-15 D13.91 D13.9",
         "D13.91\tnot-yet-valid\tFamilial adenomatous polyposis\n"
         "D13.9\tbillable\tBenign neoplasm of ill-defined sites within the digestive system\n"},
    };
    for (const auto &row : rows) {
        CliOutput r = CliRun(row.args);
        EXPECT_EQ(r.status, 1) << row.args;
        EXPECT_EQ(r.out, row.out) << row.args;
    }
    EXPECT_EQ(CliRun("check --date 2026-03-15", "S23.420A\n").out,
              "S23.420A\tbillable\tSprain of sternoclavicular (joint) (ligament), initial "
              "encounter\n");
}

TEST_F(CliReleases, EncounterAnswersForTheDateOfService) {
    CliOutput now = CliRun("encounter S23.420A");
    EXPECT_EQ(now.status, 1);
    EXPECT_NE(now.out.find("!invalid\tS23.420A\t-\t-\tdeleted in FY2027: valid for services to "
                           "September 30, 2026\n"),
              std::string::npos)
        << now.out;
    CliOutput then = CliRun("encounter --date 2026-09-30 S23.420A");
    EXPECT_EQ(then.out.find("!invalid"), std::string::npos) << then.out;
    CliOutput early = CliRun("encounter --date 2023-09-30 D13.91");
    EXPECT_NE(early.out.find("!invalid\tD13.91\t-\t-\tnot yet valid: added in FY2024, valid for "
                             "services from October 1, 2023\n"),
              std::string::npos)
        << early.out;
}

TEST_F(CliReleases, BadDatesAreABadCommandLine) {
    for (const char *date : {"2022-09-30", "2027-10-01", "2026-02-30", "2026-13-01", "yesterday",
                             "26-03-15", "''"}) {
        for (const char *command : {"check", "encounter"}) {
            std::string args = std::string(command) + " --date " + date + " E11.9";
            CliOutput out = CliRun(args);
            EXPECT_EQ(out.status, 2) << args;
            EXPECT_EQ(out.out, "") << args;
            EXPECT_NE(CliRunErrors(args).out.find(date[0] == '\'' ? "\"\"" : date),
                      std::string::npos)
                << args;
        }
    }
    CliOutput missing = CliRun("check E11.9 --date");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
}

// The order file of a release: its published counts, and every line as `check` answers it.
TEST_F(CliReleases, CodesListTheReleasesOrderFile) {
    const struct {
        const char *args;
        size_t codes, billable;
    } rows[] = {{"codes", 98403, 74879}, {"codes --date 2026-03-15", 98186, 74719},
                {"codes --date 2022-11-15", 96745, 73639}};
    for (const auto &row : rows) {
        CliOutput r = CliRun(row.args);
        ASSERT_EQ(r.status, 0) << row.args;
        size_t lines = 0, billable = 0;
        for (size_t at = 0; (at = r.out.find('\n', at)) != std::string::npos; at++) lines++;
        for (size_t at = 0; (at = r.out.find("\tbillable\t", at)) != std::string::npos; at++) {
            billable++;
        }
        EXPECT_EQ(lines, row.codes) << row.args;
        EXPECT_EQ(billable, row.billable) << row.args;
    }
    CliOutput now = CliRun("codes");
    EXPECT_EQ(now.out.rfind("A00\tnot-billable\tCholera\nA00.0\tbillable\t", 0), 0u);
    EXPECT_NE(now.out.find("\nD13.9\tnot-billable\t"), std::string::npos);
    EXPECT_EQ(now.out.find("\nS23.420A\t"), std::string::npos);
    EXPECT_EQ(CliRun("codes E11").status, 2);
}

TEST_F(CliReleases, ACompleteCodesPageIsHeadedAsItself) {
    CliOutput r = CliRun("page T46.4X5A");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("T46.4X5A Adverse effect of angiotensin-converting-enzyme inhibitors, "
                          "initial encounter\n\nBillable: a complete code, valid on a claim.\n\n"
                          "T46.4X5 Adverse effect of",
                          0),
              0u)
        << r.out.substr(0, 300);
    // A header typed as it is keeps its own page, unheaded.
    EXPECT_EQ(CliRun("page T46.4X5").out.rfind("T46.4X5 Adverse effect of", 0), 0u);
}
