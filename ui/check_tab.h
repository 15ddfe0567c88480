// The "Check" tab: a multi-line edit for the codes of one visit, "Check" and "Copy", and the
// Check page in the viewer (history, links). The rules and the page come from classification/;
// this module only turns them into messages.
#pragma once
#include <windows.h>
#include <cstdint>

#include "classification/encounter.h"
#include "ui/browser_window.h"
#include "ui/check_date.h"
#include "ui/check_payer.h"
#include "edits/edits_visit.h"
#include "edits/edits_words.h"

enum : int32_t {
    IDC_CHECK_BUTTON = 510,  // "Check"
    IDC_CHECK_EDIT = 511,    // the list of codes
    IDC_CHECK_COPY = 512,    // "Copy": the normalised codes to the clipboard
    CHECK_TAB = 3,           // position of the tab
};

struct CheckTab {
    ControlSlot edit;                    // multi-line edit, child of the tab control
    ControlSlot button;                  // "Check"
    ControlSlot copy;                    // "Copy"
    CheckDate date;                      // "Date of service", above the edit
    CheckPayer payer;                    // "Age" and "Inpatient", below the date
    EditsVisit visit;                    // the payer's findings of the list last read; owned
    int32_t age;                         // the age the list last read was checked for, or -1
    int32_t inpatient;                   // and whether as an inpatient stay
    Encounter encounter;                 // the codes last read; set up on first use; owned
    int32_t ready;                       // nonzero once encounter is set up
    char manifestationName[EDITS_LINE_CHARS + 1];  // the manifestation list, as findings say it
    int32_t serial;                      // serial of the last checked list (history index)
    char *lists[HISTORY_CAPACITY];       // checked lists by serial % HISTORY_CAPACITY; owned
    int32_t listSerials[HISTORY_CAPACITY];  // the serial each slot holds
    int32_t listDates[HISTORY_CAPACITY];    // the date of service each was checked for (0: none)
    int32_t listAges[HISTORY_CAPACITY];     // the age (-1: none, CHECK_BAD_AGE: not an age)
    uint8_t listInpatient[HISTORY_CAPACITY];  // 1: checked as an inpatient stay
};

// Creates the tab's controls (children of the tab control, hidden) in w->checkTab.
// 0; ERR_NULLPTR; ERR_ALLOC; ERR_CREATE.
int32_t CheckTabCreate(BrowserWindow *w, HFONT font);
// Frees the tab's data and record; a null checkTab is ignored.
void CheckTabFree(BrowserWindow *w);
// Rectangles of the tab's controls from the tab control's, and moving them.
void CheckTabComputeLayout(BrowserWindow *w);
void CheckTabApplyLayout(BrowserWindow *w);
// Shows (focus in the edit) or hides the tab's controls.
void CheckTabShow(BrowserWindow *w, int32_t shown);

// Checks the edit's list and shows its page, pushing it to the history (PAGE_KIND_CHECK).
// 0; ERR_NULLPTR; ERR_ALLOC; the ShowCheckPage status.
int32_t CheckTabRun(BrowserWindow *w);
// Shows the page of the list checked with serial, with history set pushing it. 0; ERR_NULLPTR;
// ERR_NOTFOUND (the list is no longer kept); ERR_ALLOC; the ShowComposedPage status.
int32_t ShowCheckPage(BrowserWindow *w, int32_t serial, int32_t history);
// Follows a link of the Check page by its text: the record the code names (a complete code's
// page), or else the Official Guidelines' section ("I.C.9.a"). 0; ERR_NOTFOUND; ERR_NOTAVAIL
// (no guidelines data); ERR_NULLPTR.
int32_t CheckPageFollowLink(BrowserWindow *w, const char *text);
// Puts the edit's codes, normalised, one a line, on the clipboard. 0; ERR_NULLPTR; ERR_ALLOC.
int32_t CheckTabCopy(BrowserWindow *w);
// 1 when control is the tab's edit (for Ctrl+Enter).
int32_t CheckTabIsEdit(const BrowserWindow *w, HWND control);
