// The "Index" tab: its controls, the search by button and Enter, the hit list's rows, an index
// page opened from a row, its code, see and subterm links, highlighting, and "<" / ">" through
// record and index pages.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "classification/page_ref.h"
#include "feature_support.h"
#include "foundation/status.h"
#include "ui/index_tab.h"
#include "ui/navigation.h"
#include "ui/record_page.h"
#include "ui_test_support.h"

namespace {

class IndexTabTest : public FeatureSuite<IndexTabTest> {
protected:
    void SetUp() override {
        FeatureSuite::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_NE(w->indexTab, nullptr);
        t = w->indexTab;
        list = t->list.handle;
        SelectTab(w, INDEX_TAB);
    }
    void TearDown() override { SelectTab(w, 0); }
    void Search(const char *phrase) {
        SetWindowTextA(t->edit.handle, phrase);
        SendMessageA(t->button.handle, BM_CLICK, 0, 0);
        PumpMessages();
    }
    int32_t Rows() { return ListRows(list); }
    std::string Cell(int32_t row, int32_t column) { return ListCell(list, row, column); }
    void Activate(int32_t row) { ActivateListRow(w, list, row); }
    // Sends the viewer's EN_LINK for the characters [from, to) as a press of the left button.
    void LinkPress(int32_t from, int32_t to) {
        SendLinkPress(w, from, to);
        PumpMessages();
    }
    void PressLinkText(const std::string &text, size_t after = 0) { PressViewerLink(w, text, after); }
    bool Shows(const std::string &heading) { return ViewerText(viewer).rfind(heading, 0) == 0; }
    PageRef Current() { return w->history[w->historyPos]; }
    IndexTab *t = nullptr;
    HWND list = nullptr;
};

const char kAspirinCodes[] = "T39.011 T39.012 T39.013 T39.014 T39.015 T39.016";

}  // namespace

TEST_F(IndexTabTest, TabShowsItsOwnControlsOnly) {
    EXPECT_TRUE(IsWindowVisible(t->edit.handle));
    EXPECT_TRUE(IsWindowVisible(t->button.handle));
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_FALSE(IsWindowVisible(t->status.handle));
    EXPECT_FALSE(IsWindowVisible(w->tree.handle));
    EXPECT_FALSE(IsWindowVisible(w->list.handle));
    EXPECT_FALSE(IsWindowVisible(w->searchEdit.handle));
    EXPECT_EQ(GetFocus(), t->edit.handle);
    char text[16] = {};
    GetWindowTextA(t->button.handle, text, sizeof text);
    EXPECT_STREQ(text, "Search");
    SelectTab(w, 1);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_TRUE(IsWindowVisible(w->list.handle));
    SelectTab(w, 0);
    EXPECT_FALSE(IsWindowVisible(t->edit.handle));
    EXPECT_TRUE(IsWindowVisible(w->tree.handle));
}

TEST_F(IndexTabTest, AspirinListsTheIndexThenTheDrugsRowsWithTheirSixCodes) {
    Search("aspirin");
    ASSERT_EQ(Rows(), 6);
    EXPECT_EQ(Cell(0, 0), "Index");
    EXPECT_EQ(Cell(0, 2), "Z79.82");
    EXPECT_EQ(Cell(4, 0), "Drugs");
    // Ranked: the drug table's main term before the subterm that names it.
    EXPECT_EQ(Cell(4, 1), "Aspirin (aluminum) (soluble)");
    EXPECT_EQ(Cell(5, 1), "Aluminium, aluminum > aspirin");
    EXPECT_EQ(Cell(4, 2), kAspirinCodes);
    EXPECT_NE(GetFocus(), list);  // the button leaves the focus where it was
    // Enter in the edit searches too and moves to the list.
    SetWindowTextA(t->edit.handle, "lung upper");
    SendMessageA(t->edit.handle, WM_CHAR, '\r', 0);
    PumpMessages();
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 0), "Neoplasms");
    EXPECT_EQ(Cell(1, 1), "Neoplasm, neoplastic > lung > upper lobe");
    EXPECT_EQ(Cell(1, 2), "C34.1- C78.0- D02.2- D14.3- D38.1 D49.1");
    EXPECT_EQ(GetFocus(), list);
    Search("qqxyzzy");
    EXPECT_EQ(Rows(), 0);
    Search("a");  // a single letter lists thousands of rows
    EXPECT_GT(Rows(), 5000);
    EXPECT_EQ(Cell(Rows() - 1, 0), "External causes");
}

TEST_F(IndexTabTest, RowOpensTheEntryPageWithItsCodesAsLinksAndTheWordsMarked) {
    Search("aspirin soluble");
    ASSERT_EQ(Rows(), 1);
    Activate(0);
    ASSERT_TRUE(Shows("Aspirin (aluminum) (soluble)\n\nTable of Drugs and Chemicals\n\n"
                      "Poisoning Accidental (unintentional): T39.011\n"))
        << ViewerText(viewer).substr(0, 200);
    EXPECT_EQ(Current().kind, PAGE_KIND_INDEX);
    EXPECT_EQ(Current().index, t->search.hits[0]);
    EXPECT_EQ(w->historyLast, 1);
    std::string page = ViewerText(viewer);
    CHARFORMAT2A code = FormatAt(viewer, (int32_t)page.find("T39.016"));
    EXPECT_TRUE(code.dwEffects & CFE_LINK);
    CHARFORMAT2A heading = FormatAt(viewer, 0);  // "Aspirin" is a search word
    EXPECT_EQ(heading.crTextColor, (COLORREF)HIGHLIGHT_TEXT_COLOR);
    CHARFORMAT2A soluble = FormatAt(viewer, (int32_t)page.find("soluble"));
    EXPECT_EQ(soluble.crBackColor, (COLORREF)HIGHLIGHT_BACK_COLOR);
    // The code leads to its record, with one more history entry.
    PressLinkText("T39.014");
    ASSERT_TRUE(Shows("T39.014 ")) << ViewerText(viewer).substr(0, 80);
    EXPECT_EQ(Current().kind, PAGE_KIND_RECORD);
    EXPECT_EQ(Current().index, RecordOf(w, "T39.014"));
    EXPECT_EQ(w->historyLast, 2);
    EXPECT_EQ(SendMessageA(w->tab.handle, TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(IndexTabTest, RealClickOnACodeLinkOpensItsRecord) {
    Search("1-propanol");
    Activate(0);
    ASSERT_TRUE(Shows("1-propanol\n"));
    std::string text = ViewerText(viewer);
    int32_t at = (int32_t)text.find("T51.3X2");
    ASSERT_GT(at, 0);
    POINTL p = {};
    SendMessageA(viewer, EM_POSFROMCHAR, (WPARAM)&p, at + 1);
    POINT screen = {p.x + 3, p.y + 8};
    ClientToScreen(viewer, &screen);
    SetForegroundWindow(w->window);
    SetCursorPos(screen.x, screen.y);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
    PumpMessages(300);
    EXPECT_TRUE(Shows("T51.3X2 ")) << ViewerText(viewer).substr(0, 60);
    EXPECT_EQ(w->historyLast, 2);
}

TEST_F(IndexTabTest, SeeLinksLeadToTheirTargetAndUnknownTargetsArePlainText) {
    Search("accident animal-rider");
    ASSERT_GT(Rows(), 2);
    EXPECT_EQ(Cell(0, 1), "Accident > animal-rider");
    Activate(0);
    ASSERT_TRUE(Shows("Accident (to) > animal-rider\n"));
    PressLinkText("Accident, transport, animal-rider");
    EXPECT_TRUE(Shows("Accident (to) > transport (involving injury to) > animal-rider\n"))
        << ViewerText(viewer).substr(0, 80);
    EXPECT_EQ(Current().kind, PAGE_KIND_INDEX);
    EXPECT_EQ(w->historyLast, 2);
    // "subcategories T74.0," names no entry.
    const IndexFile &f = t->set.files[INDEX_KIND_EXTERNAL];
    int32_t entry = -1;
    for (int32_t e = 0; e < f.entryCount && entry < 0; e++)
        for (int32_t i = 0; i < f.entries[e].itemCount; i++)
            if (strcmp(f.items[f.entries[e].firstItem + i].text, "subcategories T74.0,") == 0)
                entry = IndexSetNumber(&t->set, INDEX_KIND_EXTERNAL, e);
    ASSERT_GE(entry, 0);
    ASSERT_EQ(ShowIndexPage(w, entry, 1), 0);
    std::string page = ViewerText(viewer);
    size_t at = page.find("See: subcategories T74.0,");
    ASSERT_NE(at, std::string::npos) << page;
    EXPECT_FALSE(FormatAt(viewer, (int32_t)at + 6).dwEffects & CFE_LINK);
    const int32_t before = w->historyLast;
    LinkPress((int32_t)at + 5, (int32_t)at + 25);  // not a link: nothing happens
    EXPECT_EQ(w->historyLast, before);
}

TEST_F(IndexTabTest, EverySubtermLinkOfTheLongestPageLeadsToItsEntry) {
    const int32_t main = IndexSetNumber(&t->set, INDEX_KIND_NEOPLASM, 0);
    ASSERT_EQ(ShowIndexPage(w, main, 1), 0);
    ASSERT_GT(t->links.linkCount, 500);
    std::string page = ViewerText(viewer);
    // Beyond the record pages' 80 links: the 100th, and the last, which is far down the page.
    for (int32_t k : {99, t->links.linkCount - 1}) {
        ASSERT_EQ(ShowIndexPage(w, main, 0), 0);
        const IndexLink link = t->links.links[k];
        ASSERT_EQ(link.kind, PAGE_KIND_INDEX);
        const IndexEntry *e = IndexSetEntry(&t->set, link.target, nullptr);
        EXPECT_EQ(page.substr(link.start, link.length), e->title);
        EXPECT_TRUE(FormatAt(viewer, link.start).dwEffects & CFE_LINK);
        const int32_t before = w->historyPos;
        LinkPress(link.start, link.start + link.length);
        EXPECT_TRUE(Shows(std::string("Neoplasm, neoplastic > ") + e->title + "\n"))
            << ViewerText(viewer).substr(0, 80);
        EXPECT_EQ(Current().index, link.target);
        EXPECT_EQ(w->historyPos, before + 1);
        NavigateBack(w);
    }
}

TEST_F(IndexTabTest, BackAndForwardWalkRecordAndIndexPages) {
    ShowCode(w, "A00");
    Search("aspirin soluble");
    Activate(0);
    PressLinkText("T39.011");
    ASSERT_EQ(w->historyLast, 3);
    ASSERT_TRUE(Shows("T39.011 "));
    ASSERT_EQ(NavigateBack(w), 0);
    EXPECT_TRUE(Shows("Aspirin (aluminum) (soluble)\n"));
    // The index page's links still lead where they say after coming back to it.
    PressLinkText("T39.012");
    EXPECT_TRUE(Shows("T39.012 "));
    ASSERT_EQ(NavigateBack(w), 0);
    ASSERT_EQ(NavigateBack(w), 0);
    EXPECT_TRUE(Shows("A00 Cholera"));
    SendMessageA(w->forwardButton.handle, BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_TRUE(Shows("Aspirin (aluminum) (soluble)\n"));
    EXPECT_EQ(Current().kind, PAGE_KIND_INDEX);
    SendMessageA(w->forwardButton.handle, BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_TRUE(Shows("T39.012 "));
    // The check box redraws the current index page in place.
    SendMessageA(w->showWordCheck.handle, BM_CLICK, 0, 0);
    NavigateBack(w);
    EXPECT_EQ(ShowCurrentPage(w), 0);
    EXPECT_TRUE(Shows("Aspirin (aluminum) (soluble)\n"));
    EXPECT_NE(FormatAt(viewer, 0).crBackColor, (COLORREF)HIGHLIGHT_BACK_COLOR);
}

TEST_F(IndexTabTest, HelpTextExplainsTheTab) {
    ASSERT_NE(w->helpText, nullptr);
    EXPECT_NE(strstr(w->helpText, "\"Index\" tab"), nullptr);
    EXPECT_NE(strstr(w->helpText, "Table of Drugs and Chemicals"), nullptr);
}

TEST_F(IndexTabTest, DiabetesKidneyListsTheMainIndexFirstWithItsCodes) {
    Search("diabetes kidney");
    ASSERT_GT(Rows(), 10);
    EXPECT_EQ(Cell(0, 0), "Index");
    EXPECT_EQ(Cell(0, 1), "Diabetes, diabetic > with > chronic kidney disease");
    EXPECT_EQ(Cell(0, 2), "E11.22");
}

TEST_F(IndexTabTest, AmyloidHeartShowsBothCodesAndItsPageLinksEach) {
    Search("amyloid heart");
    ASSERT_GT(Rows(), 0);
    EXPECT_EQ(Cell(0, 1), "Amyloid heart (disease)");
    EXPECT_EQ(Cell(0, 2), "E85.4 [I43]");
    Activate(0);
    ASSERT_TRUE(Shows("Amyloid heart (disease)\n\nIndex to Diseases and Injuries\n\n"
                      "Code: E85.4 [I43]\nBoth are coded: E85.4 for the underlying condition "
                      "first, then I43, the bracketed manifestation code, second.\n"))
        << ViewerText(viewer).substr(0, 300);
    PressLinkText("E85.4");
    EXPECT_TRUE(Shows("E85.4 ")) << ViewerText(viewer).substr(0, 60);
    EXPECT_EQ(Current().index, RecordOf(w, "E85.4"));
    ASSERT_EQ(NavigateBack(w), 0);
    PressLinkText("I43", ViewerText(viewer).find("[I43]"));
    EXPECT_TRUE(Shows("I43 ")) << ViewerText(viewer).substr(0, 60);
    EXPECT_EQ(Current().index, RecordOf(w, "I43"));
    EXPECT_EQ(w->historyLast, 2);  // the row's page, then the second code's record
}

TEST_F(IndexTabTest, RecordPageIndexEntriesLeadToTheirPagesAndTheRestToTheTab) {
    ShowCode(w, "E11.22");
    std::string page = ViewerText(viewer);
    const size_t section = page.find("\nIndex entries:\n");
    ASSERT_NE(section, std::string::npos) << page.substr(page.size() > 300 ? page.size() - 300 : 0);
    const int32_t before = w->historyLast;
    PressLinkText("Diabetes, diabetic (mellitus) (sugar) > type 2 > with > chronic kidney disease",
                  section);
    EXPECT_TRUE(Shows("Diabetes, diabetic (mellitus) (sugar) > type 2 > with > chronic kidney "
                      "disease\n")) << ViewerText(viewer).substr(0, 100);
    EXPECT_EQ(Current().kind, PAGE_KIND_INDEX);
    EXPECT_EQ(w->historyLast, before + 1);
    // Beyond fifty entries the last line lists them all on the Index tab, by the code.
    ShowCode(w, "E11");
    page = ViewerText(viewer);
    const size_t more = page.find(" more: list them all on the Index tab");
    ASSERT_NE(more, std::string::npos);
    const size_t and_ = page.rfind("and ", more);
    PressLinkText(page.substr(and_, more - and_ + 5), and_);
    EXPECT_EQ(SendMessageA(w->tab.handle, TCM_GETCURSEL, 0, 0), INDEX_TAB);
    EXPECT_EQ(Rows(), 50 + atoi(page.c_str() + and_ + 4));
    char typed[16] = {};
    GetWindowTextA(t->edit.handle, typed, sizeof typed);
    EXPECT_STREQ(typed, "E11");
    // Typed, the code lists the same.
    const int32_t rows = Rows();
    Search("e11");
    EXPECT_EQ(Rows(), rows);
}

// What coders type: the line above the list says how the words were read, the best entry comes
// first, and a row that refers elsewhere says where.
TEST_F(IndexTabTest, CodersWordsAreReadAsCodersMeanThem) {
    const struct {
        const char *typed, *note, *first;
    } rows[] = {
        {"copd", "COPD: disease, lung, obstructive", "Disease, diseased > lung > obstructive (chronic)"},
        {"pnemonia", "Showing results for pneumonia", "Pneumonia (acute)"},
        {"heart attack", "", "Attack, attacks > heart"},
    };
    char note[256];
    for (const auto &row : rows) {
        Search(row.typed);
        GetWindowTextA(t->note.handle, note, sizeof note);
        EXPECT_EQ(std::string(note).rfind(row.note, 0), 0u) << row.typed << ": " << note;
        EXPECT_EQ(Cell(0, 1).rfind(row.first, 0), 0u) << row.typed << ": " << Cell(0, 1);
    }
    Search("heart attack");
    EXPECT_EQ(Cell(0, 2), "see infarct, myocardium");
    // The Hypertension rows read apart: the main term without its eight modifiers, then the
    // subterms, within what the column shows.
    Search("hypertension");
    ASSERT_GT(Rows(), 3);
    EXPECT_EQ(Cell(1, 1).rfind("Hypertension, hypertensive > ", 0), 0u) << Cell(1, 1);
    EXPECT_LT(Cell(1, 1).size(), 60u) << Cell(1, 1);
    EXPECT_TRUE(IsWindowVisible(t->note.handle));
}
