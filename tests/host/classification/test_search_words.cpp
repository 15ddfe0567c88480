// All-words search: every word must begin a word of the record, in any field and any order;
// records matched in code and title come first; odd phrases neither crash nor half-fill.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/search_words.h"
#include "foundation/status.h"
#include "record_fixture.h"

namespace {

void Collect(void *context, int32_t hitNumber, const PageRef *hit) {
    auto *records = static_cast<std::vector<int32_t> *>(context);
    EXPECT_EQ((size_t)hitNumber, records->size()) << "hit numbers are consecutive";
    records->push_back(hit->index);
}

struct Words {
    ~Words() { ClearSearchResults(&state); }
    std::vector<int32_t> Run(const RecordTable *table, const char *phrase) {
        std::vector<int32_t> records;
        status = SearchAllWords(&state, table, phrase, Collect, &records);
        return records;
    }
    SearchState state = {};
    int32_t status = 0;
};

using Hits = std::vector<int32_t>;

}  // namespace

TEST(SearchAllWords, EveryWordBeginsAWordInAnyFieldAndOrder) {
    TestTable t({"ROOT;",
                 "E11.22;Type 2 diabetes mellitus with diabetic chronic kidney disease",
                 "N18;Chronic kidney disease;;;diabetes elsewhere./",
                 "E10.621;Type 1 diabetes mellitus with foot ulcer",
                 "Z99.3;Dependence on wheelchair",
                 "L89.6;Pressure ulcer of heel"});
    Words w;
    EXPECT_EQ(w.Run(&t.table, "diabetes kidney"), (Hits{1, 2}));
    EXPECT_EQ(w.state.rule, SEARCH_RULE_ALL_WORDS);
    EXPECT_STREQ(w.state.searchWord, "diabetes kidney");
    EXPECT_EQ(w.Run(&t.table, "KIDN diab"), (Hits{1, 2})) << "beginnings, any order, any case";
    EXPECT_EQ(w.Run(&t.table, "heel ulcer"), (Hits{5}));
    EXPECT_EQ(w.Run(&t.table, "heel dependence"), Hits{}) << "not inside wheelchair";
    EXPECT_EQ(w.Run(&t.table, "diabetes 2"), (Hits{1})) << "not inside E10.621";
    EXPECT_EQ(w.Run(&t.table, "e10 621"), (Hits{3})) << "after the dot of a code";
    EXPECT_EQ(w.Run(&t.table, "diabetes kidney zebra"), Hits{});
    EXPECT_EQ(w.state.hitCount, 0);
}

TEST(SearchAllWords, CodeAndTitleMatchesComeFirstEachInTableOrder) {
    TestTable t({"ROOT;",
                 "A01;alpha;beta in a note./",        // words split between title and note
                 "A02;beta alpha",                     // both in the title
                 "A03;other;alpha beta./",             // both in a note only
                 "A04;alpha;;;;;;;;;;;;;;;;;;;;beta",  // a field no page shows still counts
                 "B05;beta;ALPHA"});
    Words w;
    EXPECT_EQ(w.Run(&t.table, "alpha beta"), (Hits{2, 1, 3, 4, 5}));
    TestTable codes({"ROOT;", "X01;gamma;delta", "DELTA;gamma", "X03;gamma delta"});
    EXPECT_EQ(w.Run(&codes.table, "gamma delta"), (Hits{2, 3, 1})) << "the code counts as title";
}

TEST(SearchAllWords, RepeatedAndImpliedWordsChangeNothing) {
    TestTable t({"ROOT;", "A01;diabetes kidney", "A02;diab kidn", "A03;diabetic kidney"});
    Words w;
    Hits once = w.Run(&t.table, "diabetes kidney");
    EXPECT_EQ(once, (Hits{1}));
    EXPECT_EQ(w.Run(&t.table, "diabetes diab kidney DIABETES"), once);
    EXPECT_EQ(w.Run(&t.table, "diab kidn"), (Hits{1, 2, 3}));
}

TEST(SearchAllWords, WordsDoNotReachAcrossFields) {
    TestTable t({"ROOT;", "A01;heel;ulcer", "A02;he;el ulcer"});
    Words w;
    EXPECT_EQ(w.Run(&t.table, "heel ulcer"), (Hits{1}));
    EXPECT_EQ(w.Run(&t.table, "ulcer heel"), (Hits{1}));
}

TEST(SearchAllWords, OddPhrases) {
    TestTable t({"ROOT;", "A01;100% of cases;see \\note", "A02;caf\xE9 au lait", "A03;x"});
    Words w;
    EXPECT_EQ(w.Run(&t.table, "100% cases"), (Hits{1}));
    EXPECT_EQ(w.Run(&t.table, "\\note cases"), (Hits{1}));
    EXPECT_EQ(w.Run(&t.table, "CAF\xE9 lait"), (Hits{2}));
    EXPECT_EQ(w.Run(&t.table, "caf lait"), (Hits{2}));
    EXPECT_EQ(w.Run(&t.table, "\xE9 lait"), Hits{}) << "0xE9 is a letter: no word starts there";
    std::string spaced = "cases" + std::string(100, ' ') + "100";
    EXPECT_EQ(w.Run(&t.table, spaced.c_str()), (Hits{1}));
    std::string many;
    for (int i = 0; i < 500; i++) many += (i % 2 ? "cases " : "of ");
    EXPECT_EQ(w.Run(&t.table, many.c_str()), (Hits{1}));
    std::string longest(32000, 'a');
    longest[16000] = ' ';
    EXPECT_EQ(w.Run(&t.table, longest.c_str()), Hits{});
    EXPECT_EQ(w.status, 0);
}

TEST(SearchAllWords, BadArgumentsChangeNothing) {
    TestTable t({"ROOT;", "A01;alpha beta"});
    Words w;
    w.Run(&t.table, "alpha beta");
    EXPECT_EQ(SearchAllWords(&w.state, &t.table, "   \t ", nullptr, nullptr), ERR_EMPTY);
    EXPECT_EQ(SearchAllWords(&w.state, &t.table, "", nullptr, nullptr), ERR_EMPTY);
    EXPECT_EQ(SearchAllWords(&w.state, &t.table, nullptr, nullptr, nullptr), ERR_NULLPTR);
    EXPECT_EQ(SearchAllWords(&w.state, nullptr, "a b", nullptr, nullptr), ERR_NULLPTR);
    EXPECT_EQ(SearchAllWords(nullptr, &t.table, "a b", nullptr, nullptr), ERR_NULLPTR);
    EXPECT_EQ(w.state.hitCount, 1);
    EXPECT_STREQ(w.state.searchWord, "alpha beta");
    // The kept phrase itself searched again.
    std::vector<int32_t> again;
    EXPECT_EQ(SearchAllWords(&w.state, &t.table, w.state.searchWord, Collect, &again), 0);
    EXPECT_EQ(again, (Hits{1}));
    EXPECT_STREQ(w.state.searchWord, "alpha beta");
}

TEST(SearchWordsMatch, FieldLimitAndNoWords) {
    TestTable t({"ROOT;", "A01;alpha;beta"});
    const TextRecord *r = &t.table.records[1];
    EXPECT_EQ(SearchWordsMatch(r, "alpha beta", MAX_RECORD_FIELDS), 1);
    EXPECT_EQ(SearchWordsMatch(r, "alpha beta", 2), 0);
    EXPECT_EQ(SearchWordsMatch(r, "a01 alp", 2), 1);
    EXPECT_EQ(SearchWordsMatch(r, "  ", MAX_RECORD_FIELDS), 0);
    EXPECT_EQ(SearchWordsMatch(nullptr, "alpha", MAX_RECORD_FIELDS), 0);
}
