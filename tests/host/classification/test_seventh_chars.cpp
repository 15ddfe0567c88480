// The 7th-character entry: definitions in effect through the hierarchy, exclusions, and entries
// that are refused whole.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "classification/seventh_chars.h"
#include "foundation/status.h"
#include "record_fixture.h"
#include "tree_fixture.h"

TEST(SeventhChars, DefinitionInEffectIsTheRecordsOwnOrTheNearestAncestors) {
    TreeTable t;
    ASSERT_EQ(0, t.status);
    ASSERT_EQ(2, t.chars.defCount);
    const SeventhCharDef *s06 = SeventhCharDefFor(&t.chars, 3);
    ASSERT_NE(nullptr, s06);
    EXPECT_EQ(3, s06->record);
    EXPECT_EQ(3, s06->charCount);
    EXPECT_EQ('D', t.chars.chars[s06->firstChar + 1].character);
    EXPECT_STREQ("subsequent encounter", t.chars.chars[s06->firstChar + 1].meaning);
    EXPECT_EQ(s06, SeventhCharDefFor(&t.chars, 6));
    EXPECT_EQ(s06, SeventhCharDefFor(&t.chars, 7));
    EXPECT_EQ(8, SeventhCharDefFor(&t.chars, 9)->record);  // S09.9 takes S09's
    for (int32_t none : {0, 1, 2, 10, 14, 15, 16, -1}) {
        EXPECT_EQ(nullptr, SeventhCharDefFor(&t.chars, none)) << none;
    }
    EXPECT_EQ(1, SeventhCharAllowed(&t.chars, &t.table, 6, 'S'));
    EXPECT_EQ(0, SeventhCharAllowed(&t.chars, &t.table, 7, 'S'));
    EXPECT_EQ(1, SeventhCharAllowed(&t.chars, &t.table, 7, 'A'));
    EXPECT_EQ(0, SeventhCharAllowed(&t.chars, &t.table, 6, 'a'));
    EXPECT_EQ(0, SeventhCharAllowed(&t.chars, &t.table, 14, 'A'));
}

TEST(SeventhChars, BadEntriesAreRefusedWholeWithTheirLine) {
    TreeTable t;
    ASSERT_EQ(0, t.status);
    const std::string bad[] = {
        "D\tS07\tA\tinitial encounter\n",          // no such record
        "D\tS06\tA\n",                             // a character without its meaning
        "D\tS06\tAB\tinitial\n",                   // not one character
        "D\tS06\ta\tinitial\n",                    // lower case
        "D\tS06\tA\tinitial\tA\tagain\n",          // defined twice
        "D\tS06\tA\t\n",                           // empty meaning
        "D\tS09\tA\tx\nD\tS06\tA\tx\n",            // out of record order
        "Q\tS06\tA\tinitial\n",                    // unknown kind
        "X\tS06\t78\n",                            // exclusion without its characters
        "D\n",
        std::string("D\tS06\tA\tx\0more", 14),    // a zero byte inside
    };
    for (const std::string &text : bad) {
        LogCapture log;
        SeventhCharTable chars = {};
        EXPECT_EQ(ERR_INVDATA,
                  SeventhCharParse(&chars, &t.table, text.data(), (int32_t)text.size()))
            << text;
        EXPECT_EQ(nullptr, chars.defs);
        EXPECT_EQ(nullptr, chars.text);
        EXPECT_EQ(0, chars.defCount);
        EXPECT_NE(std::string::npos, log.Text().find("line")) << text;
    }
}

TEST(SeventhChars, EmptyEntryAndCrLfLineEndsAreFine) {
    TreeTable t;
    ASSERT_EQ(0, t.status);
    SeventhCharTable chars = {};
    ASSERT_EQ(0, SeventhCharParse(&chars, &t.table, "", 0));
    EXPECT_EQ(0, chars.defCount);
    EXPECT_EQ(nullptr, SeventhCharDefFor(&chars, 6));
    SeventhCharFree(&chars);
    const char crlf[] = "D\tS06\tA\tinitial encounter\r\n\r\n";
    ASSERT_EQ(0, SeventhCharParse(&chars, &t.table, crlf, (int32_t)sizeof crlf - 1));
    EXPECT_STREQ("initial encounter", chars.chars[0].meaning);
    SeventhCharFree(&chars);
    EXPECT_EQ(ERR_NULLPTR, SeventhCharParse(nullptr, &t.table, "", 0));
    EXPECT_EQ(ERR_INVPARAM, SeventhCharParse(&chars, &t.table, "", -1));
    EXPECT_EQ(ERR_NULLPTR, SeventhCharFree(nullptr));
}
