// Navigation actions: showing the current history page again, following a link, and walking
// the history back and forward; plus the events that trigger them.
#include "ui/navigation.h"

#include <richedit.h>
#include <cstring>

#include "classification/page_compose.h"
#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/features.h"
#include "ui/help_page.h"
#include "ui/history.h"
#include "ui/page_kinds.h"

int32_t ShowCurrentPage(BrowserWindow *w) {
    if (!w) return ERR_NULLPTR;
    return PageKindShow(w, w->history[w->historyPos]);
}

int32_t NavigateBack(BrowserWindow *w) {
    PageRef entry;
    int32_t status = HistoryBack(w, &entry);
    return status < 0 ? status : PageKindShow(w, entry);
}

int32_t NavigateForward(BrowserWindow *w) {
    PageRef entry;
    int32_t status = HistoryForward(w, &entry);
    return status < 0 ? status : PageKindShow(w, entry);
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
    PageKindFollowLink(w, w->history[w->historyPos].kind, link->chrg.cpMin, w->textBuffer);
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
