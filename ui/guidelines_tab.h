// The "Guidelines" tab: a search edit and button over the Official Guidelines, and a list of
// sections (all of them in document order, or the hits of the last search) that open their
// pages. The sections, search and pages come from guidelines/ through ui/guideline_pages.h.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

#include "ui/browser_window.h"

enum : int32_t {
    IDC_GUIDELINES_BUTTON = 516,  // "Search" on the Guidelines tab
    IDC_GUIDELINES_EDIT = 517,    // the Guidelines tab's search edit
    GUIDELINES_TAB = 4,           // position of the tab
    GUIDELINES_PHRASE_CHARS = 255,
};

struct GuidelinesTab {
    ControlSlot edit;    // search edit, child of the tab control
    ControlSlot button;  // "Search"
    ControlSlot note;    // above the list: how many sections, or that none holds the words
    ControlSlot list;    // sections: ID, heading (virtual)
    int32_t *rows;       // section number of each row; owned
    int32_t rowCount;
    char phrase[GUIDELINES_PHRASE_CHARS + 1];  // the words of the last search, "" for none
};

// Creates the tab's controls (children of the tab control, hidden) in w->guidelinesTab. The
// guidelines are loaded when the tab is first shown, not at start-up.
// 0; ERR_NULLPTR; ERR_ALLOC; ERR_CREATE.
int32_t GuidelinesTabCreate(BrowserWindow *w, HFONT font);
void GuidelinesTabFree(BrowserWindow *w);
void GuidelinesTabComputeLayout(BrowserWindow *w);
void GuidelinesTabApplyLayout(BrowserWindow *w);
// Shows (focus in the edit; the sections listed the first time) or hides the tab's controls.
void GuidelinesTabShow(BrowserWindow *w, int32_t shown);

// Lists the sections holding a word beginning with each word of phrase, deepest first, or every
// section for a phrase without words, and says so above the list. 0 (also for no hit);
// ERR_NOTAVAIL without the data; ERR_INVPARAM for too many words; ERR_NULLPTR; ERR_ALLOC.
int32_t GuidelinesSearchInWindow(BrowserWindow *w, const char *phrase);
// The words of the last search, highlighted on section pages; "" for none.
const char *GuidelinesTabPhrase(const BrowserWindow *w);

// Event handlers, called by the browser window's procedure.
void GuidelinesTabOnFind(BrowserWindow *w, int focusList);                // button / Enter
void GuidelinesTabOnGetDispInfo(BrowserWindow *w, NMLVDISPINFOA *info);   // LVN_GETDISPINFOA
void GuidelinesTabOnItemActivate(BrowserWindow *w);                       // LVN_ITEMACTIVATE
int32_t GuidelinesTabIsEdit(const BrowserWindow *w, HWND control);
int32_t GuidelinesTabIsList(const BrowserWindow *w, HWND control);
HWND GuidelinesTabList(const BrowserWindow *w);
