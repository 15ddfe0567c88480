// morbivue-cli end to end, run from the build tree on the linked data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/support/cli_runner.h"

class Cli : public CliTest {};

TEST_F(Cli, StatsStartsWithTheRecordCount) {
    CliOutput r = CliRun("stats");
    EXPECT_EQ(r.status, 0);
    // The newest release's records: FY2023's and the 1,288 codes added since that are records.
    EXPECT_EQ(r.out.rfind("records 47476\nlevel 0 1\nlevel 1 22\nlevel 2 298\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\nrelease FY2023 2022-10-01 2023-03-31 codes 96745 billable 73639\n"
                         "release April 2023 2023-04-01 2023-09-30 codes 96795 billable 73674\n"
                         "release FY2024 2023-10-01 2024-09-30 codes 97296 billable 74044\n"
                         "release FY2025 2024-10-01 2025-09-30 codes 97584 billable 74260\n"
                         "release FY2026 2025-10-01 2026-09-30 codes 98186 billable 74719\n"
                         "release FY2027 2026-10-01 2027-09-30 codes 98403 billable 74879\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\nleaves "), std::string::npos);
    EXPECT_NE(r.out.find("\ntext_bytes "), std::string::npos);
}

TEST_F(Cli, SearchListsCodeAndTitle) {
    CliOutput r = CliRun("search cholera");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "A00\tCholera\n"
              "A00.0\tCholera due to Vibrio cholerae 01, biovar cholerae\n"
              "A00.1\tCholera due to Vibrio cholerae 01, biovar eltor\n"
              "A00.9\tCholera, unspecified\n"
              "Y38.6\tTerrorism involving biological weapons\n");
    CliOutput none = CliRun("search qqxyzzy");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(CliRunErrors("search qqxyzzy").out, "No record contains \"qqxyzzy\".\n");
}

TEST_F(Cli, SearchFindsTypedCodesAndAllWordsAsTheWindowDoes) {
    CliOutput code = CliRun("search S52121A");
    EXPECT_EQ(code.status, 0);
    EXPECT_EQ(code.out, "S52.121\tDisplaced fracture of head of right radius\n");
    CliOutput words = CliRun("search diabetes kidney");
    CliOutput quoted = CliRun("search 'kidney  diabetes'");
    EXPECT_EQ(words.status, 0);
    EXPECT_NE(words.out.find("\nE11.22\tType 2 diabetes mellitus with diabetic chronic kidney"),
              std::string::npos)
        << words.out;
    EXPECT_EQ(quoted.out, words.out) << "one argument or several, any order";
    CliOutput none = CliRunErrors("search pressure ulcr heel");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "No record contains \"pressure ulcr heel\".\n");
    EXPECT_EQ(CliRun("search pressure ulcr heel").out, "");
}

TEST_F(Cli, ShortSearchWordIsRefused) {
    CliOutput r = CliRunErrors("search ab");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("3 characters"), std::string::npos) << r.out;
}

TEST_F(Cli, FindPrintsPositionCodeTitleOrTheStatus) {
    CliOutput r = CliRun("find a00.0");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "4\tA00.0\tCholera due to Vibrio cholerae 01, biovar cholerae\n");
    CliOutput missing = CliRunErrors("find B12");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("ERR_NOTFOUND"), std::string::npos) << missing.out;
}

TEST_F(Cli, PageAndLinks) {
    // The page's own part, then its coding context.
    const std::string own =
        "A00.0 Cholera due to Vibrio cholerae 01, biovar cholerae\n\n"
        "LongName:\nCholera due to Vibrio cholerae 01, biovar cholerae\n\n"
        "Notes:\nClassical cholera \n\n\n";
    CliOutput page = CliRun("page A00.0");
    EXPECT_EQ(page.status, 0);
    EXPECT_EQ(page.out.substr(0, own.size()), own);
    const std::string context =
        "Billable: a complete code, valid on a claim.\n\nNotes from higher levels:\n"
        "A00-B99 Certain infectious and parasitic diseases (A00-B99)\nIncludes:\n";
    EXPECT_EQ(page.out.substr(own.size(), context.size()), context);
    CliOutput links = CliRun("links B15-B19");
    EXPECT_EQ(links.status, 0);
    const std::string ownLinks = "1\tB15-B19\n1\tB94.2\n1\tB25.1\n1\tB00.81\n1\tA00-B99\n";
    EXPECT_EQ(links.out.substr(0, ownLinks.size()), ownLinks);
    EXPECT_EQ(CliRun("page B12").status, 1);
    // Every form the check knows: a complete code is headed as itself, its leaf's page after.
    CliOutput complete = CliRun("page s52121a");
    EXPECT_EQ(complete.status, 0);
    EXPECT_NE(complete.out.find("\n\nS52.121 Displaced fracture of head of right radius\n\n"),
              std::string::npos);
    EXPECT_NE(complete.out.find("\nS52.121S Displaced fracture of head of right radius, sequela\n"),
              std::string::npos);
    EXPECT_EQ(CliRun("links E1122").status, 0);
}

TEST_F(Cli, CheckGivesEveryCodeItsStatusAndTitle) {
    CliOutput r = CliRun("check E1122 s52.121a S52.121 E11 S00.00A");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "E11.22\tbillable\tType 2 diabetes mellitus with diabetic chronic kidney disease\n"
              "S52.121A\tbillable\tDisplaced fracture of head of right radius, initial encounter "
              "for closed fracture\n"
              "S52.121\tnot-billable\tDisplaced fracture of head of right radius\n"
              "E11\tnot-billable\tType 2 diabetes mellitus\n"
              "S00.00A\tunknown\t\n");
    EXPECT_EQ(CliRun("check T360X1A E11.9").status, 0);
}

TEST_F(Cli, CheckReadsStandardInputWhateverItsLines) {
    // Empty and blank lines give nothing; CR LF, bytes above 127, a line of 5,000 characters and
    // a last line without its line feed each give exactly one line.
    std::string input = "e11.9\r\n\n   \n\xC9\xE9" "11\nS52.121A \r\n" + std::string(5000, 'x') +
                        "\nT36.0X1A";
    CliOutput r = CliRun("check", input);
    EXPECT_EQ(r.status, 1);
    std::vector<std::string> lines;
    for (size_t at = 0; at < r.out.size();) {
        size_t end = r.out.find('\n', at);
        lines.push_back(r.out.substr(at, end - at));
        at = end == std::string::npos ? r.out.size() : end + 1;
    }
    ASSERT_EQ(lines.size(), 5u) << r.out.substr(0, 300);
    EXPECT_EQ(lines[0], "E11.9\tbillable\tType 2 diabetes mellitus without complications");
    EXPECT_EQ(lines[1], "\xC9\xE9" "11\tunknown\t");
    EXPECT_EQ(lines[2].substr(0, 18), "S52.121A\tbillable\t");
    EXPECT_EQ(lines[3], "XXX." + std::string(4997, 'X') + "\tunknown\t");
    EXPECT_EQ(lines[4].substr(0, 18), "T36.0X1A\tbillable\t");
    // Nothing at all in: nothing out, and every code (none) billable.
    CliOutput empty = CliRun("check", "");
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
}

TEST_F(Cli, BadCommandLinesGiveUsage) {
    for (const char *args :
         {"", "--help", "frobnicate", "find", "stats extra", "page A00 B00", "search"}) {
        CliOutput r = CliRunErrors(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.out.find("usage: morbivue-cli"), std::string::npos) << args;
    }
}
