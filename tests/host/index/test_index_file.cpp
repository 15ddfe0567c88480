// Index file reader: entries linked to their parent, first subterm and next sibling, items in
// place, modifiers without their markers, and every malformed line refused with nothing kept.
#include <gtest/gtest.h>

#include <string>

#include "foundation/mem.h"
#include "foundation/mem_inspect.h"
#include "foundation/status.h"
#include "index/index_file.h"
#include "index_fixture.h"

namespace {

const std::string kDrug = IndexFixtureFile("drug",
    "V\t2023\n"
    "H\t1\tSubstance\n"
    "H\t3\tPoisoning Intentional\n"
    "H\t2\tPoisoning Accidental\n"
    "L\tA\n"
    "E\t0\tAspirin \x01(aluminum) (soluble)\x02\n"
    "X\t2\tT39.011\n"
    "X\t3\t--\n"
    "E\t1\tbuffered \x01(x)\x02 NEC\n"
    "S\tDrug; other\n"
    "E\t2\tdeep\n"
    "E\t1\tplain\n"
    "L\tB\n"
    "E\t0\tBarium\n"
    "C\tT57.8X1\n");

}  // namespace

TEST(IndexFile, EntriesItemsAndHeadingsAreLinked) {
    IndexFile f = {};
    ASSERT_EQ(IndexFileParse(kDrug.data(), (int32_t)kDrug.size(), &f), 0);
    EXPECT_EQ(f.kind, INDEX_KIND_DRUG);
    EXPECT_STREQ(f.version, "2023");
    EXPECT_STREQ(f.title, "");
    EXPECT_EQ(f.columnCount, 3);
    EXPECT_STREQ(f.headings[2], "Poisoning Accidental");
    EXPECT_EQ(f.headings[4], nullptr);
    ASSERT_EQ(f.letterCount, 2);
    EXPECT_STREQ(f.letters[1], "B");
    ASSERT_EQ(f.entryCount, 5);
    const IndexEntry *e = f.entries;
    EXPECT_STREQ(e[0].title, "Aspirin (aluminum) (soluble)");
    EXPECT_STREQ(e[0].essential, "Aspirin");
    EXPECT_EQ(e[0].titleLength, 28);
    EXPECT_STREQ(e[1].title, "buffered (x) NEC");
    EXPECT_STREQ(e[1].essential, "buffered NEC");
    EXPECT_EQ(e[0].parent, -1);
    EXPECT_EQ(e[0].firstChild, 1);
    EXPECT_EQ(e[0].nextSibling, 4);
    EXPECT_EQ(e[1].parent, 0);
    EXPECT_EQ(e[1].nextSibling, 3);
    EXPECT_EQ(e[1].firstChild, 2);
    EXPECT_EQ(e[2].parent, 1);
    EXPECT_EQ(e[2].level, 2);
    EXPECT_EQ(e[3].nextSibling, -1);
    EXPECT_EQ(e[4].letter, 1);
    EXPECT_EQ(e[4].nextSibling, -1);
    ASSERT_EQ(e[0].itemCount, 2);
    EXPECT_EQ(f.items[e[0].firstItem + 1].kind, INDEX_ITEM_CELL);
    EXPECT_EQ(f.items[e[0].firstItem + 1].column, 3);
    EXPECT_STREQ(f.items[e[0].firstItem + 1].text, "--");
    ASSERT_EQ(e[1].itemCount, 1);
    EXPECT_STREQ(f.items[e[1].firstItem].text, "Drug; other");
    EXPECT_EQ(e[2].itemCount, 0);
    EXPECT_STREQ(f.items[e[4].firstItem].text, "T57.8X1");
    EXPECT_EQ(IndexFileFree(&f), 0);
    EXPECT_EQ(f.entries, nullptr);
}

TEST(IndexFile, MalformedFilesAreRefusedAndLeaveNothing) {
    struct Case {
        std::string text;
        int32_t status;
    } cases[] = {
        {"MORBIVUE-INDEX\t2\tdrug\n", ERR_INVFORMAT},
        {"MORBIVUE-INDEX\t1\tdiseases\n", ERR_INVFORMAT},
        {"engtextrecords\n", ERR_INVFORMAT},
        {IndexFixtureFile("drug", "L\tA\nE\t0\tA"), ERR_INVDATA},          // no final line feed
        {IndexFixtureFile("drug", "L\tA\nE\t1\tA\n"), ERR_INVDATA},        // level 1 first
        {IndexFixtureFile("drug", "L\tA\nE\t0\tA\nE\t2\tb\n"), ERR_INVDATA},  // level skipped
        {IndexFixtureFile("drug", "L\tA\nE\t16\tA\n"), ERR_INVDATA},
        {IndexFixtureFile("drug", "L\tA\nE\tx\tA\n"), ERR_INVDATA},
        {IndexFixtureFile("drug", "E\t0\tA\n"), ERR_INVDATA},              // before any letter
        {IndexFixtureFile("drug", "L\tA\nC\tA00\n"), ERR_INVDATA},         // item before entry
        {IndexFixtureFile("drug", "L\tA\nE\t0\tA\nQ\tx\n"), ERR_INVDATA},  // unknown tag
        {IndexFixtureFile("drug", "L\tA\nE\t0\tA\n\n"), ERR_INVDATA},      // empty line
        {IndexFixtureFile("drug", "L\tA\nE\t0\tA \x01x\n"), ERR_INVDATA},  // marker unclosed
        {IndexFixtureFile("drug", "L\tA\nE\t0\tA \x02x\n"), ERR_INVDATA},
        {IndexFixtureFile("drug", "L\tA\nE\t0\tA\tB\n"), ERR_INVDATA},     // a TAB in the text
        {IndexFixtureFile("drug", "L\tA\nE\t0\tA\nX\t17\tA00\n"), ERR_INVDATA},
        {IndexFixtureFile("drug", "L\tA\nE\t0\tA\nX\t2A00\n"), ERR_INVDATA},
        {IndexFixtureFile("drug", "H\t2\ta\nH\t2\tb\n"), ERR_INVDATA},     // heading twice
        {IndexFixtureFile("drug", std::string("L\tA\nE\t0\tA\0B\n", 12)), ERR_INVDATA},
    };
    StartMemoryTracer(1000);
    for (const Case &c : cases) {
        IndexFile f = {};
        f.entryCount = 99;
        EXPECT_EQ(IndexFileParse(c.text.data(), (int32_t)c.text.size(), &f), c.status) << c.text;
        EXPECT_EQ(f.entryCount, 0);
        EXPECT_EQ(f.text, nullptr);
    }
    TracerState traced = {};
    TracerGetState(&traced);
    EXPECT_EQ(traced.liveBlocks, 0);
    EXPECT_EQ(traced.errorCount, 0);
    StopMemoryTracer();
    IndexFile f = {};
    EXPECT_EQ(IndexFileParse("x", 0, &f), ERR_INVPARAM);
    EXPECT_EQ(IndexFileParse(nullptr, 5, &f), ERR_NULLPTR);
    EXPECT_EQ(IndexFileAdopt(nullptr, 5, &f), ERR_NULLPTR);
}

TEST(IndexFile, KindNames) {
    EXPECT_STREQ(IndexKindName(INDEX_KIND_DISEASES), "index");
    EXPECT_STREQ(IndexKindName(INDEX_KIND_EXTERNAL), "external");
    EXPECT_STREQ(IndexKindName(9), "");
    EXPECT_EQ(IndexKindFromName("neoplasm"), INDEX_KIND_NEOPLASM);
    EXPECT_EQ(IndexKindFromName("Neoplasm"), -1);
}
