// The "Check" tab: its controls, the lists checked (kept for the history), the Check page replayed
// into the viewer, its links and the copy of the normalised codes.
#include "ui/check_tab.h"

#include <cstring>
#include <initializer_list>

#include "classification/code_validity.h"
#include "classification/page_encounter.h"
#include "classification/page_ref.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/clipboard.h"
#include "ui/dpi.h"
#include "ui/guideline_pages.h"
#include "ui/history.h"
#include "ui/page_view.h"
#include "ui/record_page.h"
#include "ui/subclass.h"
#include "ui/tab_child.h"

static const DWORD EDIT_STYLE =
    WS_CHILD | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
static const DWORD BUTTON_STYLE = WS_CHILD | WS_BORDER;

static HWND Create(BrowserWindow *w, ControlSlot *slot, const char *cls, const char *text,
                   DWORD style, int32_t id) {
    return TabChildCreate(w, slot, 0, cls, text, style, id);
}

int32_t CheckTabCreate(BrowserWindow *w, HFONT font) {
    if (!w) return ERR_NULLPTR;
    CheckTab *t = (CheckTab *)MemAlloc((int32_t)sizeof(CheckTab));
    if (!t) return ERR_ALLOC;
    w->checkTab = t;
    CheckTabComputeLayout(w);
    HWND edit = Create(w, &t->edit, "EDIT", nullptr, EDIT_STYLE, IDC_CHECK_EDIT);
    HWND button = Create(w, &t->button, "BUTTON", "Check", BUTTON_STYLE, IDC_CHECK_BUTTON);
    HWND copy = Create(w, &t->copy, "BUTTON", "Copy", BUTTON_STYLE, IDC_CHECK_COPY);
    if (!edit || !button || !copy) return ERR_CREATE;
    if (CheckDateCreate(&t->date, w->tab.handle,
                        w->app ? w->app->instance : GetModuleHandleA(nullptr), font,
                        &w->releases) < 0 ||
        CheckPayerCreate(&t->payer, w->tab.handle,
                         w->app ? w->app->instance : GetModuleHandleA(nullptr), font) < 0)
        return ERR_CREATE;
    for (HWND control : {edit, button, copy}) SendMessageA(control, WM_SETFONT, (WPARAM)font, FALSE);
    // No limit but memory: a day's list pasted whole must not be cut.
    SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
    if (SubclassCharForward(edit, w->window, MSG_CONTROL_CHAR) < 0) return ERR_ALLOC;
    return 0;
}

void CheckTabFree(BrowserWindow *w) {
    if (!w || !w->checkTab) return;
    CheckTab *t = w->checkTab;
    EncounterFree(&t->encounter);
    EditsVisitFree(&t->visit);
    for (char *list : t->lists) MemFree(list);
    MemFree(t);
    w->checkTab = nullptr;
}

void CheckTabComputeLayout(BrowserWindow *w) {
    if (!w || !w->checkTab) return;
    CheckTab *t = w->checkTab;
    // The list's place of the "Find" tab for the edit, its button row for the two buttons.
    const LayoutRect &b = w->findButton.rect;
    const int32_t gap = DpiScale(8, w->dpi);
    // The date of service row on top, as high as a button.
    const int32_t row = b.bottom - b.top;
    CheckDateLayout(&t->date, {w->list.rect.left, w->list.rect.top, w->list.rect.right,
                               w->list.rect.top + row},
                    w->dpi);
    const int32_t second = w->list.rect.top + row + DpiScale(4, w->dpi);
    CheckPayerLayout(&t->payer, {w->list.rect.left, second, w->list.rect.right, second + row},
                     w->dpi);
    t->edit.rect = {w->list.rect.left, second + row + DpiScale(6, w->dpi), w->list.rect.right,
                    b.top - DpiScale(6, w->dpi)};
    t->button.rect = b;
    t->copy.rect = {b.right + gap, b.top, b.right + gap + (b.right - b.left), b.bottom};
}

void CheckTabApplyLayout(BrowserWindow *w) {
    if (!w || !w->checkTab) return;
    CheckTab *t = w->checkTab;
    for (ControlSlot *slot : {&t->edit, &t->button, &t->copy}) {
        const LayoutRect &r = slot->rect;
        if (slot->handle)
            MoveWindow(slot->handle, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
    CheckDateApply(&t->date);
    CheckPayerApply(&t->payer);
}

void CheckTabShow(BrowserWindow *w, int32_t shown) {
    if (!w || !w->checkTab) return;
    CheckTab *t = w->checkTab;
    for (HWND control : {t->edit.handle, t->button.handle, t->copy.handle})
        ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
    CheckDateShow(&t->date, shown);
    CheckPayerShow(&t->payer, shown);
    if (shown) SetFocus(t->edit.handle);
}

// The edit's text, owned by the caller (MemFree), or null.
static char *EditText(const CheckTab *t) {
    int32_t length = GetWindowTextLengthA(t->edit.handle);
    char *text = (char *)MemAlloc(length + 1);
    if (!text) return nullptr;
    GetWindowTextA(t->edit.handle, text, length + 1);
    return text;
}

// Reads and checks text against the release in effect on date (0: the newest), with the payer's
// edits for age and inpatient, setting the encounter up the first time.
static int32_t Check(BrowserWindow *w, const char *text, int32_t date, int32_t age,
                     int32_t inpatient) {
    CheckTab *t = w->checkTab;
    if (!t->ready) {
        int32_t status = EncounterInit(&t->encounter, &w->table, &w->sevenths);
        if (status < 0) return status;
        if (w->edits.text) {
            EncounterSetManifestations(&t->encounter, EditsVisitManifestation, &w->edits,
                                       EditsVisitManifestationName(&w->edits,
                                                                   t->manifestationName));
        }
        t->ready = 1;
    }
    // The picker keeps to the releases' days, so a date outside them is the newest release too.
    int32_t release = date != 0 ? ReleasesForDate(&w->releases, date) : -1;
    if (release < 0) release = ReleasesNewest(&w->releases);
    if (release >= 0) EncounterSetRelease(&t->encounter, &w->releases, release);
    int32_t status = EncounterRead(&t->encounter, text, strlen(text));
    if (status >= 0) status = EncounterCheck(&t->encounter);
    t->age = age;
    t->inpatient = inpatient;
    if (status >= 0 && w->edits.text)
        status = EditsVisitCheck(&t->visit, &w->edits, &w->releases, &t->encounter,
                                 age >= 0 ? age : VISIT_NO_AGE, inpatient);
    return status;
}

// The payer's errors, right after the encounter's own.
static void ComposePayerErrors(void *context, PageWorkspace *ws, const PageSink *sink) {
    BrowserWindow *w = (BrowserWindow *)context;
    if (!w->edits.text) return;
    ComposeEditsVisitErrors(&w->checkTab->visit, &w->edits, &w->checkTab->encounter, ws, sink);
}

static void ComposeCheck(BrowserWindow *w, void *, const PageSink *sink) {
    PageWorkspace ws = {w->textBuffer, w->scratchBuffer, w->textCapacity};
    CheckTab *t = w->checkTab;
    if (ComposeEncounterPage(&t->encounter, &ws, &w->links, sink, ComposePayerErrors, w) < 0 ||
        !w->edits.text) {
        return;
    }
    if (t->age == CHECK_BAD_AGE && t->encounter.codeCount > 0) {
        static const char kBadAge[] =
            "\nThe age is not one the Medicare Code Editor knows (0 to 124): its age edits were not "
            "applied.\n";
        PageSinkWrite(sink, &ws, kBadAge, sizeof kBadAge - 1);
    }
    ComposeEditsVisitSummary(&t->visit, &w->edits, &w->releases, &t->encounter, &ws, sink);
}

int32_t ShowCheckPage(BrowserWindow *w, int32_t serial, int32_t history) {
    if (!w || !w->checkTab) return ERR_NULLPTR;
    CheckTab *t = w->checkTab;
    const int32_t slot = serial % HISTORY_CAPACITY;
    if (serial <= 0 || t->listSerials[slot] != serial || !t->lists[slot]) return ERR_NOTFOUND;
    int32_t status = Check(w, t->lists[slot], t->listDates[slot], t->listAges[slot],
                           t->listInpatient[slot]);
    if (status < 0) return status;
    if (history) HistoryPush(w, PageRef{PAGE_KIND_CHECK, serial});
    return ShowComposedPage(w, ComposeCheck, nullptr, nullptr);
}

int32_t CheckTabRun(BrowserWindow *w) {
    if (!w || !w->checkTab) return ERR_NULLPTR;
    CheckTab *t = w->checkTab;
    char *text = EditText(t);
    if (!text) return ERR_ALLOC;
    // Kept as the history's page: "<" and ">" show this list, whatever the edit holds by then.
    const int32_t serial = t->serial + 1, slot = serial % HISTORY_CAPACITY;
    MemFree(t->lists[slot]);
    t->lists[slot] = text;
    t->listSerials[slot] = serial;
    t->listDates[slot] = CheckDateRead(&t->date);
    t->listAges[slot] = CheckPayerAge(&t->payer);
    t->listInpatient[slot] = (uint8_t)CheckPayerInpatient(&t->payer);
    t->serial = serial;
    return ShowCheckPage(w, serial, 1);
}

int32_t CheckPageFollowLink(BrowserWindow *w, const char *text) {
    if (!w || !text) return ERR_NULLPTR;
    CodeCheckResult check;
    CodeCheck(&w->table, &w->sevenths, text, &check);
    // No code: a guideline finding's section ("I.C.9.a").
    if (check.record <= 0) return GuidelinePageFollowLink(w, text);
    if (check.kind == CODE_KIND_COMPLETE) return GoToCompleteCode(w, text, check.record);
    return GoToCode(w, PAGE_KIND_RECORD, RecordField(&w->table.records[check.record], FIELD_CODE));
}

int32_t CheckTabCopy(BrowserWindow *w) {
    if (!w || !w->checkTab) return ERR_NULLPTR;
    CheckTab *t = w->checkTab;
    char *text = EditText(t);
    if (!text) return ERR_ALLOC;
    int32_t status = Check(w, text, CheckDateRead(&t->date), -1, 0);
    // One code a line; the normal forms never grow by more than their dot and line end.
    const int32_t capacity = 2 * (int32_t)strlen(text) + 2;
    char *list = status < 0 ? nullptr : (char *)MemAlloc(capacity + 1);
    if (list) {
        EncounterCodeList(&t->encounter, "\n", list, capacity);
        status = CopyTextToClipboard(w->window, list, (uint32_t)strlen(list));
    } else if (status >= 0) {
        status = ERR_ALLOC;
    }
    MemFree(list);
    MemFree(text);
    return status;
}

int32_t CheckTabIsEdit(const BrowserWindow *w, HWND control) {
    return w && w->checkTab && control && control == w->checkTab->edit.handle;
}
