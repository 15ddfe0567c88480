// Entry points of the page, search, help and navigation features, called by the browser
// window's procedure when the matching control event arrives.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

struct BrowserWindow;

void RecordPageOnTreeSelChanged(BrowserWindow *w, NMTREEVIEWA *nm);  // TVN_SELCHANGEDA
void SearchOnFind(BrowserWindow *w, int focusList);  // 501 (focusList 0) / Enter in edit (1)
void SearchOnGetDispInfo(BrowserWindow *w, NMLVDISPINFOA *info);     // LVN_GETDISPINFOA
void SearchOnItemActivate(BrowserWindow *w, NMITEMACTIVATE *item);   // LVN_ITEMACTIVATE
void HelpOnInfoButton(BrowserWindow *w);                             // 507
LRESULT NavigateOnLink(BrowserWindow *w, ENLINK *link);              // EN_LINK
void NavigateOnCommand(BrowserWindow *w, int controlId);             // 530, 532, 534
void NavigateOnBackspace(BrowserWindow *w);  // MSG_CONTROL_CHAR 8 from the viewer
// WM_APPCOMMAND: the browser keys and the mouse's back and forward buttons; TRUE if handled.
BOOL NavigateOnAppCommand(BrowserWindow *w, LPARAM lParam);
