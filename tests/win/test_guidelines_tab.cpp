// The "Guidelines" tab and section pages: the sections listed, the search box, a section page
// with its code and cross-reference links, "<" and ">" through them, Find's and the search's
// words highlighted, and the record page's "Guidelines:" section leading to its sections.
#include <gtest/gtest.h>

#include <string>

#include "classification/page_ref.h"
#include "feature_support.h"
#include "guidelines/guideline_file.h"
#include "ui/guideline_pages.h"
#include "ui/guidelines_tab.h"
#include "ui/navigation.h"
#include "ui/record_page.h"
#include "ui_test_support.h"

namespace {

class GuidelinesTabTest : public FeatureSuite<GuidelinesTabTest> {
protected:
    void SetUp() override {
        FeatureSuite::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_NE(w->guidelinesTab, nullptr);
        t = w->guidelinesTab;
        list = t->list.handle;
        SelectTab(w, GUIDELINES_TAB);
    }
    void TearDown() override { SelectTab(w, 0); }
    void Search(const char *phrase) {
        SetWindowTextA(t->edit.handle, phrase);
        SendMessageA(t->button.handle, BM_CLICK, 0, 0);
        PumpMessages();
    }
    // The row of the section with this ID, or -1.
    int32_t RowOf(const char *id) {
        for (int32_t row = 0; row < ListRows(list); row++)
            if (ListCell(list, row, 0) == id) return row;
        return -1;
    }
    std::string Note() {
        char text[300] = {};
        GetWindowTextA(t->note.handle, text, sizeof text);
        return text;
    }
    bool Shows(const std::string &heading) { return ViewerText(viewer).rfind(heading, 0) == 0; }
    PageRef Current() { return w->history[w->historyPos]; }
    bool Marked(size_t at) { return FormatAt(viewer, (int32_t)at).crBackColor == HIGHLIGHT_BACK_COLOR; }
    GuidelinesTab *t = nullptr;
    HWND list = nullptr;
};

}  // namespace

TEST_F(GuidelinesTabTest, TabListsEverySectionAndSearches) {
    char title[32] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = title;
    item.cchTextMax = sizeof title - 1;
    SendMessageA(w->tab.handle, TCM_GETITEMA, GUIDELINES_TAB, (LPARAM)&item);
    EXPECT_STREQ(title, "Guidelines");
    EXPECT_TRUE(IsWindowVisible(t->edit.handle));
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_FALSE(IsWindowVisible(w->tree.handle));
    EXPECT_EQ(GetFocus(), t->edit.handle);
    Search("");
    ASSERT_EQ(ListRows(list), 492);
    EXPECT_EQ(ListCell(list, 0, 0), "I");
    EXPECT_EQ(ListCell(list, 491, 0), "AppI");
    EXPECT_EQ(ListCell(list, 491, 1), "Present on Admission Reporting Guidelines");
    EXPECT_NE(Note().find("FY2026: 492 sections"), std::string::npos) << Note();
    const struct {
        const char *words, *id;
    } cases[] = {{"sepsis organ dysfunction", "I.C.1.d"}, {"insulin oral", "I.C.4.a"},
                 {"uncertain diagnosis", "II.H"},           {"laterality", "I.B.13"}};
    for (const auto &c : cases) {
        Search(c.words);
        EXPECT_GE(RowOf(c.id), 0) << c.words;
        EXPECT_NE(Note().find("the deepest first"), std::string::npos) << Note();
    }
    // Enter in the edit searches too, and moves to the list.
    SetWindowTextA(t->edit.handle, "zzyzx");
    SendMessageA(t->edit.handle, WM_CHAR, '\r', 0);
    PumpMessages();
    EXPECT_EQ(ListRows(list), 0);
    EXPECT_EQ(Note(), "No section holds every word of \"zzyzx\".");
    SetWindowTextA(t->edit.handle, "laterality");
    SendMessageA(t->edit.handle, WM_CHAR, '\r', 0);
    PumpMessages();
    EXPECT_EQ(GetFocus(), list);
    // The help says which edition, and what takes precedence.
    ASSERT_NE(w->helpText, nullptr);
    const std::string help = w->helpText;
    for (const char *said : {"the \"Guidelines\" tab", "FY2026", "the newest edition obtainable",
                             "take precedence over the guidelines"})
        EXPECT_NE(help.find(said), std::string::npos) << said;
}

TEST_F(GuidelinesTabTest, SectionPageLinksWalkedBackAndForward) {
    Search("insulin oral");
    const int32_t row = RowOf("I.C.4.a.3");
    ASSERT_GE(row, 0);
    ActivateListRow(w, list, row);
    ASSERT_TRUE(Shows("I.C.4.a.3  Diabetes mellitus and the use of insulin, oral hypoglycemics, "
                      "and injectable non-insulin drugs\nIf the documentation"))
        << ViewerText(viewer).substr(0, 200);
    EXPECT_EQ(Current().kind, PAGE_KIND_GUIDELINE);
    EXPECT_TRUE(FormatAt(viewer, 2).dwEffects & CFE_BOLD);
    // The search's words are highlighted.
    const std::string page = ViewerText(viewer);
    EXPECT_TRUE(Marked(page.find("insulin, code E11-")));
    // A code's link opens its record; "<" comes back, ">" goes again.
    ASSERT_TRUE(PressViewerLink(w, "Z79.4"));
    EXPECT_TRUE(Shows("Z79.4 ")) << ViewerText(viewer).substr(0, 60);
    EXPECT_EQ(Current().kind, PAGE_KIND_RECORD);
    NavigateBack(w);
    PumpMessages();
    EXPECT_TRUE(Shows("I.C.4.a.3  ")) << ViewerText(viewer).substr(0, 60);
    NavigateForward(w);
    PumpMessages();
    EXPECT_TRUE(Shows("Z79.4 ")) << ViewerText(viewer).substr(0, 60);
    // Cross-references open their sections, however the ID is written.
    const struct {
        const char *from, *link, *to;
    } cases[] = {{"I.A.1", "Section I.C.2", "I.C.2  Chapter 2: Neoplasms (C00-D49)\n"},
                 {"I.C.10.e", "Section I.C.1.g.1.c.i", "I.C.1.g.1(c)(i)  Pneumonia\n"},
                 {"I.C.19.g.3(a)", "I.C.1.d.4", "I.C.1.d.4  Sepsis or severe sepsis with a "
                                                "localized infection\n"},
                 {"I.C.19.e.5(a)", "T36-T50", "T36 Poisoning by"}};
    for (const auto &c : cases) {
        ShowGuidelinePage(w, GuidelineFind(GuidelinesData(w), c.from), 1);
        ASSERT_TRUE(PressViewerLink(w, c.link)) << c.from;
        EXPECT_TRUE(Shows(c.to)) << c.link << ": " << ViewerText(viewer).substr(0, 80);
    }
}

TEST_F(GuidelinesTabTest, FindsPhraseIsHighlightedOnSectionPages) {
    SelectTab(w, 1);
    SetWindowTextA(w->searchEdit.handle, "septic shock");
    SendMessageA(w->findButton.handle, BM_CLICK, 0, 0);
    PumpMessages();
    ASSERT_NE(w->search.searchWord, nullptr);
    ShowGuidelinePage(w, GuidelineFind(GuidelinesData(w), "I.C.1.d.2"), 1);
    const std::string page = ViewerText(viewer);
    const size_t at = page.find("septic shock");
    ASSERT_NE(at, std::string::npos) << page.substr(0, 200);
    EXPECT_TRUE(Marked(at));
    SendMessageA(w->showWordCheck.handle, BM_SETCHECK, BST_UNCHECKED, 0);
    ShowGuidelinePage(w, GuidelineFind(GuidelinesData(w), "I.C.1.d.2"), 0);
    EXPECT_FALSE(Marked(at));
}

TEST_F(GuidelinesTabTest, RecordPageNamesItsSectionsThatOpenAsLinks) {
    ShowCode(w, "E11.22");
    const std::string page = ViewerText(viewer);
    const size_t edits = page.find("\nEdits and flags:\n"), own = page.find("\nGuidelines:\n"),
                 entries = page.find("\nIndex entries:\n");
    ASSERT_NE(own, std::string::npos) << page.substr(page.size() > 600 ? page.size() - 600 : 0);
    EXPECT_LT(edits, own);
    EXPECT_LT(own, entries);
    ASSERT_TRUE(PressViewerLink(w, "I.C.4.a Diabetes mellitus\n", own));
    EXPECT_TRUE(Shows("I.C.4.a  Diabetes mellitus\n")) << ViewerText(viewer).substr(0, 80);
    EXPECT_EQ(Current().kind, PAGE_KIND_GUIDELINE);
    // The index entries' links after it still lead to their entries.
    NavigateBack(w);
    PumpMessages();
    ASSERT_TRUE(PressViewerLink(w, "Diabetes, diabetic (mellitus) (sugar) > with > chronic kidney "
                                   "disease", ViewerText(viewer).find("\nIndex entries:\n")));
    EXPECT_EQ(Current().kind, PAGE_KIND_INDEX);
}
