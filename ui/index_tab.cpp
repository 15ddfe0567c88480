// The "Index" tab: creating its controls and loading the indexes, the search and its virtual hit
// list, index pages in the viewer with the search words highlighted, and following their links.
#include "ui/index_tab.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "classification/page_ref.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/dpi.h"
#include "ui/history.h"
#include "ui/index_entries.h"
#include "ui/list_columns.h"
#include "ui/record_page.h"
#include "ui/page_view.h"
#include "ui/rich_text_view.h"
#include "ui/subclass.h"
#include "ui/tab_child.h"

static const DWORD LIST_STYLE = WS_CHILD | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | LVS_OWNERDATA;
static const DWORD BUTTON_STYLE = WS_CHILD | WS_BORDER;
static const DWORD EDIT_STYLE = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL;
static const DWORD STATUS_STYLE = WS_CHILD | SS_LEFT;

static HWND Create(BrowserWindow *w, ControlSlot *slot, DWORD exStyle, const char *cls,
                   const char *text, DWORD style, int32_t id) {
    return TabChildCreate(w, slot, exStyle, cls, text, style, id);
}

// What the tab says in place of its list when the indexes could not be read.
static void ShowLoadFailure(IndexTab *t) {
    char text[256];
    snprintf(text, sizeof text,
             "The index data could not be read (%s). The Index tab has no entries; the "
             "classification is not affected.",
             StatusName(t->loadStatus));
    SetWindowTextA(t->status.handle, text);
    EnableWindow(t->edit.handle, FALSE);
    EnableWindow(t->button.handle, FALSE);
}

int32_t IndexTabCreate(BrowserWindow *w, HFONT font) {
    if (!w) return ERR_NULLPTR;
    IndexTab *t = (IndexTab *)MemAlloc((int32_t)sizeof(IndexTab));
    if (!t) return ERR_ALLOC;
    w->indexTab = t;
    IndexTabComputeLayout(w);
    HWND list = Create(w, &t->list, 0, WC_LISTVIEWA, nullptr, LIST_STYLE, 0);
    HWND button = Create(w, &t->button, 0, "BUTTON", "Search", BUTTON_STYLE, IDC_INDEX_BUTTON);
    HWND edit = Create(w, &t->edit, 0, "EDIT", nullptr, EDIT_STYLE, IDC_INDEX_EDIT);
    HWND status = Create(w, &t->status, 0, "STATIC", "", STATUS_STYLE, 0);
    HWND note = Create(w, &t->note, 0, "STATIC", "", STATUS_STYLE | SS_CENTERIMAGE | SS_ENDELLIPSIS, 0);
    if (!list || !button || !edit || !status || !note) return ERR_CREATE;
    LRESULT ex = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 ex | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    ListAddColumn(list, 0, "index", DpiScale(90, w->dpi));
    ListAddColumn(list, 1, "path", DpiScale(330, w->dpi));
    ListAddColumn(list, 2, "codes", DpiScale(330, w->dpi));
    for (HWND control : {button, edit, status, note})
        SendMessageA(control, WM_SETFONT, (WPARAM)font, FALSE);
    if (SubclassCharForward(edit, w->window, MSG_CONTROL_CHAR) < 0) return ERR_ALLOC;
    return 0;
}

// Start-up does not wait for the indexes: parsing them costs about as much as the 30 ms that
// start-up may grow by, and most sessions never open the tab.
int32_t IndexTabLoad(BrowserWindow *w) {
    if (!w || !w->indexTab) return ERR_NULLPTR;
    IndexTab *t = w->indexTab;
    if (!t->loaded) {
        t->loaded = 1;
        t->loadStatus = IndexSetLoad(&t->set);
        if (t->loadStatus < 0) ShowLoadFailure(t);
    }
    return t->loadStatus;
}

void IndexTabFree(BrowserWindow *w) {
    if (!w || !w->indexTab) return;
    IndexTab *t = w->indexTab;
    IndexSearchClear(&t->search);
    IndexVocabularyFree(&t->vocabulary);
    IndexLinkMapFree(&t->links);
    IndexLinkMapFree(&t->entryLinks);
    IndexBackrefsFree(&t->backrefs);
    IndexSetFree(&t->set);
    MemFree(t);
    w->indexTab = nullptr;
}

void IndexTabComputeLayout(BrowserWindow *w) {
    if (!w || !w->indexTab) return;
    IndexTab *t = w->indexTab;
    // The places of the "Find" tab's controls, in the tab control's client coordinates.
    // A line for the query's note on top, as high as a button; the list below it.
    const int32_t row = w->findButton.rect.bottom - w->findButton.rect.top;
    t->note.rect = {w->list.rect.left, w->list.rect.top, w->list.rect.right, w->list.rect.top + row};
    t->list.rect = {w->list.rect.left, w->list.rect.top + row, w->list.rect.right,
                    w->list.rect.bottom};
    t->status.rect = w->list.rect;
    t->button.rect = w->findButton.rect;
    t->edit.rect = w->searchEdit.rect;
}

void IndexTabApplyLayout(BrowserWindow *w) {
    if (!w || !w->indexTab) return;
    IndexTab *t = w->indexTab;
    for (ControlSlot *slot : {&t->list, &t->status, &t->note, &t->button, &t->edit}) {
        const LayoutRect &r = slot->rect;
        if (slot->handle)
            MoveWindow(slot->handle, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
}

void IndexTabShow(BrowserWindow *w, int32_t shown) {
    if (!w || !w->indexTab) return;
    IndexTab *t = w->indexTab;
    if (shown) IndexTabLoad(w);
    const int show = shown ? SW_SHOW : SW_HIDE;
    const bool failed = t->loadStatus < 0;
    ShowWindow(t->list.handle, failed ? SW_HIDE : show);
    ShowWindow(t->status.handle, failed ? show : SW_HIDE);
    ShowWindow(t->note.handle, failed ? SW_HIDE : show);
    ShowWindow(t->button.handle, show);
    ShowWindow(t->edit.handle, show);
    if (shown) SetFocus(t->edit.handle);
}

// The query's note as the line above the list says it, into buffer.
static const char *IndexNoteLine(const IndexQueryNote *note, char *buffer, size_t size) {
    if (note->corrected[0] != '\0')
        snprintf(buffer, size, "Showing results for %s%s%s", note->corrected,
                 note->others[0] ? ". Did you mean: " : "", note->others);
    else
        snprintf(buffer, size, "%s", note->expansion);
    return buffer;
}

int32_t IndexSearchInWindow(BrowserWindow *w, const char *phrase) {
    if (!w || !w->indexTab || !phrase) return ERR_NULLPTR;
    IndexTab *t = w->indexTab;
    if (IndexTabLoad(w) < 0) return ERR_NOTAVAIL;
    HWND list = t->list.handle;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    IndexQueryNote note;
    int32_t status = IndexQueryRun(&t->search, &t->set, phrase, &t->vocabulary, &note);
    SetWindowTextA(t->note.handle, IndexNoteLine(&note, t->cell, sizeof t->cell));
    // One code that no path has lists the entries that lead to its record.
    const IndexBackrefs *refs =
        status == 0 && t->search.hitCount == 0 && IndexWordIsCode(phrase) ? IndexEntriesMap(w) : nullptr;
    const int32_t record = refs ? IndexBackrefsRecordFor(&w->table, &w->sevenths, phrase) : -1;
    if (record >= 0) status = IndexBackrefsSearch(&t->search, refs, record, phrase, nullptr, nullptr);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    // The list is virtual: its row count is the hit count, row i shows hit i.
    SendMessageA(list, LVM_SETITEMCOUNT, (WPARAM)t->search.hitCount, 0);
    return status;
}

void IndexTabOnFind(BrowserWindow *w, int focusList) {
    if (!w || !w->indexTab || !w->textBuffer || w->textCapacity < 1) return;
    w->textBuffer[0] = '\0';
    GetWindowTextA(w->indexTab->edit.handle, w->textBuffer, w->textCapacity);
    if (IndexSearchInWindow(w, w->textBuffer) < 0) return;
    if (focusList) SetFocus(w->indexTab->list.handle);
}

void IndexTabOnGetDispInfo(BrowserWindow *w, NMLVDISPINFOA *info) {
    if (!w || !w->indexTab || !info) return;
    IndexTab *t = w->indexTab;
    LVITEMA *item = &info->item;
    if (item->mask & LVIF_STATE) item->state = 0;
    if (item->mask & LVIF_IMAGE) item->iImage = 0;
    if (!(item->mask & LVIF_TEXT)) return;
    static char dash[] = "-";
    const int32_t row = item->iItem;
    if (row < 0 || row >= t->search.hitCount) {
        item->pszText = dash;
        return;
    }
    const int32_t n = t->search.hits[row];
    uint16_t kind = 0;
    if (!IndexSetEntry(&t->set, n, &kind)) {
        item->pszText = dash;
        return;
    }
    // The list copies the text at once, so one buffer serves every cell.
    t->cell[0] = '\0';
    switch (item->iSubItem) {
    case 0: item->pszText = (char *)IndexDisplayName(kind); return;
    case 1: IndexPathWriteShort(&t->set, n, t->cell, sizeof t->cell); break;
    case 2: IndexCodesWrite(&t->set, n, t->cell, sizeof t->cell); break;
    default: break;
    }
    item->pszText = t->cell;
}

void IndexTabOnItemActivate(BrowserWindow *w, NMITEMACTIVATE *item) {
    if (!w || !w->indexTab || !item) return;
    IndexTab *t = w->indexTab;
    // Enter comes as a bare NMHDR (Wine): the focused row is the activated one, as on "Find".
    int32_t row = (int32_t)SendMessageA(t->list.handle, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (row < 0)
        row = (int32_t)SendMessageA(t->list.handle, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    if (row < 0 || row >= t->search.hitCount) return;
    ShowIndexPage(w, t->search.hits[row], 1);
}

// Its links are styled as ranges: the text after a link keeps the style before it.
static void ComposeIndex(BrowserWindow *w, void *context, const PageSink *sink) {
    ComposeIndexPage(&w->indexTab->set, &w->table, *(const int32_t *)context,
                     &w->indexTab->links, sink);
}

// Each word of the last index search marked as the record pages mark the word of "Find".
static void FinishIndexPage(BrowserWindow *w, void *) {
    const char *phrase = w->indexTab->search.phrase;
    if (!phrase || SendMessageA(w->showWordCheck.handle, BM_GETCHECK, 0, 0) != BST_CHECKED)
        return;
    char *words = w->scratchBuffer;
    snprintf(words, (size_t)w->textCapacity + 1, "%s", phrase);
    for (char *p = words; *p;) {
        while (*p == ' ' || *p == '\t') *p++ = '\0';
        char *word = p;
        while (*p && *p != ' ' && *p != '\t') p++;
        const bool more = *p != '\0';
        *p = '\0';
        if (*word) HighlightWord(w, word);
        if (more) p++;
    }
}

int32_t ShowIndexPage(BrowserWindow *w, int32_t n, int32_t history) {
    if (!w || !w->indexTab) return ERR_NULLPTR;
    IndexTabLoad(w);
    if (!IndexSetEntry(&w->indexTab->set, n, nullptr)) return ERR_INVINDEX;
    if (!w->textView || !w->textBuffer || !w->scratchBuffer) return ERR_NULLPTRIN;
    // The record link table is for record pages; an index page's links are in its own map.
    ClearLinks(&w->links);
    if (history) HistoryPush(w, PageRef{PAGE_KIND_INDEX, n});
    return ShowComposedPageRangeLinks(w, ComposeIndex, FinishIndexPage, &n);
}

int32_t IndexPageFollowLink(BrowserWindow *w, int32_t position) {
    if (!w || !w->indexTab) return ERR_NULLPTR;
    const IndexLink *link = IndexLinkAt(&w->indexTab->links, position);
    if (!link) return ERR_NOTFOUND;
    if (link->kind == PAGE_KIND_INDEX) return ShowIndexPage(w, link->target, 1);
    if (link->target < 0 || (uint32_t)link->target >= w->table.recordCount) return ERR_NOTFOUND;
    return GoToCode(w, PAGE_KIND_RECORD, RecordField(&w->table.records[link->target], FIELD_CODE));
}

int32_t IndexTabIsEdit(const BrowserWindow *w, HWND control) {
    return w && w->indexTab && control && control == w->indexTab->edit.handle;
}

int32_t IndexTabIsList(const BrowserWindow *w, HWND control) {
    return w && w->indexTab && control && control == w->indexTab->list.handle;
}

HWND IndexTabList(const BrowserWindow *w) {
    return w && w->indexTab ? w->indexTab->list.handle : nullptr;
}
