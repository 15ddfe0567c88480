// Helpers of the feature tests (pages, search, history, help, navigation, soak): what the viewer
// shows, the character format at a position, and catching the message boxes the features open.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "classification/search.h"
#include "ui/browser_window.h"
#include "ui_test_support.h"

// The viewer's text as EM_GETTEXTEX gives it, paragraph breaks turned into '\n': one character
// per position, so indexes in it are the control's character positions.
std::string ViewerText(HWND viewer);

// The character format of the single character at position pos (selects it).
CHARFORMAT2A FormatAt(HWND viewer, int32_t pos);

// Record position of the record with this code (exact match), or -1.
int32_t RecordOf(const BrowserWindow *w, const char *code);

// Empties the history (both indexes 0, every slot the empty entry) before a test.
void ResetHistory(BrowserWindow *w);

// Makes tab 0 ("ICD-10") or 1 ("Find") current, as a click on it does.
void SelectTab(BrowserWindow *w, int32_t tab);

// A real left click (SendInput) on the character at position pos of the viewer, which must be in
// view; messages are pumped for 300 ms afterwards.
void RealClickOnViewer(BrowserWindow *w, int32_t pos);

// Sends the viewer's EN_LINK for the characters [from, to) as the given mouse message; returns
// what the window answered.
LRESULT SendLinkPress(BrowserWindow *w, int32_t from, int32_t to, UINT mouse = WM_LBUTTONDOWN);

// Shows a record's page as the tree does (with history).
void ShowCode(BrowserWindow *w, const char *code);

// Waits on a helper thread for the next message box of this process, notes its caption, text
// and icon, and closes it with IDOK. Start it right before the action that opens the box.
class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    // Waits for the helper thread; true when a box was caught.
    bool Finish();
    std::string caption;
    std::string text;
    bool information = false;  // the information icon was shown
    bool warning = false;      // the warning icon was shown

private:
    std::thread thread_;
    bool caught_ = false;
};

// Folder for a private Desktop: sets HOMEPATH (for this process only) to a fresh folder on the
// system drive holding a "Desktop" folder; restores HOMEPATH and removes the folder at the end.
class PrivateHome {
public:
    explicit PrivateHome(bool withDesktop = true);
    ~PrivateHome();
    std::string desktop;  // full path of the Desktop folder, with a trailing backslash

private:
    std::string home_;
    std::string oldHomePath_;
};

// Fixture of the feature suites: one browser window per suite; before every test the history
// is empty, no search word is kept and the "Show seach word in text" box is set.
template <class Suite>
class FeatureSuite : public testing::Test {
protected:
    static void SetUpTestSuite() { b = OpenBrowser(); }
    static void TearDownTestSuite() { CloseBrowser(&b); }
    void SetUp() override {
        ASSERT_NE(b.w, nullptr);
        w = b.w;
        viewer = w->viewer.handle;
        ResetHistory(w);
        ClearSearchResults(&w->search);
        SendMessageA(w->showWordCheck.handle, BM_SETCHECK, BST_CHECKED, 0);
    }
    static inline OpenedBrowser b = {};
    BrowserWindow *w = nullptr;
    HWND viewer = nullptr;
};

// A report list's rows, the text of one cell, and what a click on a row does (the row focused and
// selected, then LVN_ITEMACTIVATE sent to the window, messages pumped).
int32_t ListRows(HWND list);
std::string ListCell(HWND list, int32_t row, int32_t column);
void ActivateListRow(BrowserWindow *w, HWND list, int32_t row);

// Presses the viewer's link whose text is the given one, the first on the page after `after`;
// false (with a test failure) when that text is not there or not a link.
bool PressViewerLink(BrowserWindow *w, const std::string &text, size_t after = 0);
