// Tests of the addenda converter on small files written here, each kind of bad input, the
// folder step, and the real addenda when the build found them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/status.h"
#include "tools/convert/addenda_converter.h"
#include "tools/convert/addenda_folder.h"

namespace {

// A change line in the order file's columns.
std::string Line(const char *kind, int flag, const std::string &code, const std::string &title,
                 const std::string &shortTitle = "")
{
    char buffer[512];
    snprintf(buffer, sizeof buffer, "%-13s%d %-7s %-60s %s\r\n", kind, flag, code.c_str(),
             (shortTitle.empty() ? title.substr(0, 60) : shortTitle).c_str(), title.c_str());
    return buffer;
}

struct Counts {
    long before, after, added, deleted, revised, both, longOnly, shortOnly;
};

std::string Section(const char *caption, const char *unit, const Counts &c, const char *year)
{
    std::ostringstream s;
    s << caption << "\r\n"
      << "  " << c.before << " " << unit << " in icd10cm_order_" << year << ".txt\r\n"
      << "  " << c.after << " " << unit << " in icd10cm_order_" << year << ".txt\r\n"
      << "     " << c.added << " additions\r\n"
      << "     " << c.deleted << " deletions\r\n"
      << "     " << c.revised << " revisions\r\n"
      << "of which\r\n"
      << "     " << c.both << " revisions to both long and short titles\r\n"
      << "     " << c.longOnly << " revisions to long title only\r\n"
      << "     " << c.shortOnly << " revisions to short title only\r\n";
    return s.str();
}

std::string Summary(const Counts &headers, const Counts &codes, const char *year = "2024")
{
    return "\r\n" + Section("Headers", "headers", headers, year) + "\r\n" +
           Section("Codes", "codes", codes, year);
}

// A small release: two codes added, a split (with its new codes), a revision, a short-title-only
// revision and a deletion.
std::string SmallRelease()
{
    return Line("Add:", 1, "A4154", "Sepsis due to Acinetobacter baumannii") +
           Line("Delete:", 1, "D139", "Benign neoplasm of digestive system") +
           Line("Add:", 0, "D139", "Benign neoplasm of digestive system") +
           Line("Add:", 1, "D1391", "Familial adenomatous polyposis") +
           Line("Revise from:", 1, "A7741", "Ehrlichiosis chafeensis") +
           Line("Revise to:", 1, "A7741", "Ehrlichiosis chaffeensis") +
           Line("Revise from:", 1, "M3215", "Nephropathy in lupus", "Old short") +
           Line("Revise to:", 1, "M3215", "Nephropathy in lupus", "New short") +
           Line("Delete:", 1, "T8132XA", "Disruption of wound, initial encounter") +
           Summary({100, 101, 1, 0, 0, 0, 0, 0}, {500, 500, 2, 2, 2, 1, 0, 1});
}

struct Result {
    int32_t status;
    std::string output;
    std::string error;
    AddendaSummary summary;
};

Result Convert(const std::vector<AddendaInput> &files)
{
    Result r;
    r.summary = {};
    r.status = ConvertAddenda(files, &r.output, &r.summary, &r.error);
    return r;
}

Result ConvertOne(const std::string &text, const std::string &name = "icd10cm_order_addenda_2024.txt")
{
    return Convert({{name, text}});
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(AddendaConvert, ReleaseComesFromTheFileName)
{
    std::string release;
    uint32_t fy2024 = 0, april2023 = 0, fy2023 = 0;
    ASSERT_EQ(AddendaReleaseOfName("icd10cm_order_addenda_2024.txt", &release, &fy2024), 0);
    EXPECT_EQ(release, "2024");
    ASSERT_EQ(AddendaReleaseOfName("icd10cm_order_addenda_2023_april.txt", &release, &april2023), 0);
    EXPECT_EQ(release, "2023-04");
    ASSERT_EQ(AddendaReleaseOfName("icd10cm_order_addenda_2023.txt", &release, &fy2023), 0);
    EXPECT_LT(fy2023, april2023) << "April 2023 updates FY2023";
    EXPECT_LT(april2023, fy2024);
    for (const char *bad : {"icd10cm_order_addenda_24.txt", "icd10cm_order_addenda_2024.TXT",
                            "icd10cm_order_addenda_2024_june.txt", "order_addenda_2024.txt",
                            "icd10cm_order_addenda_20x4.txt", "README.md"}) {
        EXPECT_EQ(AddendaReleaseOfName(bad, &release, &fy2024), ERR_INVFORMAT) << bad;
    }
}

TEST(AddendaConvert, WritesOneLinePerChangeWithPairsJoined)
{
    Result r = ConvertOne(SmallRelease());
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.output,
              "morbivue-changes\t1\t1\n"
              "release\t2024\t5\n"
              "A\t1\tA41.54\tSepsis due to Acinetobacter baumannii\n"
              "S\t0\tD13.9\tBenign neoplasm of digestive system\t1\t"
              "Benign neoplasm of digestive system\n"
              "A\t1\tD13.91\tFamilial adenomatous polyposis\n"
              "R\t1\tA77.41\tEhrlichiosis chaffeensis\t1\tEhrlichiosis chafeensis\n"
              "D\t1\tT81.32XA\tDisruption of wound, initial encounter\n");
    ASSERT_EQ(r.summary.releases.size(), 1u);
    const AddendaRelease &counts = r.summary.releases[0];
    EXPECT_EQ(counts.added, 2u);
    EXPECT_EQ(counts.split, 1u);
    EXPECT_EQ(counts.revised, 1u);
    EXPECT_EQ(counts.deleted, 1u);
    EXPECT_EQ(counts.shortOnly, 1u);
    EXPECT_EQ(r.summary.outputBytes, r.output.size());
}

TEST(AddendaConvert, ReleasesGoInTimeOrderWhateverTheFileOrder)
{
    std::string april = Line("Add:", 1, "T74A1XA", "Adult financial abuse, initial encounter") +
                        Summary({10, 10, 0, 0, 0, 0, 0, 0}, {400, 401, 1, 0, 0, 0, 0, 0}, "2023");
    std::string fy2024 = Line("Add:", 1, "A4154", "Sepsis") +
                         Summary({10, 10, 0, 0, 0, 0, 0, 0}, {401, 402, 1, 0, 0, 0, 0, 0});
    std::string empty = "\r\n" + Section("Headers", "headers", {10, 10, 0, 0, 0, 0, 0, 0}, "2025") +
                        "\r\n" + Section("Codes", "codes", {402, 402, 0, 0, 0, 0, 0, 0}, "2025");
    Result r = Convert({{"icd10cm_order_addenda_2025.txt", empty},
                        {"icd10cm_order_addenda_2024.txt", fy2024},
                        {"icd10cm_order_addenda_2023_april.txt", april}});
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.output,
              "morbivue-changes\t1\t3\n"
              "release\t2023-04\t1\n"
              "A\t1\tT74.A1XA\tAdult financial abuse, initial encounter\n"
              "release\t2024\t1\n"
              "A\t1\tA41.54\tSepsis\n"
              "release\t2025\t0\n");
    Result none = Convert({});
    ASSERT_EQ(none.status, 0);
    EXPECT_EQ(none.output, "morbivue-changes\t1\t0\n");

    // Without FY2024 the FY2025 file starts from counts no release ended with.
    Result gap = Convert({{"icd10cm_order_addenda_2025.txt", empty},
                          {"icd10cm_order_addenda_2023_april.txt", april}});
    EXPECT_EQ(gap.status, ERR_INVVALUE);
    EXPECT_EQ(gap.error.rfind("icd10cm_order_addenda_2025.txt:14: starts from 402 codes", 0), 0u)
        << gap.error;
    Result twice = Convert({{"icd10cm_order_addenda_2024.txt", fy2024},
                            {"icd10cm_order_addenda_2024.txt", fy2024}});
    EXPECT_EQ(twice.status, ERR_INVFORMAT);
    EXPECT_NE(twice.error.find("a second file of release 2024"), std::string::npos) << twice.error;
    Result badName = Convert({{"icd10cm_order_addenda_next.txt", fy2024}});
    EXPECT_EQ(badName.status, ERR_INVFORMAT);
    EXPECT_EQ(badName.error.rfind("icd10cm_order_addenda_next.txt: not an addenda file name", 0),
              0u)
        << badName.error;
}

// Every kind of bad input stops the conversion with the file, the line and the reason.
TEST(AddendaConvert, BadInputNamesFileLineAndReason)
{
    const std::string good = SmallRelease();
    const std::string add = Line("Add:", 1, "A4154", "Sepsis due to Acinetobacter baumannii");
    const std::string tail = good.substr(add.size());
    struct Case {
        const char *what;
        std::string text;
        int32_t status;
        const char *error;
    } cases[] = {
        {"unknown kind", "Modify:      1 A4154   x\r\n" + tail, ERR_INVDATA,
         ":1: unknown line kind \"Modify:\""},
        {"short line", add.substr(0, 80) + "\r\n" + tail, ERR_INVDATA, ":1: short line (80"},
        {"long line", Line("Add:", 1, "A4154", std::string(256, 'x')) + tail, ERR_INVDATA,
         ":1: long line (340 characters, at most 339)"},
        {"flag", "Add:         2" + add.substr(14) + tail, ERR_INVDATA,
         ":1: the flag is neither 0 nor 1"},
        {"kind not padded", "Add:  " + add.substr(13) + tail, ERR_INVDATA,
         ":1: the flag is not in column 14"},
        {"column shifted", "Add:         1 A4154XYZ" + add.substr(23) + tail, ERR_INVDATA,
         ":1: columns out of place"},
        {"bad code", Line("Add:", 1, "a4154", "Sepsis") + tail, ERR_INVDATA,
         ":1: bad code \"a4154\""},
        {"code with a blank", Line("Add:", 1, "A41 54", "Sepsis") + tail, ERR_INVDATA,
         ":1: bad code \"A41 54\""},
        {"tab in a title", Line("Add:", 1, "A4154", "Sepsis\tdue") + tail, ERR_INVDATA,
         ":1: a character that is not printable ASCII (byte 9)"},
        {"no long title", add.substr(0, 84) + "   \r\n" + tail, ERR_INVDATA, ":1: no long title"},
        {"changed twice", add + good, ERR_INVDATA,
         ":2: A4154 changed twice in one release (also on line 1)"},
        {"added then deleted", add + Line("Delete:", 1, "A4154", "Sepsis") + tail, ERR_INVDATA,
         ":2: A4154 changed twice in one release (also on line 1)"},
        {"deleted and added billable", Line("Delete:", 1, "A4154", "Sepsis") + add + tail,
         ERR_INVDATA, ":2: A4154 changed twice in one release (also on line 1)"},
        {"revise from alone", Line("Revise from:", 1, "A4154", "Sepsis") + tail, ERR_INVDATA,
         ":1: Revise from: not followed by the Revise to: of A4154"},
        {"revise to alone", Line("Revise to:", 1, "A4154", "Sepsis") + tail, ERR_INVDATA,
         ":1: Revise to: without a Revise from:"},
        {"no summary", good.substr(0, good.find("\r\n\r\n") + 2), ERR_INVVALUE,
         ":9: no summary after the changes"},
        {"summary cut", good.substr(0, good.find("of which")), ERR_INVVALUE,
         ":16: the summary ends early: \"of which\" is missing"},
        {"summary line changed",
         good.substr(0, good.find("     0 deletions")) + "     0 removals" +
             good.substr(good.find("     0 deletions") + 16),
         ERR_INVVALUE, ":15: summary: expected \"N deletions\""},
        {"count differs", good.substr(0, good.rfind("2 additions")) + "3 additions" +
                              good.substr(good.rfind("2 additions") + 11),
         ERR_INVVALUE, ":25: the summary says 3 additions of codes, the file has 2"},
        {"total differs", good.substr(0, good.rfind("500 codes")) + "502 codes" +
                              good.substr(good.rfind("500 codes") + 9),
         ERR_INVVALUE, ":24: 500 + 2 - 2 is not 502"},
        {"text after the summary", good + "\r\nThe end\r\n", ERR_INVVALUE,
         ":33: text after the summary"},
    };
    for (const Case &c : cases) {
        Result r = ConvertOne(c.text);
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.error;
        EXPECT_EQ(r.error.rfind(std::string("icd10cm_order_addenda_2024.txt") + c.error, 0), 0u)
            << c.what << ": " << r.error;
        EXPECT_TRUE(r.output.empty()) << c.what;
    }
}

TEST(AddendaConvert, FolderStepReadsOnlyAddendaAndKeepsTheOutputOnFailure)
{
    char dir[] = "/tmp/addenda_test_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string folder = dir;
    std::string output = folder + "/out/changes.txt";
    ASSERT_EQ(mkdir((folder + "/out").c_str(), 0700), 0);
    std::ofstream(folder + "/icd10cm_order_addenda_2024.txt", std::ios::binary) << SmallRelease();
    std::ofstream(folder + "/README.md") << "not an addenda file\n";
    AddendaSummary summary = {};
    std::string error;
    ASSERT_EQ(ConvertAddendaFolder(folder.c_str(), output.c_str(), &summary, &error), 0) << error;
    std::string written = ReadFile(output);
    EXPECT_EQ(written.rfind("morbivue-changes\t1\t1\nrelease\t2024\t5\n", 0), 0u) << written;

    std::ofstream(folder + "/icd10cm_order_addenda_2025.txt", std::ios::binary) << "Add: x\r\n";
    EXPECT_EQ(ConvertAddendaFolder(folder.c_str(), output.c_str(), &summary, &error), ERR_INVDATA);
    EXPECT_EQ(error, folder + "/icd10cm_order_addenda_2025.txt:1: the flag is not in column 14");
    EXPECT_EQ(ReadFile(output), written) << "a failed run leaves the last entry alone";
    EXPECT_EQ(ConvertAddendaFolder((folder + "/none").c_str(), output.c_str(), &summary, &error),
              ERR_OPEN);

    for (const char *name : {"/icd10cm_order_addenda_2024.txt", "/icd10cm_order_addenda_2025.txt",
                             "/README.md", "/out/changes.txt"}) {
        unlink((folder + name).c_str());
    }
    rmdir((folder + "/out").c_str());
    rmdir(dir);
}

TEST(AddendaConvert, RealAddendaFromApril2023ToFy2027)
{
#ifdef MORBIVUE_ADDENDA_DIR_PATH
    std::string folder = MORBIVUE_ADDENDA_DIR_PATH;
#else
    std::string folder;
#endif
    if (ReadFile(folder + "/icd10cm_order_addenda_2026.txt").empty()) {
        GTEST_SKIP() << "the FY2026 addenda are not in the configured folder";
    }
    char path[] = "/tmp/addenda_real_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    AddendaSummary summary = {};
    std::string error;
    ASSERT_EQ(ConvertAddendaFolder(folder.c_str(), path, &summary, &error), 0) << error;
    std::string entry = ReadFile(path);
    unlink(path);
    ASSERT_EQ(summary.releases.size(), 5u);
    struct Expected {
        const char *name;
        uint32_t added, deleted, revised, split, shortOnly;
    } expected[] = {
        {"2023-04", 50, 0, 1, 7, 0},
        {"2024", 501, 0, 17, 25, 9},
        {"2025", 291, 3, 14, 33, 0},
        {"2026", 614, 12, 45, 16, 0},
        {"2027", 238, 21, 4, 15, 0},
    };
    uint32_t deleted = 0, split = 0, billableAdded = 0;
    for (size_t k = 0; k < 5; k++) {
        const AddendaRelease &r = summary.releases[k];
        EXPECT_EQ(r.name, expected[k].name);
        EXPECT_EQ(r.added, expected[k].added) << r.name;
        EXPECT_EQ(r.deleted, expected[k].deleted) << r.name;
        EXPECT_EQ(r.revised, expected[k].revised) << r.name;
        EXPECT_EQ(r.split, expected[k].split) << r.name;
        EXPECT_EQ(r.shortOnly, expected[k].shortOnly) << r.name;
        deleted += r.deleted;
        split += r.split;
    }
    for (size_t at = entry.find("\nA\t1\t"); at != std::string::npos;
         at = entry.find("\nA\t1\t", at + 1)) {
        billableAdded++;
    }
    // The counts the issue gives for FY2023 to FY2026, and FY2027's on top.
    EXPECT_EQ(deleted, 15u + 21u);
    EXPECT_EQ(split, 81u + 15u);
    EXPECT_EQ(billableAdded, 1176u + 190u);
    EXPECT_NE(entry.find("\nrelease\t2024\t543\n"), std::string::npos);
    EXPECT_NE(entry.find("\nS\t0\tD13.9\tBenign neoplasm of ill-defined sites within the digestive "
                         "system\t1\tBenign neoplasm of ill-defined sites within the digestive "
                         "system\n"),
              std::string::npos);
    EXPECT_NE(entry.find("\nD\t1\tT81.32XA\tDisruption of internal operation (surgical) wound, not "
                         "elsewhere classified, initial encounter\n"),
              std::string::npos);
}
