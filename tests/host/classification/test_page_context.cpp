// The coding context after a page's own sections: status line, complete codes, 7th characters
// of a header, and the notes from higher levels with their links.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/page_context.h"
#include "foundation/status.h"
#include "page_recorder.h"
#include "tree_fixture.h"

// Compares the start of text with prefix, and shows both when they differ.
static ::testing::AssertionResult StartsWith(const std::string &text, const std::string &prefix) {
    if (text.compare(0, prefix.size(), prefix) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text.substr(0, prefix.size() + 20)
                                         << "\" does not start with \"" << prefix << "\"";
}

class PageContextTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, t.status); }
    // The context alone: the page with it less the page without it, which must be its prefix.
    std::string Context(uint32_t position, const SeventhCharTable *chars) {
        EXPECT_EQ(0, page.Compose(&t.table, position));
        std::string own = page.Text();
        size_t ownLinks = page.links.linkCount;
        EXPECT_EQ(0, page.ComposeWithContext(&t.table, chars, position));
        std::string all = page.Text();
        EXPECT_EQ(own, all.substr(0, own.size()));
        EXPECT_GE(page.links.linkCount, ownLinks);
        return all.substr(own.size());
    }
    TreeTable t;
    PageRecorder page;
};

TEST_F(PageContextTest, LeafWithoutSeventhCharactersGetsItsStatusAndEveryLevelsNotes) {
    EXPECT_EQ(Context(14, &t.chars),
              "Billable: a complete code, valid on a claim.\n\n"
              "Notes from higher levels:\n"
              "E11 Type 2 diabetes mellitus\n"
              "UseAdditional:\nUse additional code for insulin (Z79.4) \n\n\n"
              "Excludes1:\ndiabetes mellitus due to underlying condition (E08.-) \n\n\n");
    // E11.2 has no notes and is left out; the chapter and block have none either. The ancestor's
    // code is a link; its notes' codes follow the page's link rules (Z79.4 is not in the table).
    std::vector<std::string> links = page.LinkCodes();
    ASSERT_GE(links.size(), 1u);
    EXPECT_EQ("E11", links.back());
}

TEST_F(PageContextTest, LeafThatNeedsASeventhCharacterListsItsCompleteCodes) {
    std::string context = Context(6, &t.chars);
    EXPECT_TRUE(StartsWith(context, "Not billable as it stands: needs a 7th character (complete codes below).\n\n"
              "Complete codes:\n"
              "S06.0X1A Concussion with loss of consciousness, initial encounter\n"
              "S06.0X1D Concussion with loss of consciousness, subsequent encounter\n"));
    EXPECT_NE(context.find("S06.0X1S Concussion with loss of consciousness, sequela\n\n"
                           "Notes from higher levels:\nS06.0 Concussion\nIncludes:\n"),
              std::string::npos);
    // Nearest first, up to the chapter.
    size_t s06 = context.find("\nS06 Intracranial injury\n");
    size_t block = context.find("\nS00-S09 Injuries to the head (S00-S09)\nNotes:\nBlock note");
    size_t chapter = context.find("\nS00-T88 Injury, poisoning (S00-T88)\nNotes:\nChapter note");
    EXPECT_NE(s06, std::string::npos);
    EXPECT_LT(s06, block);
    EXPECT_LT(block, chapter);
    EXPECT_NE(chapter, std::string::npos);
    EXPECT_EQ(context.find("ICD10CM"), std::string::npos);
}

TEST_F(PageContextTest, CharactersTheNotesExcludeAreNotListed) {
    std::string context = Context(7, &t.chars);
    EXPECT_NE(context.find("S06.0X7A Concussion with death, initial encounter\n"),
              std::string::npos);
    EXPECT_EQ(context.find("S06.0X7D"), std::string::npos);
    EXPECT_EQ(context.find("S06.0X7S"), std::string::npos);
    // Short codes are padded with the placeholder.
    EXPECT_NE(Context(9, &t.chars).find("\nS09.9XXA Unspecified injury of head, initial encounter\n"),
              std::string::npos);
}

TEST_F(PageContextTest, HeaderWithSeventhCharactersListsEachCharacterOnce) {
    std::string context = Context(4, &t.chars);
    EXPECT_TRUE(StartsWith(context, "Not billable: a header with 3 codes below it.\n\n"
              "7th characters:\n"
              "A initial encounter\nD subsequent encounter\nS sequela\n\n"
              "Notes from higher levels:\n"));
}

TEST_F(PageContextTest, ChapterBlockAndRootSayWhatTheyAre) {
    EXPECT_EQ(Context(1, &t.chars), "Chapter: a group of blocks, not a code (8 codes below it).\n\n");
    EXPECT_EQ(Context(11, &t.chars),
              "Block: a group of categories, not a code (4 codes below it).\n\n");
    EXPECT_EQ(Context(0, &t.chars), "");
    EXPECT_TRUE(StartsWith(Context(2, &t.chars), "Block: a group of categories, not a code (7 codes below it).\n\n"
              "Notes from higher levels:\nS00-T88 Injury, poisoning (S00-T88)\n"));
}

TEST_F(PageContextTest, WithoutSeventhCharactersEveryLeafIsBillable) {
    EXPECT_TRUE(StartsWith(Context(6, nullptr), "Billable: a complete code, valid on a claim.\n\n"));
}

TEST_F(PageContextTest, LinksOfTheContextFollowTheEightyEntryRule) {
    // A page whose own part already filled the table: the context's links are written in link
    // style but not stored, and nothing overflows.
    page.links.linkCount = MAX_LINKS;
    std::vector<char> text(TEXT_BUFFER_CHARS + 1), scratch(TEXT_BUFFER_CHARS + 1);
    PageWorkspace ws = {text.data(), scratch.data(), TEXT_BUFFER_CHARS};
    page.steps.clear();
    EXPECT_EQ(0, ComposePageContext(&t.table, &t.chars, nullptr, 1, &t.table.records[14], &ws, &page.links,
                                    &page.sink));
    EXPECT_EQ(MAX_LINKS, page.links.linkCount);
    int32_t linkOn = 0;
    for (const PageStep &s : page.steps) linkOn += s.kind == PageStep::LINK && s.a == 1;
    EXPECT_GE(linkOn, 1);
}

TEST_F(PageContextTest, BadArguments) {
    std::vector<char> text(16), scratch(16);
    PageWorkspace ws = {text.data(), scratch.data(), 15};
    const TextRecord *r = &t.table.records[6];
    EXPECT_EQ(ERR_NULLPTR, ComposePageContext(nullptr, &t.chars, nullptr, 1, r, &ws, &page.links, &page.sink));
    EXPECT_EQ(ERR_NULLPTR, ComposePageContext(&t.table, &t.chars, nullptr, 1, nullptr, &ws, &page.links,
                                              &page.sink));
    EXPECT_EQ(ERR_NULLPTR, ComposePageContext(&t.table, &t.chars, nullptr, 1, r, nullptr, &page.links,
                                              &page.sink));
    ws.textCapacity = 0;
    EXPECT_EQ(ERR_INVPARAM, ComposePageContext(&t.table, &t.chars, nullptr, 1, r, &ws, &page.links,
                                               &page.sink));
    // A tiny workspace cuts texts at its bound but never writes past it.
    ws.textCapacity = 15;
    EXPECT_EQ(0, ComposePageContext(&t.table, &t.chars, nullptr, 1, r, &ws, &page.links, &page.sink));
}
