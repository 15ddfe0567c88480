// The payers' lists converted: the real folder's counts, and a list with one malformed row
// refused with its file, line and reason, nothing written.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "foundation/status.h"
#include "tools/convert/edits_converter.h"

namespace {

#ifdef MORBIVUE_EDITS_DIR_PATH
const std::string kFolder = MORBIVUE_EDITS_DIR_PATH;
#else
const std::string kFolder;
#endif

const char *const kFiles[] = {"msdrg_v43_cc_mcc.tsv", "mce_v43_1_dx_edits.tsv",
                              "cms_hcc_v28_py2026_dx.tsv", "cms_hcc_v28_labels.tsv",
                              "cms_hcc_v28_hierarchies.tsv", "poa_exempt_fy2025.txt"};

std::string Read(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A copy of the real folder, small: each list's first rows only.
class EditsConvert : public ::testing::Test {
protected:
    void SetUp() override {
        if (Read(kFolder + "/" + kFiles[0]).empty()) GTEST_SKIP() << "no lists in " << kFolder;
        char dir[] = "/tmp/edits_convert_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        folder = dir;
        for (const char *name : kFiles) {
            std::istringstream in(Read(kFolder + "/" + name));
            std::string line, text;
            // The labels and hierarchies whole: the HCC rows name them.
            int keep = std::string(name).find("labels") != std::string::npos ||
                               std::string(name).find("hierarchies") != std::string::npos
                           ? 1000
                           : 6;
            for (int i = 0; i < keep && std::getline(in, line); i++) text += line + "\n";
            Write(name, text);
        }
    }
    void TearDown() override {
        for (const char *name : kFiles) std::remove((folder + "/" + name).c_str());
        std::remove(folder.c_str());
    }
    void Write(const std::string &name, const std::string &text) {
        std::ofstream(folder + "/" + name, std::ios::binary) << text;
    }
    std::string folder;
};

}  // namespace

TEST(EditsConvertReal, TheListsAsPublished) {
    if (Read(kFolder + "/" + kFiles[0]).empty()) GTEST_SKIP() << "no lists in " << kFolder;
    std::string text, error;
    EditsSummary s = {};
    ASSERT_EQ(ConvertEditsText(kFolder.c_str(), &text, &s, &error), 0) << error;
    EXPECT_EQ(s.drg, 18432);
    EXPECT_EQ(s.mce, 6670);
    EXPECT_EQ(s.hcc, 8183);
    EXPECT_EQ(s.labels, 115);
    EXPECT_EQ(s.drops, 149);
    EXPECT_EQ(s.poa, 38154);
    EXPECT_NE(text.find("\nD\tQA0.0101\tCC\n"), std::string::npos) << "a code of letter pair QA";
}

TEST_F(EditsConvert, MalformedRowsAreRefusedWithFileLineAndReason) {
    const struct {
        const char *file, *text, *error;
    } rows[] = {
        {"msdrg_v43_cc_mcc.tsv", "code\tlevel\nA000\tCC\nA001\tXCC\n",
         "msdrg_v43_cc_mcc.tsv:3: the level must be CC or MCC"},
        {"msdrg_v43_cc_mcc.tsv", "code\tlevel\n9000\tCC\n", "msdrg_v43_cc_mcc.tsv:2: \"9000\" is no code"},
        {"msdrg_v43_cc_mcc.tsv", "code\tlevel\nA000\tCC\nA000\tMCC\n", "A00.0 is listed twice"},
        {"msdrg_v43_cc_mcc.tsv", "code\tlvl\n", "msdrg_v43_cc_mcc.tsv:1: the header must be"},
        {"msdrg_v43_cc_mcc.tsv", "code\tlevel\nA000\tCC\tx\n", "expected 2 tab-separated fields"},
        {"mce_v43_1_dx_edits.tsv", "code\tedit\tages\nO80\tage_maternity\t9-130\n",
         "mce_v43_1_dx_edits.tsv:2: ages must be LOW-HIGH within 0-124"},
        {"mce_v43_1_dx_edits.tsv", "code\tedit\tages\nO80\tage_elderly\t65-124\n", "unknown edit"},
        {"mce_v43_1_dx_edits.tsv", "code\tedit\tages\nD631\tunacceptable_pdx\t0-0\n",
         "only an age edit has ages"},
        {"cms_hcc_v28_py2026_dx.tsv", "code\thcc\nE1122\t9999\n", "HCC \"9999\" has no label"},
        {"cms_hcc_v28_hierarchies.tsv", "hcc\tdrops\n37\t37\n", "both HCCs must be labelled"},
        {"cms_hcc_v28_labels.tsv", "hcc\tlabel\n37\t\n", "cms_hcc_v28_labels.tsv:2: an empty label"},
        {"poa_exempt_fy2025.txt", "B90.0\nB900\n", "poa_exempt_fy2025.txt:2: \"B900\" is no code"},
    };
    for (const auto &row : rows) {
        std::string kept = Read(folder + "/" + row.file);
        Write(row.file, row.text);
        std::string out = std::string(folder) + "/edits.txt";
        std::string error;
        EditsSummary s = {};
        EXPECT_EQ(ConvertEditsFolder(folder.c_str(), out.c_str(), &s, &error), ERR_INVDATA)
            << row.file << " " << row.text;
        EXPECT_NE(error.find(row.error), std::string::npos) << error;
        EXPECT_TRUE(Read(out).empty()) << "nothing written";
        Write(row.file, kept);
    }
    std::string text, error;
    EditsSummary s = {};
    EXPECT_EQ(ConvertEditsText(folder.c_str(), &text, &s, &error), 0) << error;
    std::remove((folder + "/missing").c_str());
    EXPECT_EQ(ConvertEditsText((folder + "/missing").c_str(), &text, &s, &error), ERR_OPEN);
}
