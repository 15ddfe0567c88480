// "Find": the phrase first, then a typed code, then all words; the nothing-found line. Small
// tables here, the shipped release in test_real_find.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/search_find.h"
#include "foundation/status.h"
#include "record_fixture.h"

namespace {

void Collect(void *context, int32_t, const PageRef *hit) {
    static_cast<std::vector<int32_t> *>(context)->push_back(hit->index);
}

struct Finder {
    ~Finder() { ClearSearchResults(&state); }
    std::vector<int32_t> Run(const RecordTable *table, const char *text) {
        std::vector<int32_t> records;
        status = SearchFind(&state, table, nullptr, text, Collect, &records);
        // What the callback saw is what the state holds: no rule's hits left behind.
        std::vector<int32_t> held;
        for (int32_t k = 0; k < state.hitCount; k++) held.push_back(state.hits[k].index);
        EXPECT_EQ(records, held) << text;
        return records;
    }
    SearchState state = {};
    int32_t status = 0;
};

using Hits = std::vector<int32_t>;

const std::vector<std::string> kLines = {
    "ROOT;",
    "E11;Type 2 diabetes mellitus",
    "E11.22;Type 2 diabetes mellitus with diabetic chronic kidney disease",
    "N18;Chronic kidney disease;;;diabetes kidney disease, see E11.22./",
    "S52.121;Displaced fracture of head of right radius",
    "A00;Cholera",
};

}  // namespace

TEST(SearchFind, PhraseHitsStayAsTheyAre) {
    TestTable t(kLines, true);
    Finder f;
    EXPECT_EQ(f.Run(&t.table, "diabetes kidney"), (Hits{3})) << "the phrase, not all words";
    EXPECT_EQ(f.state.rule, SEARCH_RULE_PHRASE);
    EXPECT_EQ(f.Run(&t.table, "e11.22"), (Hits{2, 3})) << "a code with its dot is a phrase";
    EXPECT_EQ(f.state.rule, SEARCH_RULE_PHRASE);
    EXPECT_EQ(f.Run(&t.table, "cholera"), (Hits{5}));
}

TEST(SearchFind, TypedCodeWithoutPhraseHitNamesItsRecord) {
    TestTable t(kLines, true);
    Finder f;
    for (const char *typed : {"E1122", "e1122", "  E1122 \t", "s52121"}) {
        Hits h = f.Run(&t.table, typed);
        ASSERT_EQ(h.size(), 1u) << typed;
        EXPECT_EQ(f.state.rule, SEARCH_RULE_CODE) << typed;
        EXPECT_STREQ(f.state.searchWord, typed);
    }
    EXPECT_EQ(f.Run(&t.table, "E1199"), Hits{}) << "no such record";
    EXPECT_EQ(f.state.rule, SEARCH_RULE_PHRASE);
    EXPECT_EQ(f.Run(&t.table, "S52121A"), Hits{}) << "no 7th characters without their table";
}

TEST(SearchFind, AllWordsOnlyWithoutPhraseHitAndForTwoWordsOrMore) {
    TestTable t(kLines, true);
    Finder f;
    EXPECT_EQ(f.Run(&t.table, "kidney diabetes"), (Hits{2, 3}));
    EXPECT_EQ(f.state.rule, SEARCH_RULE_ALL_WORDS);
    EXPECT_EQ(f.Run(&t.table, "fracture head radius"), (Hits{4}));
    EXPECT_EQ(f.Run(&t.table, "diabet"), (Hits{1, 2, 3})) << "one word: the phrase";
    EXPECT_EQ(f.Run(&t.table, "kidn"), (Hits{2, 3})) << "one word: the phrase";
    EXPECT_EQ(f.Run(&t.table, "idney"), (Hits{2, 3})) << "the phrase matches inside words";
    EXPECT_EQ(f.Run(&t.table, "idney diabetes"), Hits{}) << "words must begin words";
    EXPECT_EQ(f.state.rule, SEARCH_RULE_ALL_WORDS);
    EXPECT_EQ(f.Run(&t.table, "ulcr"), Hits{});
    EXPECT_EQ(f.state.rule, SEARCH_RULE_PHRASE);
    EXPECT_STREQ(f.state.searchWord, "ulcr");
}

TEST(SearchFind, OddTextsEndCleanly) {
    TestTable t(kLines, true);
    Finder f;
    EXPECT_EQ(f.Run(&t.table, "     "), Hits{});
    EXPECT_EQ(f.Run(&t.table, " xyz "), Hits{});
    std::string spaced = "kidney" + std::string(100, ' ') + "type";
    EXPECT_EQ(f.Run(&t.table, spaced.c_str()), (Hits{2}));
    std::string huge(32000, 'k');
    for (size_t i = 7; i < huge.size(); i += 8) huge[i] = ' ';
    EXPECT_EQ(f.Run(&t.table, huge.c_str()), Hits{});
    std::string many;
    for (int i = 0; i < 500; i++) many += "chronic ";
    EXPECT_EQ(f.Run(&t.table, many.c_str()), (Hits{2, 3}));
    EXPECT_EQ(f.Run(&t.table, "100% \\diab"), Hits{});
    EXPECT_EQ(f.Run(&t.table, "\xE9\xE8\xFF \x80"), Hits{});
    f.Run(&t.table, "kidney diabetes");
    EXPECT_EQ(f.Run(&t.table, f.state.searchWord), (Hits{2, 3})) << "the kept text again";
    EXPECT_EQ(SearchFind(&f.state, &t.table, nullptr, "", nullptr, nullptr), ERR_EMPTY);
    EXPECT_EQ(SearchFind(&f.state, &t.table, nullptr, nullptr, nullptr, nullptr), ERR_NULLPTR);
    EXPECT_EQ(SearchFind(nullptr, &t.table, nullptr, "abc", nullptr, nullptr), ERR_NULLPTR);
    EXPECT_EQ(f.state.hitCount, 2) << "bad arguments change nothing";
}

TEST(SearchNothingFoundText, QuotesTheTrimmedTextCutWhenLong) {
    char line[NOTHING_FOUND_CHARS + 1];
    EXPECT_STREQ(SearchNothingFoundText(nullptr, "  pressure ulcr heel ", line,
                                        NOTHING_FOUND_CHARS),
                 "No record contains \"pressure ulcr heel\".");
    std::string huge(32000, 'x');
    std::string expected = "No record contains \"" + std::string(120, 'x') + "...\".";
    EXPECT_EQ(SearchNothingFoundText(nullptr, huge.c_str(), line, NOTHING_FOUND_CHARS), expected);
    EXPECT_STREQ(SearchNothingFoundText(nullptr, "%s %n", line, NOTHING_FOUND_CHARS),
                 "No record contains \"%s %n\".");
    EXPECT_STREQ(SearchNothingFoundText(nullptr, nullptr, line, NOTHING_FOUND_CHARS), "");
    char small[11];
    EXPECT_STREQ(SearchNothingFoundText(nullptr, "abc", small, 10), "No record ");
}
