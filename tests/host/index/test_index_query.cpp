// The coder's index query on the linked indexes: the entry a coder wants among the first five
// for the everyday queries, ties in the book's order, whole-word abbreviations, plurals, typos,
// and the see column.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "index/index_abbrev.h"
#include "index/index_query.h"
#include "index/index_rank.h"

namespace {

class IndexQueryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(IndexSetLoad(&set), 0); }
    static void TearDownTestSuite() {
        IndexVocabularyFree(&vocabulary);
        IndexSetFree(&set);
    }
    // The paths of the first rows of a query.
    static std::vector<std::string> First(const char *typed, int32_t rows, IndexQueryNote *note) {
        IndexSearch search = {};
        EXPECT_EQ(IndexQueryRun(&search, &set, typed, &vocabulary, note), 0) << typed;
        std::vector<std::string> out;
        char path[2048];
        for (int32_t i = 0; i < search.hitCount && i < rows; i++) {
            IndexPathWrite(&set, search.hits[i], path, sizeof path);
            out.push_back(path);
        }
        IndexSearchClear(&search);
        return out;
    }
    static IndexSet set;
    static IndexVocabulary *vocabulary;
};
IndexSet IndexQueryTest::set;
IndexVocabulary *IndexQueryTest::vocabulary = nullptr;

}  // namespace

TEST_F(IndexQueryTest, TheEntryACoderWantsIsInTheFirstFive) {
    const struct {
        const char *typed, *entry;  // the start of the entry's path
    } rows[] = {
        {"pneumonia", "Pneumonia (acute)"},
        {"stroke", "Stroke (apoplectic)"},
        {"diabetes", "Diabetes, diabetic (mellitus) (sugar)"},
        {"sepsis", "Sepsis (generalized)"},
        {"heart attack", "Attack, attacks > heart"},
        {"copd", "Disease, diseased > lung > obstructive (chronic)"},
        {"chf", "Failure, failed > heart (acute) (senile) (sudden) > congestive"},
        {"htn", "Hypertension, hypertensive"},
        {"bph", "Hyperplasia, hyperplastic > prostate"},
        {"uti", "Infection, infected, infective (opportunistic) > urinary (tract)"},
        {"AFib", "Fibrillation > atrial or auricular"},
        {"af", "Fibrillation > atrial or auricular"},
        {"mi", "Infarct, infarction > myocardium, myocardial"},
        {"fractures", "Fracture, traumatic"},
        {"kidney stones", "Stone (s) > kidney"},
        {"infections", "Infection, infected, infective"},
        {"pnemonia", "Pneumonia (acute)"},
        {"diabetis", "Diabetes, diabetic (mellitus) (sugar)"},
        {"high blood pressure", "Blood > pressure > high"},
    };
    for (const auto &row : rows) {
        IndexQueryNote note;
        std::vector<std::string> first = First(row.typed, 5, &note);
        bool found = false;
        for (const std::string &p : first) found = found || p.rfind(row.entry, 0) == 0;
        std::string seen;
        for (const std::string &p : first) seen += "\n  " + p;
        EXPECT_TRUE(found) << row.typed << " -> " << seen;
    }
}

TEST_F(IndexQueryTest, AbbreviationsAreWholeWordsAndSayTheirWords) {
    IndexQueryNote note;
    std::vector<std::string> copd = First("COPD", 1, &note);
    EXPECT_STREQ(note.expansion, "COPD: disease, lung, obstructive");
    // "mi" is no beginning: "microbiology" is not an infarct.
    std::vector<std::string> mi = First("mi", 3, &note);
    ASSERT_FALSE(mi.empty());
    EXPECT_EQ(mi[0].rfind("Infarct", 0), 0u) << mi[0];
    First("mild", 1, &note);
    EXPECT_STREQ(note.expansion, "");
    // Every abbreviation of the table finds its entry.
    int32_t count = 0;
    const IndexAbbreviation *table = IndexAbbreviationTable(&count);
    EXPECT_GE(count, 80);
    for (int32_t i = 0; i < count; i++) {
        std::vector<std::string> first = First(table[i].abbreviation, 1, &note);
        EXPECT_FALSE(first.empty()) << table[i].abbreviation;
        EXPECT_NE(std::string(note.expansion).find(table[i].words), std::string::npos);
    }
}

TEST_F(IndexQueryTest, TyposAreCorrectedAndGibberishIsNot) {
    IndexQueryNote note;
    First("pnemonia", 1, &note);
    EXPECT_STREQ(note.corrected, "pneumonia");
    First("xqzvwk", 1, &note);
    EXPECT_STREQ(note.corrected, "");
    EXPECT_STREQ(note.others, "");
    // A word found as typed is never corrected, nor a code.
    First("pneumonia", 1, &note);
    EXPECT_STREQ(note.corrected, "");
    EXPECT_TRUE(First("e11", 1, &note).empty());
    EXPECT_STREQ(note.corrected, "");
}

TEST_F(IndexQueryTest, PluralsAndInflectionsMatchTheirStem) {
    const struct {
        const char *word, *stem;
    } rows[] = {{"fractures", "fracture"}, {"stones", "stone"}, {"injuries", "injur"},
                {"sepsis", "sepsis"},      {"abscess", "abscess"}, {"lupus", "lupus"},
                {"gas", "gas"},            {"diabetes", "diabete"}};
    for (const auto &row : rows) {
        EXPECT_EQ(IndexWordStem(row.word, (int32_t)strlen(row.word)), (int32_t)strlen(row.stem))
            << row.word;
    }
}

// Equal keys keep the book's order.
TEST_F(IndexQueryTest, TiesKeepTheBooksOrder) {
    IndexSearch search = {};
    ASSERT_EQ(IndexSearchRun(&search, &set, "stone kidney", nullptr, nullptr), 0);
    std::vector<int32_t> book(search.hits, search.hits + search.hitCount);
    ASSERT_EQ(IndexRankHits(&set, "stone kidney", search.hits, search.hitCount), 0);
    std::vector<int32_t> ranked(search.hits, search.hits + search.hitCount);
    std::sort(ranked.begin(), ranked.end());
    EXPECT_EQ(ranked, book) << "the same hits";
    IndexSearchClear(&search);
}
