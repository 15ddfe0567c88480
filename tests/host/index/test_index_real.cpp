// The indexes of the linked archive: loaded with the tracer on, code links reaching their
// records, the longest pages' hundreds of links all mapped, and what see references reach.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "classification/record_table.h"
#include "foundation/mem.h"
#include "foundation/mem_inspect.h"
#include "foundation/status.h"
#include "index/index_page.h"
#include "index/index_refs.h"
#include "index/index_search.h"

namespace {

struct Recorder {
    std::string text;
};
void OnText(void *c, const char *text, int32_t length) {
    ((Recorder *)c)->text.append(text, (size_t)length);
}

class IndexRealData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(IndexSetLoad(&set), 0);
        ASSERT_EQ(RecordTableLoad(&table, "engtextrecords.dat"), 0);
    }
    static void TearDownTestSuite() {
        IndexSetFree(&set);
        RecordTableFree(&table);
    }
    int32_t Only(const char *phrase) {
        IndexSearch search = {};
        EXPECT_EQ(IndexSearchRun(&search, &set, phrase, nullptr, nullptr), 0);
        EXPECT_EQ(search.hitCount, 1) << phrase;
        int32_t n = search.hitCount > 0 ? search.hits[0] : -1;
        IndexSearchClear(&search);
        return n;
    }
    std::string Page(int32_t n, IndexLinkMap *links) {
        Recorder r;
        PageSink sink = {&r, nullptr, nullptr, nullptr, OnText};
        EXPECT_EQ(ComposeIndexPage(&set, &table, n, links, &sink), 0);
        return r.text;
    }
    static IndexSet set;
    static RecordTable table;
};
IndexSet IndexRealData::set = {};
RecordTable IndexRealData::table = {};

const char *RecordCode(const RecordTable *table, int32_t r) {
    return RecordField(&table->records[r], FIELD_CODE);
}

}  // namespace

TEST_F(IndexRealData, LoadsFourFilesInFewBlocksAndFreesThem) {
    StartMemoryTracer(1000);
    IndexSet own = {};
    ASSERT_EQ(IndexSetLoad(&own), 0);
    EXPECT_EQ(own.files[INDEX_KIND_DISEASES].entryCount, 8060 + 72058);
    EXPECT_EQ(own.files[INDEX_KIND_NEOPLASM].entryCount, 1939);
    EXPECT_EQ(own.files[INDEX_KIND_DRUG].entryCount, 5175 + 2248);
    EXPECT_EQ(own.files[INDEX_KIND_EXTERNAL].entryCount, 314 + 7687);
    EXPECT_EQ(own.files[INDEX_KIND_DRUG].columnCount, 7);
    EXPECT_STREQ(own.files[INDEX_KIND_DRUG].headings[6], "Adverse effect");
    TracerState traced = {};
    TracerGetState(&traced);
    EXPECT_LE(traced.liveBlocks, 20);
    IndexSetFree(&own);
    TracerGetState(&traced);
    EXPECT_EQ(traced.liveBlocks, 0);
    EXPECT_EQ(traced.errorCount, 0);
    StopMemoryTracer();
}

TEST_F(IndexRealData, AspirinCodesOpenTheRecordsThatHoldThem) {
    int32_t n = Only("aspirin soluble");
    IndexLinkMap links = {};
    std::string page = Page(n, &links);
    EXPECT_EQ(page.rfind("Aspirin (aluminum) (soluble)\n\nTable of Drugs and Chemicals\n\n"
                         "Poisoning Accidental (unintentional): T39.011\n"
                         "Poisoning Intentional self-harm: T39.012\n",
                         0),
              0u)
        << page;
    ASSERT_EQ(links.linkCount, 6);
    for (int32_t i = 0; i < 6; i++) {
        EXPECT_EQ(links.links[i].kind, PAGE_KIND_RECORD);
        EXPECT_EQ(RecordCode(&table, links.links[i].target),
                  page.substr(links.links[i].start, links.links[i].length));
    }
    IndexLinkMapFree(&links);
    // Codes asking for more characters lead to the record above them.
    EXPECT_STREQ(RecordCode(&table, IndexCodeRecord(&table, "C79.8-")), "C79.8");
    EXPECT_STREQ(RecordCode(&table, IndexCodeRecord(&table, "T51.3X1")), "T51.3X1");
    EXPECT_STREQ(RecordCode(&table, IndexCodeRecord(&table, "T51.3X1A")), "T51.3X1");
    EXPECT_EQ(IndexCodeRecord(&table, "ventral surface"), ERR_NOTFOUND);
    EXPECT_EQ(IndexCodeRecord(&table, "Q99.999999999999999"), ERR_NOTFOUND);
}

TEST_F(IndexRealData, EveryLinkOfTheLongestPageLeadsWhereItSays) {
    int32_t n = IndexSetNumber(&set, INDEX_KIND_NEOPLASM, 0);
    IndexLinkMap links = {};
    std::string page = Page(n, &links);
    EXPECT_GT(links.linkCount, 500);
    int32_t subterms = 0;
    for (int32_t i = 0; i < links.linkCount; i++) {
        const IndexLink &l = links.links[i];
        std::string text = page.substr(l.start, l.length);
        ASSERT_EQ(IndexLinkAt(&links, l.start + l.length / 2), &l);
        if (l.kind == PAGE_KIND_RECORD) {
            EXPECT_EQ(text.rfind(RecordCode(&table, l.target), 0), 0u) << text;
            continue;
        }
        const IndexEntry *e = IndexSetEntry(&set, l.target, nullptr);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(text, e->title);
        EXPECT_EQ(IndexSetEntry(&set, n, nullptr), &set.files[INDEX_KIND_NEOPLASM].entries[e->parent]);
        subterms++;
    }
    EXPECT_GT(subterms, 500);
    IndexLinkMapFree(&links);
}

TEST_F(IndexRealData, SeeReferencesLeadToTheEntriesTheyName) {
    char path[512];
    int32_t aircraft = IndexSeeTarget(&set, INDEX_KIND_EXTERNAL, "Accident, transport, aircraft");
    IndexPathWrite(&set, aircraft, path, sizeof path);
    EXPECT_STREQ(path, "Accident (to) > transport (involving injury to) > aircraft NEC") << path;
    int32_t intestine = IndexSeeTarget(&set, INDEX_KIND_NEOPLASM, "Neoplasm, intestine");
    IndexPathWrite(&set, intestine, path, sizeof path);
    EXPECT_STREQ(path, "Neoplasm, neoplastic > intestine, intestinal");
    int32_t lead = IndexSeeTarget(&set, INDEX_KIND_EXTERNAL, "Table of Drugs and Chemicals, lead");
    IndexPathWrite(&set, lead, path, sizeof path);
    EXPECT_STREQ(path, "Lead (dust) (fumes) (vapor) NEC");
    int32_t burn = IndexSeeTarget(&set, INDEX_KIND_EXTERNAL, "Index to Diseases and Injuries, Burn");
    IndexPathWrite(&set, burn, path, sizeof path);
    EXPECT_STREQ(path, "Burn (electricity) (flame) (hot gas, liquid or hot object) (radiation) "
                       "(steam) (thermal)");
    // Every reference of the four files either leads to an entry of the main term it names
    // or is plain text; none crashes or loops. What stays plain is counted by file.
    int32_t total[INDEX_KIND_COUNT] = {};
    int32_t plain[INDEX_KIND_COUNT] = {};
    for (uint16_t k = 0; k < INDEX_KIND_COUNT; k++) {
        const IndexFile &f = set.files[k];
        for (int32_t i = 0; i < f.itemCount; i++) {
            if (f.items[i].kind != INDEX_ITEM_SEE && f.items[i].kind != INDEX_ITEM_SEE_ALSO)
                continue;
            total[k]++;
            if (IndexSeeTarget(&set, k, f.items[i].text) < 0) {
                plain[k]++;
                // MORBIVUE_LIST_PLAIN=1 lists them, to see what a rule more would reach.
                if (getenv("MORBIVUE_LIST_PLAIN")) printf("%s\t%s\n", IndexKindName(k), f.items[i].text);
            }
        }
    }
    EXPECT_EQ(total[INDEX_KIND_DISEASES], 12077 + 1997);
    EXPECT_EQ(total[INDEX_KIND_NEOPLASM] + total[INDEX_KIND_DRUG] + total[INDEX_KIND_EXTERNAL],
              791 + 98 + 67 + 120 + 97 + 35);
    // Of the three smaller files' 141 plain before the main index was built in, 102 stay so.
    EXPECT_EQ(plain[INDEX_KIND_DISEASES], 399);
    EXPECT_EQ(plain[INDEX_KIND_NEOPLASM] + plain[INDEX_KIND_DRUG] + plain[INDEX_KIND_EXTERNAL], 102);
}

TEST_F(IndexRealData, OnePassSearchFindsWhatEachEntryAloneMatches) {
    for (const char *phrase : {"diabetes kidney", "syndrome heart", "lung upper", "a >"}) {
        IndexSearch search = {};
        ASSERT_EQ(IndexSearchRun(&search, &set, phrase, nullptr, nullptr), 0);
        int32_t at = 0;
        for (int32_t n = 0; n < set.entryCount; n++) {
            if (!IndexEntryMatches(&set, n, phrase)) continue;
            ASSERT_LT(at, search.hitCount) << phrase;
            ASSERT_EQ(search.hits[at++], n) << phrase;
        }
        EXPECT_EQ(at, search.hitCount) << phrase;
        IndexSearchClear(&search);
    }
}
