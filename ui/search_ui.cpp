// Search in the window: runs "Find" for the text in the search edit, fills the virtual hit list
// or says under it that nothing was found, opens a typed code's page, answers the list's cells
// and opens the page of an activated hit.
#include "ui/search_ui.h"

#include "classification/str_bounded.h"

#include <cstring>

#include "classification/search.h"
#include "classification/search_find.h"
#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/features.h"
#include "ui/record_page.h"

// The list is virtual: an insert only raises its row count, and row i shows hit i.
static void InsertHitRow(void *context, int32_t hitNumber, const PageRef *) {
    HWND list = (HWND)context;
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = 0;
    item.lParam = hitNumber;
    SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
}

// The line under the list: text shows it, null takes it away. The list gives the line its
// room only while the line is there.
static void SetNothingFound(BrowserWindow *w, const char *text) {
    int32_t on = text != nullptr;
    if (!w->nothingFound.handle || (!on && !w->nothingFoundOn)) return;
    SetWindowTextA(w->nothingFound.handle, on ? text : "");
    if (on != w->nothingFoundOn) {
        w->nothingFoundOn = on;
        BrowserComputeLayout(w);
        BrowserApplyLayout(w);
        InvalidateRect(w->list.handle, nullptr, TRUE);
    }
    int visible = on && IsWindowVisible(w->list.handle);
    ShowWindow(w->nothingFound.handle, visible ? SW_SHOW : SW_HIDE);
}

// A typed code's one hit is opened at once, as a click on its row would: row selected, page
// shown with one history entry.
static void OpenCodeHit(BrowserWindow *w) {
    PageRef hit = w->search.hits[0];
    if (hit.kind != PAGE_KIND_RECORD || hit.index < 0 ||
        (uint32_t)hit.index >= w->table.recordCount)
        return;
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(w->list.handle, LVM_SETITEMSTATE, 0, (LPARAM)&state);
    // A complete code typed (T46.4X5A) opens its leaf's page headed as itself.
    if (w->search.searchWord)
        StrCopyBounded(w->completeCode, w->search.searchWord, (int32_t)sizeof w->completeCode - 1);
    ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[hit.index], w->table.records, 1);
    w->completeCode[0] = '\0';
}

int32_t SearchInWindow(BrowserWindow *w, const char *word) {
    if (!w || !word) return ERR_NULLPTR;
    if ((int32_t)strlen(word) < MIN_SEARCH_CHARS) return ERR_EMPTY;
    HWND list = w->list.handle;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    int32_t status = SearchFind(&w->search, &w->table, &w->sevenths, word, InsertHitRow, list);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    if (status < 0) {
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);  // rows of hits now dropped
        return status;
    }
    if (w->search.hitCount == 0) {
        char line[NOTHING_FOUND_CHARS + 1];
        SetNothingFound(w, SearchNothingFoundText(&w->releases.changes, word, line, NOTHING_FOUND_CHARS));
    } else {
        SetNothingFound(w, nullptr);
        if (w->search.rule == SEARCH_RULE_CODE) OpenCodeHit(w);
    }
    return status;
}

void SearchOnFind(BrowserWindow *w, int focusList) {
    if (!w || !w->textBuffer || w->textCapacity < 1) return;
    w->textBuffer[0] = '\0';
    GetWindowTextA(w->searchEdit.handle, w->textBuffer, w->textCapacity);
    if (SearchInWindow(w, w->textBuffer) < 0) return;
    // A typed code's page is the answer: the focus stays where opening it put it.
    if (focusList && w->search.rule != SEARCH_RULE_CODE) SetFocus(w->list.handle);
}

void SearchOnGetDispInfo(BrowserWindow *w, NMLVDISPINFOA *info) {
    if (!w || !info) return;
    LVITEMA *item = &info->item;
    if (item->mask & LVIF_STATE) item->state = 0;
    if (item->mask & LVIF_IMAGE) item->iImage = 0;
    if (!(item->mask & LVIF_TEXT)) return;
    static char dash[] = "-";
    static char unknown[] = "?";
    static char scheme[] = "ICD10";
    int32_t row = item->iItem;
    if (row < 0 || row >= w->search.hitCount) {
        item->pszText = dash;
        return;
    }
    PageRef hit = w->search.hits[row];
    const TextRecord *record = nullptr;
    if (hit.kind == PAGE_KIND_RECORD && hit.index >= 0 &&
        (uint32_t)hit.index < w->table.recordCount)
        record = &w->table.records[hit.index];
    // The list copies the text at once; pointing into the record's own text needs no copy.
    switch (item->iSubItem) {
    case 0: item->pszText = record ? scheme : unknown; break;
    case 1: item->pszText = record ? (char *)RecordField(record, FIELD_CODE) : unknown; break;
    case 2: item->pszText = record ? (char *)RecordField(record, FIELD_TITLE) : unknown; break;
    default: item->pszText = dash; break;
    }
}

void SearchOnItemActivate(BrowserWindow *w, NMITEMACTIVATE *item) {
    if (!w || !item) return;
    // Activation by Enter comes as a bare NMHDR (Wine; the documentation allows it too) and by a
    // click after the row got the focus, so the focused row is the activated one either way.
    int32_t row = (int32_t)SendMessageA(w->list.handle, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (row < 0) row = (int32_t)SendMessageA(w->list.handle, LVM_GETNEXTITEM, (WPARAM)-1,
                                             LVNI_SELECTED);
    if (row < 0 || row >= w->search.hitCount) return;
    PageRef hit = w->search.hits[row];
    if (hit.kind != PAGE_KIND_RECORD || hit.index < 0 ||
        (uint32_t)hit.index >= w->table.recordCount)
        return;
    ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[hit.index], w->table.records, 1);
}
