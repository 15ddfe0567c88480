// Word boundaries and word splitting shared by the all-words searches.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "classification/word_match.h"
#include "foundation/status.h"

static ptrdiff_t Find(const std::string &text, const std::string &word) {
    return WordStartFind(text.data(), text.size(), word.data(), word.size());
}

TEST(WordMatch, WordStartsAtFieldStartOrAfterNonWordByte) {
    EXPECT_EQ(0, Find("Diabetes mellitus", "diab"));
    EXPECT_EQ(9, Find("Diabetes mellitus", "MELL"));
    EXPECT_EQ(-1, Find("Wheelchair", "heel"));
    EXPECT_EQ(12, Find("Wheelchair, heel", "heel"));
    EXPECT_EQ(-1, Find("E10.621", "2"));      // inside a code's digits
    EXPECT_EQ(4, Find("E10.621", "621"));     // after the dot
    EXPECT_EQ(1, Find("(acute)", "acute"));
    // Bytes from 0x80 up are letters: no word starts after an accented letter.
    EXPECT_EQ(-1, Find("Sj\xF6gren", "gren"));
    EXPECT_EQ(0, Find("\xE9tat", "\xE9T"));
}

TEST(WordMatch, EdgesOfTheText) {
    EXPECT_EQ(-1, Find("", "a"));
    EXPECT_EQ(-1, Find("abc", ""));
    EXPECT_EQ(-1, Find("ab", "abc"));
    EXPECT_EQ(3, Find("ab abc", "abc"));
    // Only n bytes are read: a match beyond n is not seen.
    const char text[] = "xx heel";
    EXPECT_EQ(-1, WordStartFind(text, 5, "heel", 4));
    EXPECT_EQ(-1, WordStartFind(nullptr, 3, "a", 1));
}

TEST(WordMatch, SplitCountsWordsBetweenBlanks) {
    WordSpan spans[4];
    EXPECT_EQ(0, WordSplit("", spans, 4));
    EXPECT_EQ(0, WordSplit("   \t ", spans, 4));
    ASSERT_EQ(2, WordSplit("  diabetes \t kidney ", spans, 4));
    EXPECT_EQ(2, spans[0].offset);
    EXPECT_EQ(8, spans[0].length);
    EXPECT_EQ(13, spans[1].offset);
    EXPECT_EQ(6, spans[1].length);
    // More words than room: the count is still the whole phrase's, only the room is filled.
    std::string many;
    for (int i = 0; i < 500; i++) many += "w ";
    EXPECT_EQ(500, WordSplit(many.c_str(), spans, 4));
    EXPECT_EQ(6, spans[3].offset);
    EXPECT_EQ(500, WordSplit(many.c_str(), nullptr, 0));
    EXPECT_EQ(ERR_NULLPTR, WordSplit(nullptr, spans, 4));
    EXPECT_EQ(ERR_NULLPTR, WordSplit("a", nullptr, 1));
}

// The scan tests sixteen places at once: every position of a long text, both ends included,
// gives the answer of a plain loop.
TEST(WordMatch, FindsWordStartsAtEveryPositionOfLongTexts) {
    for (const std::string word : {"k", "kI", "kid", "k9-x"}) {
        for (size_t at = 0; at < 60; at++) {
            for (char before : {' ', 'x', '\0', '.', '\xC4'}) {
                std::string text(70, 'k');  // full of false starts inside a word
                if (at > 0) text[at - 1] = before;
                text.replace(at, word.size(), word);
                ptrdiff_t expected = -1;
                for (size_t i = 0; i + word.size() <= text.size() && expected < 0; i++) {
                    bool starts = i == 0 || !WordCharIs((unsigned char)text[i - 1]);
                    bool same = true;
                    for (size_t k = 0; k < word.size() && same; k++)
                        same = toupper((unsigned char)text[i + k]) ==
                               toupper((unsigned char)word[k]);
                    if (starts && same) expected = (ptrdiff_t)i;
                }
                ASSERT_EQ(Find(text, word), expected) << word << " at " << at << " after "
                                                      << (int)(unsigned char)before;
            }
        }
    }
}
