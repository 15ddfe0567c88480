// Index page composition: heading, cells, items and subterms in order, every link mapped by
// its position to where it leads, references that name nothing left as plain text.
#include <gtest/gtest.h>

#include <string>

#include "classification/page_ref.h"
#include "foundation/status.h"
#include "index/index_page.h"
#include "index/index_refs.h"
#include "index_fixture.h"

namespace {

// Records the page as text, links between '[' and ']', and the fonts asked for.
struct Recorder {
    std::string text;
    std::string marked;
    int fonts = 0;
};

void OnFont(void *c, const char *, int32_t, uint16_t) { ((Recorder *)c)->fonts++; }
void OnLink(void *c, int32_t on) { ((Recorder *)c)->marked += on ? "[" : "]"; }
void OnText(void *c, const char *text, int32_t length) {
    EXPECT_GT(length, 0);
    EXPECT_LE(length, VIEW_PIECE_CHARS);
    EXPECT_EQ(text[length], '\0');
    ((Recorder *)c)->text.append(text, (size_t)length);
    ((Recorder *)c)->marked.append(text, (size_t)length);
}

class IndexPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        IndexFixtureMake(&set, "", "",
            IndexFixtureFile("drug",
                "H\t1\tSubstance\nH\t2\tAccidental\nH\t3\tSelf-harm\n"
                "L\tA\nE\t0\tAspirin\nX\t2\tT39.011\nX\t3\t--\nA\tAccident, transport\n"),
            IndexFixtureFile("external",
                "L\tA\nE\t0\tAccident \x01(to)\x02\nC\tX58\n"
                "E\t1\tboat, boating\nS\tAccident, transport, watercraft\n"
                "E\t1\ttransport\nS\tAccident, transport, aircraft, fictional\n"
                "E\t2\taircraft\n"
                "E\t2\tNEC\nS\tsubcategories T74.0,\n"
                "E\t1\tNEC\nM\tnot a code\nS\tAccident, boat, boating\n"));
    }
    void TearDown() override {
        IndexLinkMapFree(&links);
        IndexSetFree(&set);
    }
    Recorder Compose(int32_t n) {
        Recorder r;
        PageSink sink = {&r, OnFont, nullptr, OnLink, OnText};
        EXPECT_EQ(ComposeIndexPage(&set, nullptr, n, &links, &sink), 0);
        return r;
    }
    IndexSet set = {};
    IndexLinkMap links = {};
};

}  // namespace

TEST_F(IndexPageTest, MainTermPageListsItsItemsAndSubtermsAsLinks) {
    Recorder r = Compose(1);
    EXPECT_EQ(r.marked,
              "Accident (to)\n\nExternal Cause of Injuries Index\n\n"
              "Code: X58\n\n"
              "Subterms:\n[boat, boating]\n[transport]\n[NEC]\n");
    EXPECT_EQ(r.fonts, 2);
    ASSERT_EQ(links.linkCount, 3);
    EXPECT_EQ(links.links[0].kind, PAGE_KIND_INDEX);
    EXPECT_EQ(links.links[0].target, 2);
    EXPECT_EQ(links.links[2].target, 6);
    // Each link's position is where its text stands on the page.
    for (int32_t i = 0; i < links.linkCount; i++) {
        const IndexLink &l = links.links[i];
        EXPECT_EQ(IndexLinkAt(&links, l.start), &l);
        EXPECT_EQ(IndexLinkAt(&links, l.start + l.length - 1), &l);
        EXPECT_EQ(IndexLinkAt(&links, l.start + l.length), i + 1 < links.linkCount &&
                  links.links[i + 1].start == l.start + l.length ? &links.links[i + 1] : nullptr);
    }
    EXPECT_EQ(r.text.substr(links.links[1].start, links.links[1].length), "transport");
    EXPECT_EQ(IndexLinkAt(&links, 0), nullptr);
}

TEST_F(IndexPageTest, TableCellsSeeReferencesAndUnknownTargets) {
    Recorder drug = Compose(0);
    EXPECT_EQ(drug.marked,
              "Aspirin\n\nTable of Drugs and Chemicals\n\n"
              "Accidental: T39.011\nSelf-harm: none\n\n"  // no record table: codes are plain
              "See also: [Accident, transport]\n\n");
    EXPECT_EQ(links.links[0].target, 3);
    // A path that goes on past what exists leads to its deepest entry; one whose main term is
    // not there is plain text; a main term named by its title before the comma is found.
    EXPECT_EQ(Compose(3).marked,
              "Accident (to) > transport\n\nExternal Cause of Injuries Index\n\n"
              "See: [Accident, transport, aircraft, fictional]\n\n"
              "Subterms:\n[aircraft]\n[NEC]\n");
    EXPECT_EQ(links.links[0].target, 4);
    EXPECT_EQ(Compose(5).marked,
              "Accident (to) > transport > NEC\n\nExternal Cause of Injuries Index\n\n"
              "See: subcategories T74.0,\n\n");
    EXPECT_EQ(links.linkCount, 0);
    EXPECT_EQ(Compose(6).marked,
              "Accident (to) > NEC\n\nExternal Cause of Injuries Index\n\n"
              "Manifestation: not a code\nSee: [Accident, boat, boating]\n\n");
    EXPECT_EQ(links.links[0].target, 2);
    EXPECT_EQ(IndexSeeTarget(&set, INDEX_KIND_EXTERNAL, "Aspirin"), 0);  // other indexes too
    EXPECT_EQ(IndexSeeTarget(&set, INDEX_KIND_EXTERNAL, "Accident, watercraft"), 1);
    EXPECT_EQ(IndexSeeTarget(&set, INDEX_KIND_EXTERNAL, "Acc"), -1);
    EXPECT_EQ(IndexSeeTarget(&set, INDEX_KIND_EXTERNAL, ""), -1);
}

TEST_F(IndexPageTest, BadArguments) {
    PageSink sink = {};
    EXPECT_EQ(ComposeIndexPage(&set, nullptr, 8, &links, &sink), ERR_INVINDEX);
    EXPECT_EQ(ComposeIndexPage(&set, nullptr, 0, nullptr, &sink), ERR_NULLPTR);
    EXPECT_EQ(ComposeIndexPage(nullptr, nullptr, 0, &links, &sink), ERR_NULLPTR);
    EXPECT_EQ(ComposeIndexPage(&set, nullptr, 0, &links, &sink), 0);  // all steps skipped
}
