// The index entries of record pages on the linked data: which entries lead to which record,
// the section as the page ends with it, and the Index tab's search that lists them all.
#include <gtest/gtest.h>

#include <string>

#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "classification/seventh_chars.h"
#include "index/index_backrefs.h"
#include "index/index_entries_page.h"
#include "index_fixture.h"

namespace {

class IndexBackrefsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(IndexSetLoad(&set), 0);
        ASSERT_EQ(RecordTableLoad(&table, "engtextrecords.dat"), 0);
        ASSERT_EQ(SeventhCharLoad(&sevenths, &table), 0);
        ASSERT_EQ(IndexBackrefsBuild(&refs, &set, &table, &sevenths), 0);
    }
    static void TearDownTestSuite() {
        IndexBackrefsFree(&refs);
        SeventhCharFree(&sevenths);
        RecordTableFree(&table);
        IndexSetFree(&set);
    }
    static int32_t Record(const char *code) { return IndexBackrefsRecordFor(&table, &sevenths, code); }
    // The section of the record with code, as it follows a page of 100 characters.
    std::string Section(const char *code) {
        IndexFixturePage page;
        IndexFixturePageInit(&page);
        EXPECT_EQ(ComposeIndexEntries(&set, &refs, Record(code), 100, &links, &page.sink), 0);
        return page.marked;
    }
    std::string Path(int32_t n) {
        char path[1024];
        IndexPathWrite(&set, n, path, sizeof path);
        return path;
    }
    void TearDown() override { IndexLinkMapFree(&links); }
    static IndexSet set;
    static RecordTable table;
    static SeventhCharTable sevenths;
    static IndexBackrefs refs;
    IndexLinkMap links = {};
};
IndexSet IndexBackrefsTest::set = {};
RecordTable IndexBackrefsTest::table = {};
SeventhCharTable IndexBackrefsTest::sevenths = {};
IndexBackrefs IndexBackrefsTest::refs = {};

}  // namespace

TEST_F(IndexBackrefsTest, DiabeticChronicKidneyDiseaseListsItsTwoEntries) {
    EXPECT_EQ(Section("E11.22"),
              "Index entries:\n"
              "<Diabetes, diabetic (mellitus) (sugar) > with > chronic kidney disease>\n"
              "<Diabetes, diabetic (mellitus) (sugar) > type 2 > with > chronic kidney disease>\n");
    ASSERT_EQ(links.linkCount, 2);
    EXPECT_EQ(links.links[0].start, 100 + 15);  // after the page and the caption
    EXPECT_EQ(links.links[0].kind, PAGE_KIND_INDEX);
    EXPECT_EQ(Path(links.links[1].target).size(), (size_t)links.links[1].length);
}

// What leads to a record: its codes, manifestation codes and cells, complete codes naming their
// leaf, a header's codes below it, and a dashed code for the codes below the one it names.
TEST_F(IndexBackrefsTest, EachWayAnEntryLeadsToARecord) {
    struct Case {
        const char *code;
        const char *path;
    } cases[] = {
        {"E85.4", "Amyloid heart (disease)"},                                  // code
        {"I43", "Amyloid heart (disease)"},                                    // manifestation
        {"T39.012", "Aspirin (aluminum) (soluble)"},                           // table cell
        {"C34.11", "Neoplasm, neoplastic > lung > upper lobe"},                // dashed cell
        {"S52.121A", "Fracture, traumatic (abduction) (adduction) (separation) > radius > upper "
                     "end > head (displaced)"},                                // S52.12- for a leaf
        {"E11.2", "Diabetes, diabetic (mellitus) (sugar) > with > chronic kidney disease"},
        {"E08-E13", "Diabetes, diabetic (mellitus) (sugar) > with > chronic kidney disease"},
    };
    for (const Case &k : cases) {
        int32_t count = 0;
        const int32_t *entries = IndexBackrefsOf(&refs, Record(k.code), &count);
        ASSERT_NE(entries, nullptr) << k.code;
        bool found = false;
        for (int32_t i = 0; i < count && !found; i++) found = Path(entries[i]) == k.path;
        EXPECT_TRUE(found) << k.code << " lacks " << k.path;
        for (int32_t i = 1; i < count; i++) EXPECT_LT(entries[i - 1], entries[i]) << k.code;
    }
    // A dashed code does not lead to the records beside the one it names.
    int32_t count = 0;
    const int32_t *entries = IndexBackrefsOf(&refs, Record("S52.131A"), &count);
    for (int32_t i = 0; i < count; i++)
        EXPECT_EQ(Path(entries[i]).find("> head (displaced)"), std::string::npos);
    EXPECT_GT(refs.codeCount, 61983 + 10916 + 43182 / 2);
    EXPECT_LT(refs.unknownCount, refs.codeCount / 100);
}

TEST_F(IndexBackrefsTest, BeyondFiftyALastLineCountsTheRestAndTheSearchListsThemAll) {
    const int32_t e11 = Record("E11");
    int32_t count = 0;
    const int32_t *entries = IndexBackrefsOf(&refs, e11, &count);
    ASSERT_GT(count, 100);
    ASSERT_LT(count, 1000);
    std::string section = Section("e11");
    ASSERT_EQ(links.linkCount, INDEX_ENTRIES_SHOWN + 1);
    const IndexLink &more = links.links[INDEX_ENTRIES_SHOWN];
    EXPECT_EQ(more.kind, INDEX_LINK_ALL_ENTRIES);
    EXPECT_EQ(more.target, e11);
    const std::string last =
        "<and " + std::to_string(count - 50) + " more: list them all on the Index tab>\n";
    EXPECT_EQ(section.substr(section.size() - last.size()), last);
    IndexSearch search = {};
    ASSERT_EQ(IndexBackrefsSearch(&search, &refs, e11, "E11", nullptr, nullptr), 0);
    ASSERT_EQ(search.hitCount, count);
    for (int32_t i = 0; i < count; i++) ASSERT_EQ(search.hits[i], entries[i]);
    IndexSearchClear(&search);
    // A chapter counts the entries of every code in it, thousands written with commas.
    std::string chapter = Section("A00-B99");
    EXPECT_NE(chapter.find(",", chapter.rfind("<and ")), std::string::npos) << chapter;
    EXPECT_EQ(IndexBackrefsRecordFor(&table, &sevenths, "E11 diabetes"), -1);
    EXPECT_EQ(IndexBackrefsRecordFor(&table, &sevenths, "Q99.99"), -1);
}
