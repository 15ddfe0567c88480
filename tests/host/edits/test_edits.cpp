// The payers' lists as the program reads them, against the lists' own files read here apart:
// every billable code of the newest release, the words of a sample, and the V28 hierarchies.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "edits_fixture.h"
#include "edits/edits_words.h"
#include "foundation/status.h"
#include "morbivue_data_files.h"

namespace {

// What the shared files say of each code (dotted as the lists' codes take it).
struct Expected {
    std::string drg = "-", mce = "-", poa = "-";
    std::set<int> hccs;
};

std::string Dot(const std::string &c) { return c.size() > 3 ? c.substr(0, 3) + "." + c.substr(3) : c; }

std::vector<std::vector<std::string>> Rows(const std::string &name, bool header = true) {
    std::ifstream in(std::string(MORBIVUE_EDITS_DIR) + "/" + name);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    for (bool first = true; std::getline(in, line); first = false) {
        if (first && header) continue;
        std::vector<std::string> f;
        std::stringstream s(line);
        std::string field;
        while (std::getline(s, field, '\t')) f.push_back(field);
        rows.push_back(f);
    }
    return rows;
}

class Edits : public EditsRelease {
protected:
    static std::string Column(EditsListKind list, const char *code) {
        char buffer[EDITS_LINE_CHARS + 1];
        return EditsColumn(&edits, list, code, ReleasesSince(&releases, code), buffer);
    }
    static std::string Line(EditsListKind list, const char *code) {
        char buffer[EDITS_LINE_CHARS + 1];
        return EditsLine(&edits, list, code, ReleasesSince(&releases, code), buffer);
    }
};

}  // namespace

TEST_F(Edits, ListsKeepTheirVersions) {
    const struct {
        EditsListKind list;
        const char *name;
        int32_t year;
    } rows[] = {{EDITS_DRG, "MS-DRG v43", 2026}, {EDITS_MCE, "Medicare Code Editor v43.1", 2026},
                {EDITS_HCC, "CMS-HCC V28", 2026}, {EDITS_POA, "POA exempt list FY2025", 2025}};
    for (const auto &row : rows) {
        EXPECT_STREQ(edits.lists[row.list].name, row.name);
        EXPECT_EQ(edits.lists[row.list].fiscalYear, row.year);
    }
}

// Every billable code of FY2027, column by column, as the shared files give it; "?" where the
// list is older than the code.
TEST_F(Edits, EveryBillableCodeAsTheListsHaveIt) {
    std::map<std::string, Expected> lists;
    for (auto &r : Rows("msdrg_v43_cc_mcc.tsv")) lists[Dot(r[0])].drg = r[1];
    static const char *const kOrder[] = {"age_perinatal", "age_pediatric", "age_maternity",
                                         "age_adult", "manifestation_not_pdx", "unacceptable_pdx",
                                         "unacceptable_pdx_unless_secondary_dx",
                                         "questionable_admission"};
    std::map<std::string, std::set<std::string>> mce;
    for (auto &r : Rows("mce_v43_1_dx_edits.tsv")) mce[Dot(r[0])].insert(r[1]);
    for (auto &m : mce) {
        std::string words;
        for (const char *e : kOrder) {
            if (m.second.count(e)) words += (words.empty() ? "" : " ") + std::string(e);
        }
        lists[m.first].mce = words;
    }
    for (auto &r : Rows("cms_hcc_v28_py2026_dx.tsv")) lists[Dot(r[0])].hccs.insert(std::stoi(r[1]));
    for (auto &r : Rows("poa_exempt_fy2025.txt", false)) lists[r[0]].poa = "exempt";
    struct Walk {
        std::vector<std::string> codes;
    } walk;
    ReleasesEachCode(&releases, ReleasesNewest(&releases), &table, &chars,
                     [](void *c, const char *code, int32_t billable) {
                         if (billable) ((Walk *)c)->codes.push_back(code);
                     },
                     &walk);
    ASSERT_EQ(walk.codes.size(), 74879u);
    int32_t wrong = 0, newer = 0;
    for (const std::string &code : walk.codes) {
        int32_t since = ReleasesSince(&releases, code.c_str());
        Expected e = lists.count(code) ? lists[code] : Expected();
        std::string hcc;
        for (int h : e.hccs) hcc += (hcc.empty() ? "" : " ") + std::to_string(h);
        if (hcc.empty()) hcc = "-";
        std::string want[4] = {e.drg, hcc, e.mce, e.poa};
        const EditsListKind kinds[4] = {EDITS_DRG, EDITS_HCC, EDITS_MCE, EDITS_POA};
        for (int k = 0; k < 4; k++) {
            bool older = since > edits.lists[kinds[k]].fiscalYear;
            newer += older;
            std::string got = Column(kinds[k], code.c_str());
            if (got != (older ? "?" : want[k]) && wrong++ < 5) {
                ADD_FAILURE() << code << " list " << k << ": " << got << " against " << want[k];
            }
            // A list never says "no flag" of a code newer than it.
            if (older) EXPECT_TRUE(lists.count(code) == 0 || want[k] == "-") << code;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(newer, 190 * 3);
}

TEST_F(Edits, PagesSayItInWords) {
    const struct {
        EditsListKind list;
        const char *code;
        const char *line;
    } rows[] = {
        {EDITS_DRG, "N17.9", "MS-DRG v43: CC when secondary"},
        {EDITS_DRG, "I50.23", "MS-DRG v43: MCC when secondary"},
        {EDITS_DRG, "I46.9", "MS-DRG v43: MCC when secondary, only when the patient is discharged alive"},
        {EDITS_DRG, "E11.9", "MS-DRG v43: neither CC nor MCC"},
        {EDITS_DRG, "C78.31", "MS-DRG v43: not in the MS-DRG v43 lists (the code is newer)"},
        {EDITS_HCC, "E11.22", "CMS-HCC V28: HCC 37 Diabetes with Chronic Complications"},
        {EDITS_HCC, "A00.0", "CMS-HCC V28: no HCC"},
        {EDITS_MCE, "O80", "Medicare Code Editor v43.1: Maternity diagnosis: patient age 9-64"},
        {EDITS_MCE, "D63.1", "Medicare Code Editor v43.1: Never the principal diagnosis (manifestation)"},
        {EDITS_MCE, "Z00.00", "Medicare Code Editor v43.1: Adult diagnosis: patient age 15-124; "
                              "Unacceptable as principal diagnosis"},
        {EDITS_MCE, "Z51.89", "Medicare Code Editor v43.1: Acceptable as principal diagnosis only "
                              "with a secondary diagnosis"},
        {EDITS_MCE, "A00.0", "Medicare Code Editor v43.1: no MCE edit"},
        {EDITS_POA, "Z00.00", "POA: exempt from POA reporting"},
        {EDITS_POA, "E11.9", "POA: POA indicator required"},
        {EDITS_POA, "C78.31", "POA: not in the POA exempt list FY2025 (the code is newer)"},
    };
    for (const auto &row : rows) EXPECT_EQ(Line(row.list, row.code), row.line) << row.code;
    // A code with two categories names both.
    const EditsCode *two = nullptr;
    for (int32_t i = 0; i < edits.codeCount && two == nullptr; i++) {
        if (edits.codes[i].hccs[1] != 0) two = &edits.codes[i];
    }
    ASSERT_NE(two, nullptr);
    std::string line = Line(EDITS_HCC, two->code);
    EXPECT_NE(line.find("; HCC " + std::to_string(two->hccs[1]) + " "), std::string::npos) << line;
}

// V28 hierarchies: what the others drop goes, also when the one that drops is itself dropped.
TEST_F(Edits, HierarchiesDropWhatTheyDrop) {
    const struct {
        std::vector<int32_t> given, left;
    } rows[] = {
        {{38, 37}, {37}},
        {{37, 38, 37}, {37}},
        {{36, 37, 38}, {36}},
        {{224, 226, 37, 38, 92}, {37, 92, 224}},
        {{92}, {92}},
        {{}, {}},
    };
    for (const auto &row : rows) {
        std::vector<int32_t> hccs = row.given;
        int32_t n = EditsHccApply(&edits, hccs.data(), (int32_t)hccs.size());
        hccs.resize((size_t)n);
        EXPECT_EQ(hccs, row.left);
    }
}

// The entry's reader: a small entry read whole, and each kind of damage refused whole.
TEST(EditsParse, ReadsAnEntryWholeOrRefusesIt) {
    const std::string good =
        "morbivue-edits\t1\nlist\tdrg\tMS-DRG v43\t2026\nD\tA00.0\tCC\nD\tI46.9\tMCC\n"
        "list\tmce\tMedicare Code Editor v43.1\t2026\nM\tO80\tage_maternity\t9\t64\n"
        "M\tO80\tquestionable_admission\t0\t0\n"
        "list\thcc\tCMS-HCC V28\t2026\nL\t37\tDiabetes\nL\t38\tDiabetes, no complications\n"
        "X\t37\t38\nH\tE11.22\t38\nH\tE11.22\t37\n"
        "list\tpoa\tPOA exempt list FY2025\t2025\nP\tO80\nend\t10\n";
    EditsTable t = {};
    ASSERT_EQ(EditsParse(&t, good.data(), (int32_t)good.size()), 0);
    EXPECT_EQ(t.codeCount, 4);
    const EditsCode *o80 = EditsFind(&t, "O80");
    ASSERT_NE(o80, nullptr);
    EXPECT_EQ(o80->mce, MCE_AGE_MATERNITY | MCE_QUESTIONABLE_ADMISSION);
    EXPECT_EQ(o80->poaExempt, 1);
    const EditsCode *e1122 = EditsFind(&t, "E11.22");
    ASSERT_NE(e1122, nullptr);
    EXPECT_EQ(e1122->hccs[0], 37);
    EXPECT_EQ(e1122->hccs[1], 38);
    EditsFree(&t);
    const struct {
        const char *from, *to;
    } damage[] = {
        {"end\t10", "end\t12"},
        {"D\tA00.0\tCC", "D\tA00.0\tXX"},
        {"D\tI46.9\tMCC", "D\tA00.0\tMCC"},
        {"list\tmce", "list\tpoa"},
        {"age_maternity\t9\t64", "age_maternity\t64\t9"},
        {"H\tE11.22\t38", "H\tE11.22\t99"},
        {"X\t37\t38", "X\t37\t99"},
        {"morbivue-edits\t1", "morbivue-edits\t2"},
        {"P\tO80\n", "P\tO80\tx\n"},
        {"end\t10\n", ""},
    };
    for (const auto &d : damage) {
        std::string bad = good;
        bad.replace(bad.find(d.from), strlen(d.from), d.to);
        EditsTable b = {};
        EXPECT_EQ(EditsParse(&b, bad.data(), (int32_t)bad.size()), ERR_INVDATA) << d.to;
        EXPECT_EQ(b.codes, nullptr);
    }
}
