// Full-text search: the case-insensitive finder, the hit array and the record scan.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "classification/search.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "record_fixture.h"

TEST(StrFindNoCase, FindsTheLeftmostOccurrence) {
    const char *text = "aaab";
    EXPECT_EQ(StrFindNoCase(text, "aab"), text + 1);
    EXPECT_EQ(StrFindNoCase("a", "ab"), nullptr);
    EXPECT_EQ(StrFindNoCase("abc", ""), nullptr);
    EXPECT_EQ(StrFindNoCase("", "a"), nullptr);
    const char *cholera = "Cholera due to Vibrio CHOLERAE";
    EXPECT_EQ(StrFindNoCase(cholera, "cHoLeRaE"), cholera + 22);
    EXPECT_EQ(StrFindNoCase(cholera, "cholera"), cholera);
}

TEST(StrFindNoCase, HighBytesMatchOnlyThemselves) {
    EXPECT_NE(StrFindNoCase("caf\xC3\xA9", "\xC3\xA9"), nullptr);
    EXPECT_EQ(StrFindNoCase("caf\xC3\x89", "\xC3\xA9"), nullptr) << "no folding above ASCII";
    EXPECT_EQ(StrFindNoCase("[x]", "{X}"), nullptr) << "only letters fold";
}

TEST(StrFindNoCase, FindsWordsAtEveryPositionOfLongTexts) {
    for (size_t length : {2u, 3u, 7u}) {
        std::string word = std::string("qZ@x[`]").substr(0, length);
        for (size_t at = 0; at < 70; at++) {
            std::string text(80, 'z');
            for (size_t k = 0; k < length; k++) {
                char c = word[k];
                text[at + k] = (k % 2 && c >= 'A' && c <= 'Z') ? (char)(c + 32)
                               : (c >= 'a' && c <= 'z')       ? (char)(c - 32)
                                                               : c;
            }
            text[at + length] = '\0';
            EXPECT_EQ(StrFindNoCase(text.c_str(), word.c_str()), text.c_str() + at)
                << length << " at " << at;
        }
    }
    std::string near(40, 'q');
    near += "qz@";
    EXPECT_EQ(StrFindNoCase(near.c_str(), "qz@x"), nullptr) << "a prefix at the very end";
    std::string grave = std::string(40, 'z') + "q`zzzzzzzzzzzzzzzzzzzz";
    EXPECT_EQ(StrFindNoCase(grave.c_str(), "Q@"), nullptr) << "'@' and '`' differ in bit 0x20 only";
}

namespace {

struct Collected {
    std::vector<int32_t> numbers;
    std::vector<int32_t> records;
};

void Collect(void *context, int32_t hitNumber, const PageRef *hit) {
    Collected *c = static_cast<Collected *>(context);
    c->numbers.push_back(hitNumber);
    c->records.push_back(hit->index);
}

struct Search {
    ~Search() { ClearSearchResults(&state); }
    int32_t Run(const RecordTable *table, const char *word) {
        collected = {};
        return SearchRecords(&state, table, word, Collect, &collected);
    }
    SearchState state = {};
    Collected collected;
};

}  // namespace

TEST(SearchRecords, MatchesEveryFieldAndListsARecordOnce) {
    TestTable t({"ROOT;", "A00;Cholera;;;;;;;;cholera again./", "A01;Typhoid;Notes;x;;;;;;;;;;;cholera",
                 "A02;Other"});
    Search s;
    ASSERT_EQ(s.Run(&t.table, "CHOLERA"), 0);
    EXPECT_EQ(s.collected.records, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(s.collected.numbers, (std::vector<int32_t>{0, 1}));
    ASSERT_EQ(s.state.hitCount, 2);
    EXPECT_EQ(s.state.hits[1].kind, PAGE_KIND_RECORD);
    EXPECT_EQ(s.state.hits[1].index, 2);
    EXPECT_STREQ(s.state.searchWord, "CHOLERA");
    Search lower;
    lower.Run(&t.table, "cholera");
    EXPECT_EQ(lower.collected.records, s.collected.records);
}

TEST(SearchRecords, CodesAndPhrasesMatchAsPlainSubstrings) {
    TestTable t({"ROOT;", "A00;x", "A00.1;y", "B00;see A00.1 here", "C00;two  blanks"});
    Search s;
    s.Run(&t.table, "a00.1");
    EXPECT_EQ(s.collected.records, (std::vector<int32_t>{2, 3}));
    s.Run(&t.table, "two blanks");
    EXPECT_TRUE(s.collected.records.empty()) << "blanks match one for one";
}

TEST(SearchRecords, TextNoFieldReachesIsNotSearched) {
    std::string line = "X00";
    for (int j = 1; j <= 39; j++) {
        line += ";f";
    }
    line += ";hidden;after forty";
    std::string withZero = std::string("Y00;shown") + '\0' + "secret";
    TestTable t({"ROOT;", line, withZero});
    Search s;
    s.Run(&t.table, "hidden");
    EXPECT_TRUE(s.collected.records.empty()) << "field 39 ends at the 40th ';'";
    s.Run(&t.table, "after");
    EXPECT_TRUE(s.collected.records.empty());
    s.Run(&t.table, "secret");
    EXPECT_TRUE(s.collected.records.empty()) << "a zero byte ends its field";
    s.Run(&t.table, "shown");
    EXPECT_EQ(s.collected.records, (std::vector<int32_t>{2}));
}

TEST(SearchRecords, MatchesAcrossFieldsDoNotCount) {
    TestTable t({"ROOT;", "A00;chol;era"});
    Search s;
    s.Run(&t.table, "chol");
    EXPECT_EQ(s.state.hitCount, 1);
    s.Run(&t.table, "cholera");
    EXPECT_EQ(s.state.hitCount, 0);
}

TEST(SearchRecords, RecordsWithoutMarkerOrTextAreSkipped) {
    std::string bytes = RecordLine(0, "ROOT;") + RecordLine(1, "A00;word") +
                        RecordLine(2, "A01;word") + RecordHeader(1, 0xE7, 0, 3, 0) + "A02;word";
    RecordTable table = {};
    ASSERT_EQ(ParseTextRecords(bytes.data(), (int32_t)bytes.size(), &table.recordCount,
                               &table.records),
              0);
    ASSERT_EQ(table.recordCount, 4u);
    table.records[1].marker = 0;
    Search s;
    s.Run(&table, "word");
    EXPECT_EQ(s.collected.records, (std::vector<int32_t>{2}));
    RecordTableFree(&table);
}

TEST(SearchRecords, NoHitsKeepsTheWord) {
    TestTable t({"ROOT;", "A00;Cholera"});
    Search s;
    ASSERT_EQ(s.Run(&t.table, "zzzqqq"), 0);
    EXPECT_EQ(s.state.hitCount, 0);
    EXPECT_STREQ(s.state.searchWord, "zzzqqq");
    EXPECT_TRUE(s.collected.numbers.empty());
}

TEST(SearchRecords, SecondSearchReplacesTheFirst) {
    TestTable t({"ROOT;", "A00;alpha", "A01;beta", "A02;alpha beta"});
    Search s;
    s.Run(&t.table, "alpha");
    ASSERT_EQ(s.state.hitCount, 2);
    s.Run(&t.table, "beta");
    EXPECT_EQ(s.state.hitCount, 2);
    EXPECT_EQ(s.collected.numbers, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(s.collected.records, (std::vector<int32_t>{2, 3}));
    EXPECT_STREQ(s.state.searchWord, "beta");
}

TEST(SearchRecords, SearchingForTheKeptWordItselfWorks) {
    TestTable t({"ROOT;", "A00;alpha", "A01;beta"});
    Search s;
    s.Run(&t.table, "alpha");
    s.Run(&t.table, s.state.searchWord);
    EXPECT_EQ(s.collected.records, (std::vector<int32_t>{1}));
    EXPECT_STREQ(s.state.searchWord, "alpha");
}

TEST(SearchRecords, BadArgumentsChangeNothing) {
    TestTable t({"ROOT;", "A00;alpha"});
    Search s;
    s.Run(&t.table, "alpha");
    EXPECT_EQ(SearchRecords(nullptr, &t.table, "alpha", nullptr, nullptr), ERR_NULLPTR);
    EXPECT_EQ(SearchRecords(&s.state, nullptr, "alpha", nullptr, nullptr), ERR_NULLPTR);
    EXPECT_EQ(SearchRecords(&s.state, &t.table, nullptr, nullptr, nullptr), ERR_NULLPTR);
    EXPECT_EQ(SearchRecords(&s.state, &t.table, "", nullptr, nullptr), ERR_EMPTY);
    EXPECT_EQ(s.state.hitCount, 1);
    EXPECT_STREQ(s.state.searchWord, "alpha");
}

TEST(SearchRecords, HitArrayGrowsBy128) {
    std::vector<std::string> lines = {"ROOT;"};
    for (int i = 0; i < 300; i++) {
        lines.push_back("A" + std::to_string(i) + ";common");
    }
    TestTable t(lines);
    Search s;
    s.Run(&t.table, "common");
    ASSERT_EQ(s.state.hitCount, 300);
    EXPECT_EQ(s.state.hitCapacity, 384);
    for (int32_t k = 0; k < 300; k++) {
        ASSERT_EQ(s.collected.numbers[k], k);
        ASSERT_EQ(s.state.hits[k].index, k + 1);
    }
}

TEST(AddSearchHit, GrowsFrom128To256OnThe129thHit) {
    SearchState state = {};
    for (int32_t k = 0; k < 128; k++) {
        ASSERT_EQ(AddSearchHit(&state, PageRef{PAGE_KIND_RECORD, k}), k);
    }
    EXPECT_EQ(state.hitCapacity, 128);
    EXPECT_EQ(AddSearchHit(&state, PageRef{PAGE_KIND_RECORD, 128}), 128);
    EXPECT_EQ(state.hitCapacity, 256);
    EXPECT_EQ(state.hits[0].index, 0);
    EXPECT_EQ(AddSearchHit(nullptr, PageRef{PAGE_KIND_RECORD, 1}), ERR_NULLPTR);
    EXPECT_EQ(ClearSearchResults(&state), 0);
    EXPECT_EQ(state.hits, nullptr);
    EXPECT_EQ(state.hitCount, 0);
    EXPECT_EQ(state.hitCapacity, 0);
    EXPECT_EQ(ClearSearchResults(nullptr), ERR_NULLPTR);
}
