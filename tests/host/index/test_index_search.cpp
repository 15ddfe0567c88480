// Index search: every typed word must begin a word of the entry's path, ignoring case; hits in
// book order; repeated and excess words cost nothing extra; paths and codes as listed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/status.h"
#include "index/index_search.h"
#include "index_fixture.h"

namespace {

class IndexSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        IndexFixtureMake(&set,
            "",
            IndexFixtureFile("neoplasm",
                "H\t1\tNeoplasm\nH\t2\tMalignant\nH\t3\tSecondary\nH\t4\tIn situ\n"
                "L\tN\n"
                "E\t0\tNeoplasm, neoplastic\nX\t2\tC80.1\nX\t3\tC79.9\nX\t4\tD09.9\n"
                "E\t1\tlung\nX\t2\tC34.9-\nX\t4\t-\n"
                "E\t2\tupper lobe\nX\t2\tC34.1-\nX\t3\tC78.0-\nX\t4\tD02.2-\n"
                "E\t1\tbronchus\n"
                "E\t2\tupper lobe of lung\nX\t2\tC34.1-\n"),
            IndexFixtureFile("drug",
                "H\t1\tSubstance\nH\t2\tAccidental\nH\t3\tSelf-harm\n"
                "L\tA\nE\t0\tAspirin \x01(aluminum)\x02\nX\t2\tT39.011\nX\t3\t--\n"),
            IndexFixtureFile("external",
                "L\tA\nE\t0\tAccident \x01(to)\x02\nC\tX58\n"
                "E\t1\ttransport\nB\tT75.0\nK\tT71\n"
                "E\t2\taircraft\nC\tV95.9\nC\tV97.0\n"
                "E\t1\tanimal-rider\nK\tT71\n"
                "E\t1\tquarry\n"));
    }
    void TearDown() override {
        IndexSearchClear(&search);
        IndexSetFree(&set);
    }
    std::vector<std::string> Paths(const char *phrase) {
        std::vector<std::string> paths;
        EXPECT_GE(IndexSearchRun(&search, &set, phrase, nullptr, nullptr), 0) << phrase;
        for (int32_t i = 0; i < search.hitCount; i++) {
            char buffer[256];
            IndexPathWrite(&set, search.hits[i], buffer, sizeof buffer);
            paths.push_back(buffer);
        }
        return paths;
    }
    std::string Codes(int32_t n) {
        char buffer[256];
        EXPECT_GE(IndexCodesWrite(&set, n, buffer, sizeof buffer), 0);
        return buffer;
    }
    IndexSet set = {};
    IndexSearch search = {};
};

using PathList = std::vector<std::string>;

}  // namespace

TEST_F(IndexSearchTest, EveryWordBeginsAWordOfThePathIgnoringCase) {
    EXPECT_EQ(Paths("lung upper"),
              (PathList{"Neoplasm, neoplastic > lung > upper lobe",
                     "Neoplasm, neoplastic > bronchus > upper lobe of lung"}));
    EXPECT_EQ(Paths("UPPER lung Lung"), Paths("lung upper"));
    EXPECT_EQ(Paths("asp"), (PathList{"Aspirin (aluminum)"}));
    EXPECT_EQ(Paths("alum"), (PathList{"Aspirin (aluminum)"}));  // modifiers are in the path
    EXPECT_EQ(Paths("spirin"), PathList{});                        // not at a word's start
    EXPECT_EQ(Paths("rider"), (PathList{"Accident (to) > animal-rider"}));
    EXPECT_EQ(Paths("accident air"), (PathList{"Accident (to) > transport > aircraft"}));
    EXPECT_EQ(Paths("lung aspirin"), PathList{});
}

TEST_F(IndexSearchTest, HitsComeInBookOrderThroughTheCallback) {
    std::vector<int32_t> seen;
    auto collect = [](void *context, int32_t number, int32_t entry) {
        auto *v = (std::vector<int32_t> *)context;
        EXPECT_EQ(number, (int32_t)v->size());
        v->push_back(entry);
    };
    ASSERT_EQ(IndexSearchRun(&search, &set, "a", collect, &seen), 0);
    // "a" begins aspirin, aluminum, accident, aircraft, animal-rider.
    EXPECT_EQ(seen, (std::vector<int32_t>{5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(search.hitCount, 6);
    EXPECT_STREQ(search.phrase, "a");
}

TEST_F(IndexSearchTest, SeparatorAndOddPhrases) {
    // ">" stands between the titles of every subterm's path.
    EXPECT_EQ(Paths("> aircraft"), (PathList{"Accident (to) > transport > aircraft"}));
    EXPECT_EQ(Paths("> aspirin"), PathList{});
    EXPECT_EQ(IndexSearchRun(&search, &set, "  \t ", nullptr, nullptr), ERR_EMPTY);
    EXPECT_EQ(search.hitCount, 0);
    std::string many;
    for (int i = 0; i < 10000; i++) many += "w" + std::to_string(i) + " ";
    EXPECT_EQ(Paths(many.c_str()), PathList{});
    std::string same;
    for (int i = 0; i < 10000; i++) same += "quarry ";
    EXPECT_EQ(Paths(same.c_str()), (PathList{"Accident (to) > quarry"}));
    EXPECT_EQ(IndexSearchRun(nullptr, &set, "a", nullptr, nullptr), ERR_NULLPTR);
    EXPECT_EQ(IndexEntryMatches(&set, 2, "upper LUNG"), 1);
    EXPECT_EQ(IndexEntryMatches(&set, 2, "upper bronchus"), 0);
    EXPECT_EQ(IndexEntryMatches(&set, 99, "a"), 0);
}

TEST_F(IndexSearchTest, CodesOfTablesAndOfIndexes) {
    EXPECT_EQ(Codes(0), "C80.1 C79.9 D09.9");
    EXPECT_EQ(Codes(1), "C34.9- - -");      // a "-" cell and a missing one
    EXPECT_EQ(Codes(3), "- - -");           // no cells at all
    EXPECT_EQ(Codes(5), "T39.011 -");       // "--"
    EXPECT_EQ(Codes(6), "X58");
    EXPECT_EQ(Codes(7), "T75.0");           // subcat before seecat
    EXPECT_EQ(Codes(8), "V95.9 V97.0");
    EXPECT_EQ(Codes(9), "T71");
    EXPECT_EQ(Codes(10), "");
    char small[6];
    EXPECT_EQ(IndexPathWrite(&set, 2, small, sizeof small), 40);
    EXPECT_STREQ(small, "Neopl");
    EXPECT_EQ(IndexPathWrite(&set, 2, nullptr, 0), 40);
    EXPECT_EQ(IndexPathWrite(&set, -1, small, sizeof small), ERR_INVINDEX);
    EXPECT_EQ(IndexCodesWrite(&set, 11, small, sizeof small), ERR_INVINDEX);
}

TEST_F(IndexSearchTest, SetNumbersEntriesThroughTheFilesInBookOrder) {
    EXPECT_EQ(set.entryCount, 11);
    EXPECT_EQ(set.base[INDEX_KIND_NEOPLASM], 0);
    EXPECT_EQ(set.base[INDEX_KIND_DRUG], 5);
    EXPECT_EQ(set.base[INDEX_KIND_EXTERNAL], 6);
    uint16_t kind = 99;
    EXPECT_EQ(IndexSetEntry(&set, 5, &kind), &set.files[INDEX_KIND_DRUG].entries[0]);
    EXPECT_EQ(kind, INDEX_KIND_DRUG);
    EXPECT_EQ(IndexSetEntry(&set, 11, &kind), nullptr);
    EXPECT_EQ(IndexSetNumber(&set, INDEX_KIND_EXTERNAL, 4), 10);
    EXPECT_EQ(IndexSetNumber(&set, INDEX_KIND_EXTERNAL, 5), -1);
    EXPECT_STREQ(IndexDisplayName(INDEX_KIND_EXTERNAL), "External causes");
}
