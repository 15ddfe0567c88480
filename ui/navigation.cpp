// Navigation actions: showing the current history page again, going to a code (a followed
// link), and walking the history back and forward; plus the events that trigger them.
#include "ui/navigation.h"

#include <richedit.h>
#include <cstring>

#include "classification/code_refs.h"
#include "classification/page_compose.h"
#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/features.h"
#include "ui/help_page.h"
#include "ui/history.h"
#include "ui/index_entries.h"
#include "ui/index_tab.h"
#include "ui/record_page.h"
#include "ui/tree_items.h"

// Renders a history entry without pushing it.
static int32_t ShowEntry(BrowserWindow *w, PageRef entry) {
    if (entry.kind == PAGE_KIND_INDEX) return ShowIndexPage(w, entry.index, 0);
    if (entry.kind != PAGE_KIND_RECORD) return ERR_INVTYPE;
    if (entry.index < 0 || (uint32_t)entry.index >= w->table.recordCount) return ERR_INVINDEX;
    ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[entry.index], w->table.records, 0);
    return 0;
}

int32_t ShowCurrentPage(BrowserWindow *w) {
    if (!w) return ERR_NULLPTR;
    return ShowEntry(w, w->history[w->historyPos]);
}

int32_t NavigateBack(BrowserWindow *w) {
    PageRef entry;
    int32_t status = HistoryBack(w, &entry);
    return status < 0 ? status : ShowEntry(w, entry);
}

int32_t NavigateForward(BrowserWindow *w) {
    PageRef entry;
    int32_t status = HistoryForward(w, &entry);
    return status < 0 ? status : ShowEntry(w, entry);
}

int32_t GoToCode(BrowserWindow *w, uint16_t kind, const char *code) {
    if (!w) return ERR_NULLPTR;
    int32_t r = FindRecordByCode(&w->table, kind, code);
    if (r < 0) return r;
    const TextRecord *record = &w->table.records[r];
    SendMessageA(w->tab.handle, TCM_SETCURSEL, 0, 0);
    ShowTab(w, 0);
    // A change of selection shows the page through TVN_SELCHANGEDA, history entry included;
    // rendering it a second time would only repeat that work. When the item was selected already
    // (or the record has no item) nothing was shown, so the page is shown here.
    HWND tree = w->tree.handle;
    HTREEITEM item = TreeItemFor(w, (uint32_t)r);
    HTREEITEM before = item ? (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) : nullptr;
    if (item) SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    bool shownBySelection =
        item && before != item && (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == item;
    if (!shownBySelection) ShowRecordPage(w, PAGE_KIND_RECORD, record, w->table.records, 1);
    return 0;
}

static bool EqualNoCase(const char *a, const char *b) {
    for (;; a++, b++) {
        char x = (*a >= 'a' && *a <= 'z') ? (char)(*a - 32) : *a;
        char y = (*b >= 'a' && *b <= 'z') ? (char)(*b - 32) : *b;
        if (x != y) return false;
        if (!x) return true;
    }
}

LRESULT NavigateOnLink(BrowserWindow *w, ENLINK *link) {
    if (!w || !link || link->msg != WM_LBUTTONDOWN) return 0;
    if (!w->textBuffer || w->textCapacity < 1) return 0;
    HWND viewer = w->viewer.handle;
    SendMessageA(viewer, EM_SETSEL, link->chrg.cpMin, link->chrg.cpMax);
    // The link's text, read through a range bounded by the buffer rather than EM_GETSELTEXT,
    // which would write a selection of any length.
    TEXTRANGEA range = {};
    range.chrg.cpMin = link->chrg.cpMin;
    range.chrg.cpMax = link->chrg.cpMax;
    if (range.chrg.cpMax < range.chrg.cpMin || range.chrg.cpMax - range.chrg.cpMin > w->textCapacity)
        range.chrg.cpMax = range.chrg.cpMin + w->textCapacity;
    range.lpstrText = w->textBuffer;
    w->textBuffer[0] = '\0';
    SendMessageA(viewer, EM_GETTEXTRANGE, 0, (LPARAM)&range);
    w->textBuffer[w->textCapacity] = '\0';
    if (EqualNoCase(w->textBuffer, "Create Icon")) {
        CreateDesktopIcon(w);
        return 0;
    }
    // An index page's links are known by where they stand, not by their text.
    if (w->history[w->historyPos].kind == PAGE_KIND_INDEX) {
        IndexPageFollowLink(w, link->chrg.cpMin);
        return 0;
    }
    // So are those of a record page's "Index entries:".
    if (w->shownPage.kind == PAGE_KIND_RECORD && IndexEntriesFollowLink(w, link->chrg.cpMin) != ERR_NOTFOUND)
        return 0;
    uint16_t kind = LinkKindForText(&w->links, w->textBuffer);
    GoToCode(w, kind, w->textBuffer);
    return 0;
}

void NavigateOnCommand(BrowserWindow *w, int controlId) {
    switch (controlId) {
    case IDC_BACK_BUTTON: NavigateBack(w); break;
    case IDC_FORWARD_BUTTON: NavigateForward(w); break;
    case IDC_SHOW_WORD_CHECK: ShowCurrentPage(w); break;
    default: break;
    }
}

void NavigateOnBackspace(BrowserWindow *w) { NavigateBack(w); }

BOOL NavigateOnAppCommand(BrowserWindow *w, LPARAM lParam) {
    switch (GET_APPCOMMAND_LPARAM(lParam)) {
    case APPCOMMAND_BROWSER_BACKWARD: NavigateBack(w); return TRUE;
    case APPCOMMAND_BROWSER_FORWARD: NavigateForward(w); return TRUE;
    default: return FALSE;
    }
}
