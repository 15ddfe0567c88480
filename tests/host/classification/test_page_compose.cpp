// Record page composition: heading, sections, item ends, code links, bounds and the link table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/page_compose.h"
#include "classification/page_ref.h"
#include "foundation/status.h"
#include "page_recorder.h"
#include "record_fixture.h"

namespace {

const std::vector<std::string> kLines = {
    "ICD10CM.tabular;",
    "A00;Cholera;;;;;;;;",
    "A00.0;Cholera due to Vibrio cholerae 01, biovar cholerae;;;;;;;Classical cholera./",
    "B15-B19;Viral hepatitis (B15-B19);;;sequelae of viral hepatitis (B94.2)./;"
    "hepatitis (B94.2) and (B25.1)./herpes (B00.81)./;;;;",
    "B94.2;Sequelae of viral hepatitis",
    "B25.1;Cytomegaloviral hepatitis",
    "B00.81;Herpesviral hepatitis",
    "T31.9;Burns involving 90% or more of body surface %s %n;;;;;;;;",
    "Q99",
    "Q98;Title;;;;;;;;",
    "Q97;See (Z16.-) and (B12)./;;;;;;;;",
    "Q96;Item one./Item two.//Item three BCR/ABL;",
};

bool IsFont(const PageStep &s, int32_t points, int32_t weight) {
    return s.kind == PageStep::FONT && s.text == "Arial" && s.a == points && s.b == weight;
}

}  // namespace

class PageCompose : public ::testing::Test {
protected:
    PageCompose() : t(kLines, true) {}
    TestTable t;
    PageRecorder page;
};

TEST_F(PageCompose, HeadingThenBodyFontThenCaptionedNotes) {
    ASSERT_EQ(page.Compose(&t.table, 2), 0);
    std::vector<PageStep> &s = page.steps;
    ASSERT_EQ(s.size(), 8u);
    EXPECT_TRUE(IsFont(s[0], 16, 400));
    EXPECT_TRUE(IsFont(s[1], 18, 700));
    EXPECT_EQ(s[2].text, "A00.0 Cholera due to Vibrio cholerae 01, biovar cholerae\n\n");
    EXPECT_TRUE(IsFont(s[3], 16, 400)) << "the notes are not written in the heading font";
    EXPECT_EQ(s[4].text, "LongName:\n");
    EXPECT_EQ(s[5].text, "Cholera due to Vibrio cholerae 01, biovar cholerae\n\n");
    EXPECT_EQ(s[6].text, "Notes:\n");
    EXPECT_EQ(s[7].text, "Classical cholera \n\n\n");
    EXPECT_EQ(page.links.linkCount, 0);
}

TEST_F(PageCompose, CodeReferencesBecomeLinksInPageOrder) {
    ASSERT_EQ(page.Compose(&t.table, 3), 0);
    EXPECT_EQ(page.LinkCodes(),
              (std::vector<std::string>{"B15-B19", "B94.2", "B94.2", "B25.1", "B00.81"}));
    EXPECT_EQ(page.links.links[1].kind, PAGE_KIND_RECORD);
    std::string text = page.Text();
    EXPECT_NE(text.find("Excludes1:\nsequelae of viral hepatitis (B94.2) \n\n\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Excludes2:\n"), std::string::npos);
    EXPECT_EQ(text.find("Includes:"), std::string::npos) << "empty notes get no section";
    // '(' then the link in link style, then ')' in plain style.
    size_t k = 0;
    while (k < page.steps.size() && page.steps[k].text != "sequelae of viral hepatitis (") {
        k++;
    }
    ASSERT_LT(k + 4, page.steps.size());
    EXPECT_EQ(page.steps[k + 1].kind, PageStep::LINK);
    EXPECT_EQ(page.steps[k + 1].a, 1);
    EXPECT_EQ(page.steps[k + 2].text, "B94.2");
    EXPECT_EQ(page.steps[k + 3].kind, PageStep::LINK);
    EXPECT_EQ(page.steps[k + 3].a, 0);
    EXPECT_EQ(page.steps[k + 4].text, ") \n\n\n");
}

TEST_F(PageCompose, MissingCodesAreUnderlinedAndNotRecorded) {
    ASSERT_EQ(page.Compose(&t.table, 10), 0);
    EXPECT_EQ(page.links.linkCount, 0);
    std::vector<std::string> underlined;
    for (size_t k = 0; k + 2 < page.steps.size(); k++) {
        const PageStep &on = page.steps[k];
        if (on.kind == PageStep::EFFECTS && on.a == 0 && on.b == 0 && on.c == 1) {
            underlined.push_back(page.steps[k + 1].text);
            const PageStep &off = page.steps[k + 2];
            EXPECT_TRUE(off.kind == PageStep::EFFECTS && off.a == 0 && off.b == 0 && off.c == 0);
        }
    }
    EXPECT_EQ(underlined, (std::vector<std::string>{"Z16.", "B12"})) << "the heading has no links";
    EXPECT_NE(page.Text().find("See (Z16.-) and (B12) \n"), std::string::npos) << page.Text();
}

TEST_F(PageCompose, PercentSignsAreWrittenAsText) {
    ASSERT_EQ(page.Compose(&t.table, 7), 0);
    EXPECT_EQ(page.steps[2].text, "T31.9 Burns involving 90% or more of body surface %s %n\n\n");
    EXPECT_NE(page.Text().find("LongName:\nBurns involving 90% or more of body surface %s %n\n\n"),
              std::string::npos);
}

TEST_F(PageCompose, AbsentTitleGivesCodeAndBlankOnly) {
    ASSERT_EQ(page.Compose(&t.table, 8), 0);
    ASSERT_EQ(page.steps.size(), 4u);
    EXPECT_EQ(page.steps[2].text, "Q99 ");
    EXPECT_TRUE(IsFont(page.steps[3], 16, 400));
}

TEST_F(PageCompose, RecordWithoutCodeStartsInTheBodyFont) {
    t.table.records[9].fieldOffsets[0] = -1;
    ASSERT_EQ(page.Compose(&t.table, 9), 0);
    ASSERT_GE(page.steps.size(), 2u);
    EXPECT_TRUE(IsFont(page.steps[0], 16, 400));
    EXPECT_EQ(page.steps[1].text, "LongName:\n") << "no heading at all";
}

TEST_F(PageCompose, ItemEndsBecomeLineBreaks) {
    ASSERT_EQ(page.Compose(&t.table, 11), 0);
    EXPECT_NE(page.Text().find("Item one \nItem two \n\nItem three BCR/ABL\n\n"), std::string::npos)
        << page.Text();
}

TEST_F(PageCompose, LinksTableIsEmptiedByEveryPage) {
    ASSERT_EQ(page.Compose(&t.table, 3), 0);
    ASSERT_EQ(page.links.linkCount, 5);
    ASSERT_EQ(page.Compose(&t.table, 1), 0);
    EXPECT_EQ(page.links.linkCount, 0);
}

TEST_F(PageCompose, BadArgumentsAreRefused) {
    char a[8], b[8];
    PageWorkspace ws = {a, b, 7};
    LinkTable links = {};
    PageSink sink = {};
    const TextRecord *r = &t.table.records[1];
    EXPECT_EQ(ComposeRecordPage(nullptr, 1, r, &ws, &links, &sink), ERR_NULLPTR);
    EXPECT_EQ(ComposeRecordPage(&t.table, 1, nullptr, &ws, &links, &sink), ERR_NULLPTR);
    EXPECT_EQ(ComposeRecordPage(&t.table, 1, r, nullptr, &links, &sink), ERR_NULLPTR);
    EXPECT_EQ(ComposeRecordPage(&t.table, 1, r, &ws, nullptr, &sink), ERR_NULLPTR);
    EXPECT_EQ(ComposeRecordPage(&t.table, 1, r, &ws, &links, nullptr), ERR_NULLPTR);
    PageWorkspace noScratch = {a, nullptr, 7};
    EXPECT_EQ(ComposeRecordPage(&t.table, 1, r, &noScratch, &links, &sink), ERR_NULLPTR);
    PageWorkspace zero = {a, b, 0};
    EXPECT_EQ(ComposeRecordPage(&t.table, 1, r, &zero, &links, &sink), ERR_INVPARAM);
}

TEST(PageComposeBounds, LongTextIsWrittenWholeInViewerSizedPieces) {
    std::string note;
    for (int i = 0; note.size() < 20000; i++) {
        note += "word" + std::to_string(i) + " ";
    }
    TestTable t({"ROOT;", "A00;" + note});
    PageRecorder page;
    ASSERT_EQ(page.Compose(&t.table, 1), 0);
    for (const PageStep &s : page.steps) {
        if (s.kind == PageStep::TEXT) {
            EXPECT_LE(s.text.size(), (size_t)VIEW_PIECE_CHARS);
            EXPECT_EQ((int32_t)s.text.size(), s.a);
        }
    }
    std::string expected = "A00 " + note + "\n\nLongName:\n" + note + "\n\n";
    EXPECT_EQ(page.Text(), expected);
}

TEST(PageComposeBounds, FieldsAreCutAtTheTextCapacity) {
    std::string exact(TEXT_BUFFER_CHARS, 'x');
    std::string oneShort(TEXT_BUFFER_CHARS - 1, 'y');
    TestTable t({"ROOT;", "A00;;" + exact, "A01;;" + oneShort, "A02;;" + exact + "zz"});
    PageRecorder page;
    ASSERT_EQ(page.Compose(&t.table, 1), 0);
    EXPECT_EQ(page.Text(), "A00 \n\nIncludes:\n" + exact);
    ASSERT_EQ(page.Compose(&t.table, 2), 0);
    EXPECT_EQ(page.Text(), "A01 \n\nIncludes:\n" + oneShort + "\n");
    ASSERT_EQ(page.Compose(&t.table, 3), 0);
    EXPECT_EQ(page.Text(), "A02 \n\nIncludes:\n" + exact);
}

TEST(PageComposeBounds, SmallCapacityBoundsTheHeadingToo) {
    TestTable t({"ROOT;", "A00;Cholera"});
    PageRecorder page;
    ASSERT_EQ(page.Compose(&t.table, 1, 6), 0);
    EXPECT_EQ(page.steps[2].text, "A00 Ch");
}

TEST(PageComposeLinks, EightyFirstLinkIsShownButNotRecorded) {
    std::string note;
    for (int i = 0; i < 85; i++) {
        note += "(A00) ";
    }
    TestTable t({"ROOT;", "A00;x;" + note}, true);
    PageRecorder page;
    ASSERT_EQ(page.Compose(&t.table, 1), 0);
    EXPECT_EQ(page.links.linkCount, MAX_LINKS);
    int linkOns = 0;
    for (const PageStep &s : page.steps) {
        linkOns += (s.kind == PageStep::LINK && s.a == 1);
    }
    EXPECT_EQ(linkOns, 85);
}

TEST(LinkTable, AddStopsAtEightyAndKindLookupIgnoresCase) {
    LinkTable links = {};
    LinkEntry entry = {7, "B94.2"};
    for (int i = 0; i < MAX_LINKS; i++) {
        ASSERT_EQ(AddLink(&links, &entry), 0);
    }
    EXPECT_EQ(AddLink(&links, &entry), ERR_TOOMANY);
    EXPECT_EQ(links.linkCount, MAX_LINKS);
    EXPECT_EQ(LinkKindForText(&links, "b94.2"), 7);
    EXPECT_EQ(LinkKindForText(&links, "B94"), PAGE_KIND_RECORD);
    EXPECT_EQ(ClearLinks(&links), 0);
    EXPECT_EQ(LinkKindForText(&links, "B94.2"), PAGE_KIND_RECORD);
    EXPECT_EQ(AddLink(nullptr, &entry), ERR_NULLPTR);
    EXPECT_EQ(ClearLinks(nullptr), ERR_NULLPTR);
}
