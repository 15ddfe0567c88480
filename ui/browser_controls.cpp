// Creation of the browser window's child controls in their fixed order, loading of the help
// text, the records and the later releases' changes, and the start of the tree
// (ui/tree_items.cpp).
#include <cstdio>

#include "archive/embedded_archive.h"
#include "classification/code_refs.h"
#include "classification/seventh_chars.h"
#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/browser_dpi.h"
#include "ui/browser_window.h"
#include "ui/check_tab.h"
#include "ui/dpi.h"
#include "ui/guidelines_tab.h"
#include "ui/index_tab.h"
#include "ui/list_columns.h"
#include "ui/message_box.h"
#include "ui/rich_text_view.h"
#include "ui/subclass.h"

static const DWORD TAB_STYLE = WS_CHILD | WS_VISIBLE;
static const DWORD TREE_STYLE = WS_CHILD | WS_BORDER | WS_VSCROLL | TVS_HASBUTTONS |
                                TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
static const DWORD LIST_STYLE = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LVS_REPORT | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | LVS_OWNERDATA;
static const DWORD BUTTON_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER;
static const DWORD EDIT_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
static const DWORD VIEWER_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE |
                                  ES_AUTOVSCROLL | ES_READONLY | ES_WANTRETURN;
static const char *const TAMPERED_TEXT =
    "It is possible that this program has been tampered (checksum error). "
    "Preventing execution just in case.";

static HWND CreateChild(BrowserWindow *w, ControlSlot *slot, DWORD exStyle, const char *cls,
                        const char *text, DWORD style, HWND parent, int32_t id) {
    const LayoutRect &r = slot->rect;
    slot->handle = CreateWindowExA(exStyle, cls, text, style, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, parent, (HMENU)(INT_PTR)id,
                                   w->app ? w->app->instance : GetModuleHandleA(nullptr), nullptr);
    return slot->handle;
}

static void AddTab(HWND tab, int32_t position, const char *text) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = (LPSTR)text;
    SendMessageA(tab, TCM_INSERTITEMA, position, (LPARAM)&item);
}


static int32_t CreateTab(BrowserWindow *w, HFONT font) {
    HWND tab = CreateChild(w, &w->tab, WS_EX_CLIENTEDGE, WC_TABCONTROLA, nullptr, TAB_STYLE,
                           w->window, 0);
    if (!tab)
        return ERR_CREATE;
    LRESULT ex = SendMessageA(tab, TCM_GETEXTENDEDSTYLE, 0, 0);
    SendMessageA(tab, TCM_SETEXTENDEDSTYLE, 0, ex | TCS_EX_FLATSEPARATORS);
    SendMessageA(tab, WM_SETFONT, (WPARAM)font, FALSE);
    // Without these records the tree's notifications never arrive and the keys and context
    // menus are dead: a window that looks whole but does nothing is worse than none.
    if (SubclassNotifyForward(tab, w->window) < 0)
        return ERR_ALLOC;
    AddTab(tab, 0, "ICD-10");
    AddTab(tab, 2, "Find");  // past the end: appended as tab 1
    AddTab(tab, 3, "Index");
    AddTab(tab, 4, "Check");
    AddTab(tab, 5, "Guidelines");
    return 0;
}

static int32_t CreateTabChildren(BrowserWindow *w, HFONT font) {
    HWND tab = w->tab.handle;
    HWND tree = CreateChild(w, &w->tree, WS_EX_CLIENTEDGE, WC_TREEVIEWA, nullptr, TREE_STYLE,
                            tab, 0);
    if (!tree)
        return ERR_CREATE;
    if (SubclassContext(tree, w->window, MSG_TREE_CONTEXT) < 0)
        return ERR_ALLOC;
    w->treeOwnPaint = 1;

    HWND list = CreateChild(w, &w->list, 0, WC_LISTVIEWA, nullptr, LIST_STYLE, tab, 0);
    if (!list)
        return ERR_CREATE;
    LRESULT ex = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 ex | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    ListAddColumn(list, 0, "icd", DpiScale(90, w->dpi));
    ListAddColumn(list, 1, "name", DpiScale(110, w->dpi));
    ListAddColumn(list, 2, "", DpiScale(500, w->dpi));

    HWND find = CreateChild(w, &w->findButton, 0, "BUTTON", "Find", BUTTON_STYLE, tab,
                            IDC_FIND_BUTTON);
    if (!find)
        return ERR_CREATE;
    SendMessageA(find, WM_SETFONT, (WPARAM)font, FALSE);

    HWND edit = CreateChild(w, &w->searchEdit, 0, "EDIT", nullptr, EDIT_STYLE, tab,
                            IDC_SEARCH_EDIT);
    if (!edit)
        return ERR_CREATE;
    SendMessageA(edit, WM_SETFONT, (WPARAM)font, FALSE);
    if (SubclassCharForward(edit, w->window, MSG_CONTROL_CHAR) < 0)
        return ERR_ALLOC;

    // Shown by a search that finds nothing; no failure of the window if it cannot be made.
    HWND nothing = CreateChild(w, &w->nothingFound, 0, "STATIC", "", WS_CHILD | SS_LEFTNOWORDWRAP,
                               tab, IDC_NOTHING_FOUND);
    if (nothing)
        SendMessageA(nothing, WM_SETFONT, (WPARAM)font, FALSE);

    ShowWindow(tree, SW_SHOW);
    ShowWindow(list, SW_HIDE);
    ShowWindow(find, SW_HIDE);
    ShowWindow(edit, SW_HIDE);
    return 0;
}

static int32_t LoadData(BrowserWindow *w) {
    int32_t size = 0;
    if (PakLoadEmbeddedEntry("HelpText.txt", &size, &w->helpText) < 0) {
        MessageBoxA(nullptr, TAMPERED_TEXT, "Error", MB_ICONERROR);
        return ERR_FAILED;
    }
    int32_t status = LoadTextRecords("engtextrecords.dat", &w->table.recordCount,
                                     &w->table.records);
    if (status < 0) {
        MessageBoxPrint(nullptr, MB_ICONERROR, "Error", "Failed to read ICD10 data: %.32s",
                        StatusName(status));
        return status;
    }
    // Links on pages are resolved through the code index; without it lookups only scan.
    CodeIndexBuild(&w->table);
    // Without its 7th characters a page would call codes billable that are not: no window then.
    status = SeventhCharLoad(&w->sevenths, &w->table);
    if (status < 0) {
        MessageBoxPrint(nullptr, MB_ICONERROR, "Error", "Failed to read ICD10 data: %.32s",
                        StatusName(status));
        return status;
    }
    // The payers' lists only add a section to the pages.
    EditsLoad(&w->edits);
    // Without the later releases the records' own release still works.
    if (ReleasesLoad(&w->releases) < 0) return 0;
    status = ReleasesApply(&w->releases, ReleasesNewest(&w->releases), &w->table, &w->sevenths);
    if (status < 0) {
        MessageBoxPrint(nullptr, MB_ICONERROR, "Error", "Failed to read ICD10 data: %.32s",
                        StatusName(status));
        return status;
    }
    return 0;
}

static int32_t CreateViewer(BrowserWindow *w) {
    HWND viewer = CreateChild(w, &w->viewer, WS_EX_CLIENTEDGE, "RichEdit20A", "", VIEWER_STYLE,
                              w->window, IDC_VIEWER);
    if (!viewer)
        return ERR_WINDOWS;
    SendMessageA(viewer, WM_SETFONT, (WPARAM)w->uiFont, TRUE);
    SendMessageA(viewer, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_KEYEVENTS | ENM_SELCHANGE | ENM_LINK);
    if (SubclassCharAndContext(viewer, w->window, MSG_CONTROL_CHAR, MSG_VIEWER_CONTEXT) < 0)
        return ERR_ALLOC;
    // Without its output object every page would stay blank.
    if (RichTextViewCreate(viewer, &w->textView) == ERR_ALLOC)
        return ERR_ALLOC;
    return 0;
}

static int32_t CreateButtonRow(BrowserWindow *w, HFONT font) {
    struct Button {
        ControlSlot *slot;
        const char *text;
        DWORD style;
        int32_t id;
    } buttons[] = {
        {&w->backButton, "<", BUTTON_STYLE, IDC_BACK_BUTTON},
        {&w->forwardButton, ">", BUTTON_STYLE, IDC_FORWARD_BUTTON},
        {&w->showWordCheck, "Show seach word in text", BUTTON_STYLE | BS_AUTOCHECKBOX,
         IDC_SHOW_WORD_CHECK},
        {&w->infoButton, "Info", BUTTON_STYLE, IDC_INFO_BUTTON},
    };
    for (Button &b : buttons) {
        HWND button = CreateChild(w, b.slot, 0, "BUTTON", b.text, b.style, w->window, b.id);
        if (!button)
            return ERR_CREATE;
        SendMessageA(button, WM_SETFONT, (WPARAM)font, FALSE);
        if (b.id == IDC_SHOW_WORD_CHECK)
            SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
    }
    return 0;
}

int32_t BrowserCreateControls(BrowserWindow *w) {
    if (!w)
        return ERR_NULLPTR;
    w->textCapacity = TEXT_BUFFER_CHARS;
    w->textBuffer = (char *)MemAlloc(w->textCapacity + 1);
    if (!w->textBuffer)
        return ERR_ALLOC;
    w->scratchBuffer = (char *)MemAlloc(w->textCapacity + 1);
    if (!w->scratchBuffer)
        return ERR_ALLOC;

    RECT rc = {};
    GetClientRect(w->window, &rc);
    w->clientRect = {rc.left, rc.top, rc.right, rc.bottom};
    w->splitterX = (rc.left + rc.right) / 2;
    w->dpi = DpiOfWindow(w->window);
    BrowserComputeLayout(w);

    BrowserFontsCreate(w);
    HFONT font = w->uiFont;
    int32_t status = CreateTab(w, font);
    if (status >= 0)
        status = CreateTabChildren(w, font);
    if (status >= 0)
        status = LoadData(w);
    if (status < 0)
        return status;
    BrowserFillTree(w);
    status = IndexTabCreate(w, font);
    if (status >= 0)
        status = CheckTabCreate(w, font);
    if (status >= 0)
        status = GuidelinesTabCreate(w, font);
    if (status >= 0)
        status = CreateViewer(w);
    if (status >= 0)
        status = CreateButtonRow(w, font);
    if (status < 0)
        return status;
    CreateChild(w, &w->resizeBar, 0, "ResizeBarClass", nullptr, WS_CHILD | WS_VISIBLE, w->window,
                0);
    PostMessageA(w->window, MSG_EXPAND_ROOT, 0, 0);
    return 0;
}
