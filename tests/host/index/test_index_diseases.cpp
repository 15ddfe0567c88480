// The Index to Diseases in a small set: manifestation codes in CODES and on the page, and see
// references of any index reaching its entries by the forms references write.
#include <gtest/gtest.h>

#include <string>

#include "classification/page_ref.h"
#include "index/index_page.h"
#include "index/index_refs.h"
#include "index_fixture.h"

namespace {

class IndexDiseasesTest : public ::testing::Test {
protected:
    void SetUp() override {
        IndexFixtureMake(&set,
            IndexFixtureFile("index",
                "L\tA\n"
                "E\t0\tAmyloid heart \x01(disease)\x02\nC\tE85.4\nM\tI43\n"       // 0
                "E\t0\tAbnormal, abnormality, abnormalities\n"                    // 1
                "E\t1\tpupillary\nC\tH21.56-\n"                                    // 2
                "E\t0\tComplication \x01(s) (from) (of)\x02\n"                   // 3
                "E\t1\tvaccination\nC\tT88.1\n"                                    // 4
                "E\t0\tConjunctivitis \x01(staphylococcal)\x02 NOS\nC\tH10.9\n"   // 5
                "E\t0\tLight-for-dates \x01(infant)\x02\nC\tP05.00\n"             // 6
                "E\t0\tMembrane \x01(s)\x02 , membranous\n"                      // 7
                "E\t1\tpupillary\nC\tQ13.89\n"                                     // 8
                "L\tS\n"
                "E\t0\tSlipped\n"                                                  // 9
                "E\t1\tepiphysis\nM\tSCFE\nS\tComplications, vaccination\n"),     // 10
            "", "",
            IndexFixtureFile("external",
                "L\tB\nE\t0\tBurn\nS\tIndex to Diseases and Injuries, Amyloid heart\n"));  // 11
    }
    void TearDown() override {
        IndexLinkMapFree(&links);
        IndexSetFree(&set);
    }
    std::string Codes(int32_t n) {
        char buffer[64];
        EXPECT_GE(IndexCodesWrite(&set, n, buffer, sizeof buffer), 0);
        return buffer;
    }
    std::string Page(int32_t n) {
        IndexFixturePage page;
        IndexFixturePageInit(&page);
        EXPECT_EQ(ComposeIndexPage(&set, nullptr, n, &links, &page.sink), 0);
        return page.marked;
    }
    IndexSet set = {};
    IndexLinkMap links = {};
};

}  // namespace

TEST_F(IndexDiseasesTest, ManifestationCodesFollowTheCodeInBrackets) {
    EXPECT_EQ(Codes(0), "E85.4 [I43]");
    EXPECT_EQ(Codes(10), "[SCFE] see Complications, vaccination");
    EXPECT_EQ(Codes(2), "H21.56-");
    // Without a record table the codes are plain; the entry's page says both are coded.
    EXPECT_EQ(Page(0),
              "Amyloid heart (disease)\n\nIndex to Diseases and Injuries\n\n"
              "Code: E85.4 [I43]\n"
              "Both are coded: E85.4 for the underlying condition first, then I43, the bracketed "
              "manifestation code, second.\n\n");
    EXPECT_EQ(Page(10),
              "Slipped > epiphysis\n\nIndex to Diseases and Injuries\n\n"
              "Manifestation: SCFE\nSee: <Complications, vaccination>\n\n");
    EXPECT_EQ(links.links[0].target, 4);
}

TEST_F(IndexDiseasesTest, ReferencesNameEntriesByTheFormsTheyWrite) {
    struct Case {
        const char *reference;
        int32_t entry;
    } cases[] = {
        {"Amyloid heart", 0},
        {"Abnormality, pupillary", 2},       // any comma-separated form of a title
        {"abnormalities, pupillary", 2},
        {"Complications, vaccination", 4},   // a plural of the title
        {"Complication(s), vaccination", 4},
        {"Conjunctivitis", 5},               // without " NOS"
        {"Light for dates", 6},              // a blank for a hyphen
        {"Membrane, pupillary", 8},          // the blank left by a modifier before a comma
        {"Index to Diseases and Injuries, Amyloid heart", 0},
        {"Complicationx, vaccination", -1},
        {"Abnorm", -1},
    };
    for (const Case &k : cases)
        EXPECT_EQ(IndexSeeTarget(&set, INDEX_KIND_EXTERNAL, k.reference), k.entry) << k.reference;
    EXPECT_EQ(Page(11), "Burn\n\nExternal Cause of Injuries Index\n\n"
                        "See: <Index to Diseases and Injuries, Amyloid heart>\n\n");
    EXPECT_EQ(links.links[0].target, 0);
    EXPECT_EQ(links.links[0].kind, PAGE_KIND_INDEX);
}
