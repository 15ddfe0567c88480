// morbivue-cli changes, end to end: the rows for codes and the command line, and the whole list
// applied to FY2023's codes, which must give a consistent FY2026 code list.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "classification/code_refs.h"
#include "classification/record_table.h"
#include "host/support/cli_runner.h"

namespace {

struct Row {
    std::string release, change, code, status, title;
};

std::vector<Row> Rows(const std::string &out) {
    std::vector<Row> rows;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> f;
        size_t start = 0;
        for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
            f.push_back(line.substr(start, tab - start));
        }
        f.push_back(line.substr(start));
        EXPECT_EQ(f.size(), 5u) << line;
        if (f.size() == 5) {
            rows.push_back({f[0], f[1], f[2], f[3], f[4]});
        }
    }
    return rows;
}

struct Entry {
    bool billable;
    std::string title;
};

}  // namespace

class CliChanges : public CliTest {};

TEST_F(CliChanges, CodesGiveTheirOwnChangesAndThoseBelowThem) {
    CliOutput r = CliRun("changes d139 A77.41");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "2024\tsplit\tD13.9\tnot-billable\tBenign neoplasm of ill-defined sites within the "
              "digestive system\n"
              "2024\tadded\tD13.91\tbillable\tFamilial adenomatous polyposis\n"
              "2024\tadded\tD13.99\tbillable\tBenign neoplasm of ill-defined sites within the "
              "digestive system\n"
              "2025\trevised\tA77.41\tbillable\tEhrlichiosis chaffeensis [E. chaffeensis]\n");
    CliOutput deleted = CliRun("changes T81.32XA");
    EXPECT_EQ(deleted.out,
              "2025\tdeleted\tT81.32XA\tbillable\tDisruption of internal operation (surgical) "
              "wound, not elsewhere classified, initial encounter\n")
        << "a deletion gives the status and title before it";
    CliOutput april = CliRun("changes T74.A1");
    EXPECT_EQ(april.out.rfind("2023-04\tadded\tT74.A1\tnot-billable\tAdult financial abuse, "
                              "confirmed\n2023-04\tadded\tT74.A1XA\tbillable\t", 0),
              0u)
        << april.out;
    CliOutput none = CliRun("changes A00.0");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
}

TEST_F(CliChanges, PageEndsWithTheSectionAsInTheWindow) {
    CliOutput page = CliRun("page D13.9");
    EXPECT_EQ(page.status, 0);
    const std::string &out = page.out;
    const std::string tail =
        "Changes in later releases (codes and titles only: their notes are not in this program):\n"
        "FY2024 split: D13.9 Benign neoplasm of ill-defined sites within the digestive system (a "
        "header now: use a code below it)\n\n";
    // The codes added below it are records of their own, with the changes on their pages.
    EXPECT_NE(CliRun("page D13.91").out.find("FY2024 added: D13.91 Familial adenomatous "
                                              "polyposis\n\n"),
              std::string::npos);
    // Only the guidelines' sections and the index entries follow it, as in the window.
    const size_t at = out.rfind("Changes in later releases");
    ASSERT_NE(at, std::string::npos) << out;
    EXPECT_EQ(out.substr(at, tail.size()), tail) << out;
    EXPECT_EQ(out.substr(at + tail.size()).rfind("Guidelines:\n", 0), 0u) << out;
    EXPECT_NE(out.find("\n\nIndex entries:\n", at + tail.size()), std::string::npos) << out;
    EXPECT_EQ(out.rfind("D13.9 Benign neoplasm of ill-defined sites within the digestive system\n\n",
                        0),
              0u);
}

TEST_F(CliChanges, BadCodesAreABadCommandLine) {
    for (const char *args : {"--all", "D1", "A00 x", "'D13 9'", "A00-B99"}) {
        CliOutput r = CliRunErrors(std::string("changes ") + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.out.find("usage: morbivue-cli changes [CODE...]"), std::string::npos) << args;
    }
}

// The FY2023 code list from the records, with every change applied in order. Each change must
// find the list as it says: a deletion, revision or split names a code that is there (a split a
// billable one), a deletion gives its status and title, an addition names a code that is not
// there, below a header. The records do not say which leaves take a 7th character (until the
// 7th-character definitions are read): here a leaf does when a change names one of its complete
// codes (and is never split); it is then a header, and its complete codes count as there when a
// change names them.
TEST_F(CliChanges, AppliedToFy2023sCodesTheyGiveFy2027s) {
    CliOutput all = CliRun("changes");
    ASSERT_EQ(all.status, 0);
    std::vector<Row> rows = Rows(all.out);
    ASSERT_EQ(rows.size(), 1907u);

    RecordTable table = {};
    ASSERT_EQ(RecordTableLoad(&table, "engtextrecords.dat"), 0);
    std::map<std::string, Entry> codes;
    std::map<std::string, bool> leaves;
    for (uint32_t i = 0; i < table.recordCount; i++) {
        const TextRecord *r = &table.records[i];
        if (r->level >= 3) {
            bool leaf = (r->flags & RECORD_FLAG_LEAF) != 0;
            codes[RecordField(r, FIELD_CODE)] = {leaf, RecordField(r, FIELD_TITLE)};
            leaves[RecordField(r, FIELD_CODE)] = leaf;
        }
    }
    RecordTableFree(&table);
    // The FY2023 leaf that code (7 characters) completes: the leaf, X placeholders, one more.
    auto completedLeaf = [&](const std::string &code) -> std::string {
        if (code.size() != 8) return "";
        std::string stem = code.substr(0, 7);
        while (stem.size() > 4 && stem.back() == 'X') stem.pop_back();
        if (stem.size() == 4) stem.pop_back();  // "S30.1XXA": the dot of a 3-character stem
        auto leaf = leaves.find(stem);
        return leaf != leaves.end() && leaf->second ? stem : "";
    };
    // A leaf that is split was billable, so its 7-character codes below are codes of their own
    // (Z86.0100), not completions.
    std::map<std::string, bool> takesSeventh, split;
    for (const Row &row : rows) {
        if (row.change == "split") split[row.code] = true;
    }
    for (const Row &row : rows) {
        std::string leaf = completedLeaf(row.code);
        if (!leaf.empty() && split.count(leaf) == 0) takesSeventh[leaf] = true;
    }
    for (const auto &s : split) leaves[s.first] = false;
    long billableBefore = 0;
    for (auto &c : codes) {
        c.second.billable = c.second.billable && takesSeventh.count(c.first) == 0;
        billableBefore += c.second.billable;
    }
    const long headersBefore = (long)codes.size() - billableBefore;

    std::string lastRelease;
    const std::vector<std::string> order = {"2023-04", "2024", "2025", "2026", "2027"};
    size_t releaseAt = 0;
    long implied = 0;  // complete codes of FY2023 leaves, known here only from their changes
    // The nearest code above code in the list as it is now.
    auto parentOf = [&](const std::string &code) -> const Entry * {
        std::string above = code;
        while (above.size() > 3) {
            above.pop_back();
            if (above.back() == '.') above.pop_back();
            auto p = codes.find(above);
            if (p != codes.end()) return &p->second;
        }
        return nullptr;
    };
    for (const Row &row : rows) {
        if (row.release != lastRelease) {
            while (releaseAt < order.size() && order[releaseAt] != row.release) releaseAt++;
            ASSERT_LT(releaseAt, order.size()) << "releases out of order at " << row.code;
            lastRelease = row.release;
        }
        bool billable = row.status == "billable";
        ASSERT_TRUE(billable || row.status == "not-billable") << row.code;
        auto found = codes.find(row.code);
        if (row.change == "added") {
            ASSERT_EQ(found, codes.end()) << row.release << " adds " << row.code << " again";
            // A new category (I1A) sits in a block, every other new code below a code.
            const Entry *parent = parentOf(row.code);
            ASSERT_TRUE(parent != nullptr || row.code.size() == 3) << row.code;
            EXPECT_TRUE(parent == nullptr || !parent->billable)
                << row.code << " added below a billable code";
            codes[row.code] = {billable, row.title};
            continue;
        }
        if (found == codes.end() && !completedLeaf(row.code).empty()) {
            implied++;
            found = codes.emplace(row.code, Entry{true, row.title}).first;
        }
        ASSERT_NE(found, codes.end()) << row.release << " " << row.change << " " << row.code;
        if (row.change == "deleted") {
            EXPECT_EQ(found->second.billable, billable) << row.code;
            EXPECT_EQ(found->second.title, row.title) << row.code;
            codes.erase(found);
        } else if (row.change == "split") {
            EXPECT_TRUE(found->second.billable) << row.code;
            EXPECT_FALSE(billable) << row.code;
            found->second = {false, row.title};
        } else {
            ASSERT_EQ(row.change, "revised") << row.code;
            found->second = {billable, row.title};
        }
    }
    long billableAfter = 0;
    for (const auto &c : codes) billableAfter += c.second.billable;
    long headersAfter = (long)codes.size() - billableAfter;
    // What the addenda's summaries say: 73,639 -> 74,879 codes, 23,106 -> 23,524 headers.
    EXPECT_EQ(billableAfter - billableBefore - implied, 74879 - 73639);
    EXPECT_EQ(headersAfter - headersBefore, 23524 - 23106);
    EXPECT_EQ(codes.count("T81.32XA"), 0u);
    EXPECT_FALSE(codes.at("D13.9").billable);
    EXPECT_EQ(codes.at("D13.91").title, "Familial adenomatous polyposis");
    EXPECT_TRUE(codes.at("D13.91").billable);
    EXPECT_EQ(codes.at("A77.41").title, "Ehrlichiosis chaffeensis [E. chaffeensis]");
    EXPECT_TRUE(codes.at("T74.A1XA").billable);
    EXPECT_FALSE(codes.at("T81.320").billable);
    RecordProperty("implied_complete_codes", (int)implied);
}
