// The "Index" tab: its search edit, button and hit list over the index set, the index pages in
// the viewer (history, highlighting) and their links, mapped by position. The data and the
// pages come from index/; this module only turns them into messages.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <cstdint>

#include "index/index_backrefs.h"
#include "index/index_page.h"
#include "index/index_query.h"
#include "index/index_search.h"
#include "index/index_set.h"
#include "ui/browser_window.h"

enum : int32_t {
    IDC_INDEX_BUTTON = 508,      // "Search" on the Index tab
    IDC_INDEX_EDIT = 509,        // the Index tab's search edit
    INDEX_TAB = 2,               // position of the tab
    INDEX_CELL_CHARS = 1023,     // a list cell's text is cut here
};

struct IndexTab {
    ControlSlot edit;              // search edit, child of the tab control
    ControlSlot button;            // "Search"
    ControlSlot list;              // hit list: index, path, codes (virtual)
    ControlSlot status;            // what went wrong with the data, in place of the list
    ControlSlot note;              // above the list: an abbreviation's words, a typo's correction
    IndexVocabulary *vocabulary;   // the titles' words, once a search found nothing; owned
    IndexSet set;                  // the indexes; empty until loaded or when they could not be; owned
    int32_t loaded;                // nonzero once the load was tried
    int32_t loadStatus;            // 0, or the status of the failed load
    IndexSearch search;            // the last phrase and its hits; owned
    IndexLinkMap links;            // links of the index page in the viewer; owned
    IndexBackrefs backrefs;        // the entries that lead to each record; owned (index_entries.h)
    int32_t backrefsTried;         // nonzero once the map was tried
    int32_t backrefsStatus;        // 0, or the status of the failed load or build
    IndexLinkMap entryLinks;       // links of the record page's "Index entries:"; owned
    char cell[INDEX_CELL_CHARS + 1];  // text handed to the list for one cell
};

// Creates the tab's controls (children of the tab control, hidden) in w->indexTab. The indexes
// are loaded when the tab is first shown or searched, not at start-up.
// 0; ERR_NULLPTR; ERR_ALLOC; ERR_CREATE.
int32_t IndexTabCreate(BrowserWindow *w, HFONT font);
// Loads the indexes unless that was tried before; a failed load is no failure of the window: the
// tab then shows why, and stays empty. The load's status (0 or the failure), ERR_NULLPTR.
int32_t IndexTabLoad(BrowserWindow *w);
// Frees the tab's data and record; null indexTab is ignored.
void IndexTabFree(BrowserWindow *w);
// Rectangles of the tab's controls from the tab control's (as for "Find"), and moving them.
void IndexTabComputeLayout(BrowserWindow *w);
void IndexTabApplyLayout(BrowserWindow *w);
// Shows (with the focus in the edit; the indexes loaded first) or hides the tab's controls.
void IndexTabShow(BrowserWindow *w, int32_t shown);

// Searches the indexes for phrase as a coder types it (index_query.h: abbreviations, plurals,
// typos) and shows the hits in the list (emptied first), one row per entry, the best first, with
// the query's note above the list; a phrase of one code that finds nothing lists the entries that lead to
// its record (as its page's "Index entries:" does). The IndexSearchRun status; ERR_NOTAVAIL without index data; ERR_NULLPTR.
int32_t IndexSearchInWindow(BrowserWindow *w, const char *phrase);
// Shows set-wide entry n's page, with history set pushing it (PAGE_KIND_INDEX). The words of the
// last index search are highlighted while the check box is set. 0; ERR_NULLPTR; ERR_INVINDEX;
// the ShowComposedPage status.
int32_t ShowIndexPage(BrowserWindow *w, int32_t n, int32_t history);
// Follows the link of the index page at character position: a record's page through GoToCode,
// an entry's page with a history entry. 0; ERR_NOTFOUND when no link is there; ERR_NULLPTR.
int32_t IndexPageFollowLink(BrowserWindow *w, int32_t position);

// Event handlers, called by the browser window's procedure.
void IndexTabOnFind(BrowserWindow *w, int focusList);                  // button / Enter in edit
void IndexTabOnGetDispInfo(BrowserWindow *w, NMLVDISPINFOA *info);     // LVN_GETDISPINFOA
void IndexTabOnItemActivate(BrowserWindow *w, NMITEMACTIVATE *item);   // LVN_ITEMACTIVATE
// 1 when control is the tab's edit (for Enter) or list (for its notifications).
int32_t IndexTabIsEdit(const BrowserWindow *w, HWND control);
int32_t IndexTabIsList(const BrowserWindow *w, HWND control);
// The tab's hit list, or null when the tab was not made.
HWND IndexTabList(const BrowserWindow *w);
