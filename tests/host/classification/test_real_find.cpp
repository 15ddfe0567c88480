// "Find" on the linked FY2023 release: what coders type, as the examples give it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/search_find.h"
#include "classification/seventh_chars.h"

class RealFind : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(0, RecordTableLoad(&table, "engtextrecords.dat"));
        ASSERT_EQ(0, SeventhCharLoad(&chars, &table));
    }
    static void TearDownTestSuite() {
        SeventhCharFree(&chars);
        RecordTableFree(&table);
    }
    // The codes of the hits, in hit order; rule gets the rule that gave them.
    static std::vector<std::string> Codes(const char *text, int32_t *rule = nullptr) {
        SearchState state = {};
        EXPECT_EQ(0, SearchFind(&state, &table, &chars, text, nullptr, nullptr));
        std::vector<std::string> codes;
        for (int32_t k = 0; k < state.hitCount; k++)
            codes.push_back(RecordField(&table.records[state.hits[k].index], FIELD_CODE));
        if (rule) *rule = state.rule;
        ClearSearchResults(&state);
        return codes;
    }
    static bool Has(const std::vector<std::string> &codes, const char *code) {
        for (const std::string &c : codes)
            if (c == code) return true;
        return false;
    }
    static RecordTable table;
    static SeventhCharTable chars;
};
RecordTable RealFind::table;
SeventhCharTable RealFind::chars;

TEST_F(RealFind, CholeraKeepsItsFivePhraseHits) {
    int32_t rule = -1;
    EXPECT_EQ(Codes("cholera", &rule),
              (std::vector<std::string>{"A00", "A00.0", "A00.1", "A00.9", "Y38.6"}));
    EXPECT_EQ(rule, SEARCH_RULE_PHRASE);
    EXPECT_EQ(Codes("A01.0").size(), 12u);
}

TEST_F(RealFind, TypedCodesAsOnClaims) {
    struct Case {
        const char *typed;
        const char *code;
    } cases[] = {{"E1122", "E11.22"},     {"e1122", "E11.22"},     {"S52121A", "S52.121"},
                 {"s52.121a", "S52.121"}, {"T360X1A", "T36.0X1"}, {" t360x1a ", "T36.0X1"}};
    for (const Case &c : cases) {
        int32_t rule = -1;
        EXPECT_EQ(Codes(c.typed, &rule), std::vector<std::string>{c.code}) << c.typed;
        EXPECT_EQ(rule, SEARCH_RULE_CODE) << c.typed;
    }
    int32_t rule = -1;
    EXPECT_GT(Codes("E11.22", &rule).size(), 1u) << "the dotted code has phrase hits";
    EXPECT_EQ(rule, SEARCH_RULE_PHRASE);
    EXPECT_TRUE(Codes("S52121Z").empty()) << "no such 7th character";
}

TEST_F(RealFind, WordsInAnyOrder) {
    int32_t rule = -1;
    std::vector<std::string> diabetes = Codes("diabetes kidney", &rule);
    EXPECT_EQ(rule, SEARCH_RULE_ALL_WORDS);
    EXPECT_TRUE(Has(diabetes, "E11.22"));
    EXPECT_EQ(Codes("kidney diabetes"), diabetes);
    EXPECT_TRUE(Has(Codes("diab kidn"), "E11.22"));
    EXPECT_TRUE(Has(Codes("fracture head radius"), "S52.121"));
    std::vector<std::string> heel = Codes("pressure ulcer heel");
    EXPECT_TRUE(Has(heel, "L89.61"));
    EXPECT_TRUE(Codes("pressure ulcr heel").empty());
}
