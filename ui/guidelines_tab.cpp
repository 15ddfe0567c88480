// The "Guidelines" tab: its controls laid out where the "Find" tab has its own, the section
// list as a virtual list over row numbers, and the search behind the edit.
#include "ui/guidelines_tab.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "foundation/mem.h"
#include "foundation/status.h"
#include "guidelines/guideline_search.h"
#include "ui/dpi.h"
#include "ui/guideline_pages.h"
#include "ui/list_columns.h"
#include "ui/subclass.h"
#include "ui/tab_child.h"

static const DWORD LIST_STYLE = WS_CHILD | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | LVS_OWNERDATA;
static const DWORD BUTTON_STYLE = WS_CHILD | WS_BORDER;
static const DWORD EDIT_STYLE = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL;
static const DWORD NOTE_STYLE = WS_CHILD | SS_LEFT | SS_CENTERIMAGE | SS_ENDELLIPSIS;

static HWND Create(BrowserWindow *w, ControlSlot *slot, const char *cls, const char *text,
                   DWORD style, int32_t id) {
    return TabChildCreate(w, slot, 0, cls, text, style, id);
}

int32_t GuidelinesTabCreate(BrowserWindow *w, HFONT font) {
    if (!w) return ERR_NULLPTR;
    GuidelinesTab *t = (GuidelinesTab *)MemAlloc((int32_t)sizeof(GuidelinesTab));
    if (!t) return ERR_ALLOC;
    memset(t, 0, sizeof *t);
    w->guidelinesTab = t;
    GuidelinesTabComputeLayout(w);
    HWND list = Create(w, &t->list, WC_LISTVIEWA, nullptr, LIST_STYLE, 0);
    HWND button = Create(w, &t->button, "BUTTON", "Search", BUTTON_STYLE, IDC_GUIDELINES_BUTTON);
    HWND edit = Create(w, &t->edit, "EDIT", nullptr, EDIT_STYLE, IDC_GUIDELINES_EDIT);
    HWND note = Create(w, &t->note, "STATIC", "", NOTE_STYLE, 0);
    if (!list || !button || !edit || !note) return ERR_CREATE;
    LRESULT ex = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 ex | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    ListAddColumn(list, 0, "section", DpiScale(110, w->dpi));
    ListAddColumn(list, 1, "heading", DpiScale(600, w->dpi));
    for (HWND control : {button, edit, note}) SendMessageA(control, WM_SETFONT, (WPARAM)font, FALSE);
    if (SubclassCharForward(edit, w->window, MSG_CONTROL_CHAR) < 0) return ERR_ALLOC;
    return 0;
}

void GuidelinesTabFree(BrowserWindow *w) {
    if (!w || !w->guidelinesTab) return;
    free(w->guidelinesTab->rows);
    MemFree(w->guidelinesTab);
    w->guidelinesTab = nullptr;
}

// The places of the "Find" tab's controls, a note line on top of the list as on "Index".
void GuidelinesTabComputeLayout(BrowserWindow *w) {
    if (!w || !w->guidelinesTab) return;
    GuidelinesTab *t = w->guidelinesTab;
    const int32_t row = w->findButton.rect.bottom - w->findButton.rect.top;
    t->note.rect = {w->list.rect.left, w->list.rect.top, w->list.rect.right, w->list.rect.top + row};
    t->list.rect = {w->list.rect.left, w->list.rect.top + row, w->list.rect.right,
                    w->list.rect.bottom};
    t->button.rect = w->findButton.rect;
    t->edit.rect = w->searchEdit.rect;
}

void GuidelinesTabApplyLayout(BrowserWindow *w) {
    if (!w || !w->guidelinesTab) return;
    GuidelinesTab *t = w->guidelinesTab;
    for (ControlSlot *slot : {&t->list, &t->note, &t->button, &t->edit}) {
        const LayoutRect &r = slot->rect;
        if (slot->handle)
            MoveWindow(slot->handle, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
}

void GuidelinesTabShow(BrowserWindow *w, int32_t shown) {
    if (!w || !w->guidelinesTab) return;
    GuidelinesTab *t = w->guidelinesTab;
    if (shown && !t->rows) GuidelinesSearchInWindow(w, "");
    const int show = shown ? SW_SHOW : SW_HIDE;
    for (ControlSlot *slot : {&t->list, &t->note, &t->button, &t->edit}) ShowWindow(slot->handle, show);
    if (shown) SetFocus(t->edit.handle);
}

static void SetRows(GuidelinesTab *t, int32_t *rows, int32_t count) {
    free(t->rows);
    t->rows = rows;
    t->rowCount = count;
    SendMessageA(t->list.handle, LVM_SETITEMCOUNT, (WPARAM)count, 0);
    InvalidateRect(t->list.handle, nullptr, TRUE);
}

int32_t GuidelinesSearchInWindow(BrowserWindow *w, const char *phrase) {
    if (!w || !w->guidelinesTab || !phrase) return ERR_NULLPTR;
    GuidelinesTab *t = w->guidelinesTab;
    const GuidelineFile *file = GuidelinesData(w);
    char note[GUIDELINES_PHRASE_CHARS + 128];
    if (!file) {
        SetWindowTextA(t->note.handle,
                       "The guidelines could not be read; the classification is not affected.");
        SetRows(t, nullptr, 0);
        return ERR_NOTAVAIL;
    }
    snprintf(t->phrase, sizeof t->phrase, "%s", phrase);
    int32_t count = file->sectionCount, status = 0;
    int32_t *rows = (int32_t *)malloc(sizeof(int32_t) * (size_t)(file->sectionCount + 1));
    if (!rows) return ERR_ALLOC;
    status = GuidelineSearch(file, phrase, rows, file->sectionCount, &count);
    if (status == ERR_EMPTY) {
        t->phrase[0] = '\0';
        for (int32_t n = 0; n < file->sectionCount; n++) rows[n] = n;
        count = file->sectionCount;
        snprintf(note, sizeof note, "The Official Guidelines for Coding and Reporting, FY2026: %d "
                 "sections", (int)count);
        status = 0;
    } else if (status < 0) {
        t->phrase[0] = '\0';
        count = 0;
        snprintf(note, sizeof note, "Too many words: at most %d.", (int)GUIDELINE_SEARCH_MAX_WORDS);
    } else if (count == 0) {
        snprintf(note, sizeof note, "No section holds every word of \"%s\".", phrase);
    } else {
        snprintf(note, sizeof note, "%d section%s holding every word, the deepest first", (int)count,
                 count == 1 ? "" : "s");
    }
    SetWindowTextA(t->note.handle, note);
    SetRows(t, rows, count);
    return status;
}

const char *GuidelinesTabPhrase(const BrowserWindow *w) {
    return w && w->guidelinesTab ? w->guidelinesTab->phrase : "";
}

void GuidelinesTabOnFind(BrowserWindow *w, int focusList) {
    if (!w || !w->guidelinesTab) return;
    char phrase[GUIDELINES_PHRASE_CHARS + 1] = "";
    GetWindowTextA(w->guidelinesTab->edit.handle, phrase, (int)sizeof phrase);
    if (GuidelinesSearchInWindow(w, phrase) < 0) return;
    if (focusList && w->guidelinesTab->rowCount > 0) SetFocus(w->guidelinesTab->list.handle);
}

void GuidelinesTabOnGetDispInfo(BrowserWindow *w, NMLVDISPINFOA *info) {
    if (!w || !w->guidelinesTab || !info) return;
    GuidelinesTab *t = w->guidelinesTab;
    LVITEMA *item = &info->item;
    if (item->mask & LVIF_STATE) item->state = 0;
    if (item->mask & LVIF_IMAGE) item->iImage = 0;
    if (!(item->mask & LVIF_TEXT)) return;
    static char dash[] = "-";
    const GuidelineFile *file = GuidelinesData(w);
    const int32_t row = item->iItem;
    if (!file || row < 0 || row >= t->rowCount) {
        item->pszText = dash;
        return;
    }
    const GuidelineSection *s = &file->sections[t->rows[row]];
    item->pszText = (char *)(item->iSubItem == 0 ? s->id : s->heading);
}

void GuidelinesTabOnItemActivate(BrowserWindow *w) {
    if (!w || !w->guidelinesTab) return;
    GuidelinesTab *t = w->guidelinesTab;
    // Enter comes as a bare NMHDR (Wine): the focused row is the activated one, as on "Find".
    int32_t row = (int32_t)SendMessageA(t->list.handle, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (row < 0)
        row = (int32_t)SendMessageA(t->list.handle, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    if (row < 0 || row >= t->rowCount) return;
    ShowGuidelinePage(w, t->rows[row], 1);
}

int32_t GuidelinesTabIsEdit(const BrowserWindow *w, HWND control) {
    return w && w->guidelinesTab && control && control == w->guidelinesTab->edit.handle;
}

int32_t GuidelinesTabIsList(const BrowserWindow *w, HWND control) {
    return w && w->guidelinesTab && control && control == w->guidelinesTab->list.handle;
}

HWND GuidelinesTabList(const BrowserWindow *w) {
    return w && w->guidelinesTab ? w->guidelinesTab->list.handle : nullptr;
}
