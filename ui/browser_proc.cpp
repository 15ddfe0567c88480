// The browser window class and its procedure: state lifetime, layout on resize, tab switching,
// tree item texts, the splitter drag, the two context menus, and routing of feature events.
#include <cstdio>
#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/accelerators.h"
#include "ui/browser_dpi.h"
#include "ui/browser_window.h"
#include "ui/check_tab.h"
#include "ui/clipboard.h"
#include "ui/dpi.h"
#include "ui/features.h"
#include "ui/help_page.h"
#include "ui/guideline_pages.h"
#include "ui/guidelines_tab.h"
#include "ui/index_tab.h"
#include "ui/rich_text_view.h"
#include "ui/record_page.h"
#include "ui/subclass.h"
#include "ui/tree_commands.h"
#include "ui/tree_items.h"
#include "ui/tree_paint.h"

static const char *const CLASS_NAME = "TextRecordViewerClass";

void BrowserWindowSize(const RECT *workArea, int32_t *width, int32_t *height) {
    BrowserWindowSizeAt(workArea, DPI_BASE, width, height);
}

void BrowserWindowSizeAt(const RECT *workArea, int32_t dpi, int32_t *width, int32_t *height) {
    auto px = [dpi](int32_t length) { return DpiScale(length, dpi); };
    const int32_t right = workArea->right;
    const int32_t bottom = workArea->bottom;
    *width = right - px(64) > px(1200) ? px(1136) : right - px(128);
    *height = bottom - px(128) > px(900) ? px(836) : bottom - px(192);
}

int32_t CreateBrowserWindow(AppContext *app) {
    if (!app)
        return ERR_ERROR;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = BrowserWindowProc;
    wc.hInstance = app->instance;
    wc.hIcon = LoadIconA(app->instance, MAKEINTRESOURCEA(101));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = CLASS_NAME;
    if (!RegisterClassA(&wc))
        return ERR_ERROR;
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int32_t width = 0;
    int32_t height = 0;
    const int32_t dpi = DpiOfSystem();
    BrowserWindowSizeAt(&work, dpi, &width, &height);
    const int32_t at = DpiScale(64, dpi);
    HWND window = CreateWindowExA(0, CLASS_NAME, "Morbivue", WS_OVERLAPPEDWINDOW | WS_VISIBLE, at,
                                  at, width, height, nullptr, nullptr, app->instance, app);
    return window ? 0 : ERR_ERROR;
}

int32_t ShowTab(BrowserWindow *w, int32_t tab) {
    if (!w)
        return 0;
    if (tab >= 0 && tab <= GUIDELINES_TAB) {
        IndexTabShow(w, tab == INDEX_TAB);
        CheckTabShow(w, tab == CHECK_TAB);
        GuidelinesTabShow(w, tab == GUIDELINES_TAB);
    }
    if (tab == INDEX_TAB || tab == CHECK_TAB || tab == GUIDELINES_TAB) {
        ShowWindow(w->tree.handle, SW_HIDE);
        ShowWindow(w->list.handle, SW_HIDE);
        ShowWindow(w->findButton.handle, SW_HIDE);
        ShowWindow(w->searchEdit.handle, SW_HIDE);
        ShowWindow(w->nothingFound.handle, SW_HIDE);  // the Find tab's line, not theirs
    } else if (tab == 0) {
        ShowWindow(w->tree.handle, SW_SHOW);
        ShowWindow(w->list.handle, SW_HIDE);
        ShowWindow(w->findButton.handle, SW_HIDE);
        ShowWindow(w->searchEdit.handle, SW_HIDE);
        ShowWindow(w->nothingFound.handle, SW_HIDE);
    } else if (tab == 1) {
        ShowWindow(w->tree.handle, SW_HIDE);
        ShowWindow(w->list.handle, SW_SHOW);
        ShowWindow(w->findButton.handle, SW_SHOW);
        ShowWindow(w->searchEdit.handle, SW_SHOW);
        ShowWindow(w->nothingFound.handle, w->nothingFoundOn ? SW_SHOW : SW_HIDE);
        SetFocus(w->searchEdit.handle);
    }
    return 0;
}

// Everything the state owns, then the state itself.
static void ReleaseState(BrowserWindow *w) {
    SeventhCharFree(&w->sevenths);
    RecordTableFree(&w->table);
    TreePlanFree(&w->treePlan);
    ReleasesFree(&w->releases);
    EditsFree(&w->edits);
    ClearSearchResults(&w->search);
    IndexTabFree(w);
    GuidelinesFree(w);
    GuidelinesTabFree(w);
    CheckTabFree(w);
    MemFree(w->textBuffer);
    w->textBuffer = nullptr;
    MemFree(w->scratchBuffer);
    w->scratchBuffer = nullptr;
    MemFree(w->helpText);
    w->helpText = nullptr;
    RichTextViewFree(w->textView);
    w->textView = nullptr;
    BrowserFontsFree(w);
    MemFree(w);
}

// Not every platform sends WM_DESTROY to a window whose WM_CREATE failed (Wine does not), so
// a failed creation cleans up itself: the children first, which frees their subclass records,
// then the state, which leaves nothing for a WM_DESTROY that may still come.
static void AbandonCreation(HWND window, BrowserWindow *w) {
    HWND children[] = {w->tab.handle,          w->viewer.handle,        w->resizeBar.handle,
                       w->backButton.handle,   w->forwardButton.handle, w->showWordCheck.handle,
                       w->infoButton.handle};
    for (HWND child : children)
        if (child)
            DestroyWindow(child);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    ReleaseState(w);
}

static LRESULT OnCreate(HWND window, CREATESTRUCTA *cs) {
    AppContext *app = cs ? (AppContext *)cs->lpCreateParams : nullptr;
    if (!app)
        return -1;
    BrowserWindow *w = (BrowserWindow *)MemAlloc(sizeof(BrowserWindow));
    if (!w)
        return -1;
    w->window = window;
    w->app = app;
    // Attached first: the controls notify this window while they are created and filled.
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)w);
    if (BrowserCreateControls(w) >= 0)
        return 0;
    AbandonCreation(window, w);
    return -1;
}

static void OnDestroy(HWND window, BrowserWindow *w) {
    if (w)
        ReleaseState(w);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    PostQuitMessage(0);
}

static void OnSize(BrowserWindow *w, WPARAM type) {
    BrowserComputeLayout(w);
    BrowserApplyLayout(w);
    if (type == SIZE_RESTORED)
        InvalidateRect(w->window, nullptr, TRUE);
}

static void OnTreeDispInfo(BrowserWindow *w, NMTVDISPINFOA *info) {
    if (!(info->item.mask & TVIF_TEXT))
        return;
    const LPARAM r = info->item.lParam;
    if (r >= 0 && (uint64_t)r < w->table.recordCount) {
        const TextRecord *record = &w->table.records[r];
        snprintf(w->textBuffer, (size_t)w->textCapacity + 1, "%.42s %.140s",
                 RecordField(record, FIELD_CODE), RecordField(record, FIELD_TITLE));
        info->item.pszText = w->textBuffer;
        // A record's text never changes: kept by the tree, it is not asked for again on every
        // paint, and "Expand all" measures each text once rather than on every pass.
        info->item.mask |= TVIF_DI_SETITEM;
    } else {
        info->item.pszText = (LPSTR) "-";
    }
}

static LRESULT OnNotify(BrowserWindow *w, NMHDR *nm) {
    if (!nm)
        return 0;
    const HWND from = nm->hwndFrom;
    switch (nm->code) {
    case EN_MSGFILTER:
        return 0;
    case TCN_SELCHANGE: {
        LRESULT tab = SendMessageA(from, TCM_GETCURSEL, 0, 0);
        if (tab >= 0)
            ShowTab(w, (int32_t)tab);
        if (tab == 0)
            RecordPageSelectInTree(w);
        return 0;
    }
    case TVN_GETDISPINFOA:
        if (from == w->tree.handle)
            OnTreeDispInfo(w, (NMTVDISPINFOA *)nm);
        return 0;
    case TVN_ITEMEXPANDINGA:
        return from == w->tree.handle ? TreeItemsOnExpanding(w, (NMTREEVIEWA *)nm) : 0;
    case NM_CUSTOMDRAW:
        if (from == w->tree.handle && w->treeOwnPaint)
            return TreePaintOnCustomDraw((NMTVCUSTOMDRAW *)nm);
        return CDRF_DODEFAULT;
    case TVN_SELCHANGEDA:
        if (from == w->tree.handle)
            RecordPageOnTreeSelChanged(w, (NMTREEVIEWA *)nm);
        return 0;
    case LVN_GETDISPINFOA:
        if (from == w->list.handle)
            SearchOnGetDispInfo(w, (NMLVDISPINFOA *)nm);
        else if (IndexTabIsList(w, from))
            IndexTabOnGetDispInfo(w, (NMLVDISPINFOA *)nm);
        else if (GuidelinesTabIsList(w, from))
            GuidelinesTabOnGetDispInfo(w, (NMLVDISPINFOA *)nm);
        return 0;
    case LVN_ITEMACTIVATE:
        if (from == w->list.handle)
            SearchOnItemActivate(w, (NMITEMACTIVATE *)nm);
        else if (IndexTabIsList(w, from))
            IndexTabOnItemActivate(w, (NMITEMACTIVATE *)nm);
        else if (GuidelinesTabIsList(w, from))
            GuidelinesTabOnItemActivate(w);
        return 0;
    case EN_LINK:
        if (from == w->viewer.handle)
            return NavigateOnLink(w, (ENLINK *)nm);
        return 0;
    default:
        return 0;
    }
}

static void OnCommand(BrowserWindow *w, int32_t id) {
    switch (id) {
    case IDC_FIND_BUTTON:
        SearchOnFind(w, 0);
        break;
    case IDC_INDEX_BUTTON:
        IndexTabOnFind(w, 0);
        break;
    case IDC_GUIDELINES_BUTTON:
        GuidelinesTabOnFind(w, 0);
        break;
    case IDC_CHECK_BUTTON:
        CheckTabRun(w);
        break;
    case IDC_CHECK_COPY:
        CheckTabCopy(w);
        break;
    case IDC_INFO_BUTTON:
        HelpOnInfoButton(w);
        break;
    case IDC_BACK_BUTTON:
    case IDC_FORWARD_BUTTON:
    case IDC_SHOW_WORD_CHECK:
        NavigateOnCommand(w, id);
        break;
    case IDM_KEY_FIND:
    case IDM_KEY_SELECT_ALL:
    case IDM_KEY_NEXT_TAB:
    case IDM_KEY_PREVIOUS_TAB:
        AcceleratorsOnCommand(w, id);
        break;
    default:
        break;
    }
}

static void OnControlChar(BrowserWindow *w, WPARAM wParam, HWND control) {
    const uint32_t ch = (uint32_t)(wParam & 0xFFFF);
    if (ch == 13 && control == w->searchEdit.handle)
        SearchOnFind(w, 1);
    else if (ch == 13 && IndexTabIsEdit(w, control))
        IndexTabOnFind(w, 1);
    else if (ch == 13 && GuidelinesTabIsEdit(w, control))
        GuidelinesTabOnFind(w, 1);
    else if (ch == 10 && CheckTabIsEdit(w, control))
        CheckTabRun(w);  // Ctrl+Enter: Enter itself starts a new line of the list
    else if (ch == 8 && control == w->viewer.handle)
        NavigateOnBackspace(w);
}

static void DrawDragLine(BrowserWindow *w, HDC dc, int32_t x) {
    MoveToEx(dc, x, 0, nullptr);
    LineTo(dc, x, w->clientRect.bottom);
}

// Draws the lines at the given positions with the dotted XOR pen; a second draw erases one.
static void XorLines(BrowserWindow *w, const int32_t *xs, int32_t count) {
    HDC dc = GetDC(w->window);
    if (!dc)
        return;
    HPEN pen = CreatePen(PS_DOT, 1, 0);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    int oldRop = SetROP2(dc, R2_XORPEN);
    for (int32_t i = 0; i < count; i++)
        DrawDragLine(w, dc, xs[i]);
    SetROP2(dc, oldRop);
    SelectObject(dc, oldPen);
    ReleaseDC(w->window, dc);
    DeleteObject(pen);
}

static void OnDragBegin(BrowserWindow *w) {
    if (w->dragging)
        return;
    SetCapture(w->window);
    w->dragging = 1;
    w->dragLineX = (w->resizeBar.rect.left + w->resizeBar.rect.right) / 2;
    XorLines(w, &w->dragLineX, 1);
}

static void OnDragMove(BrowserWindow *w, LPARAM lParam) {
    if (!w->dragging)
        return;
    // Unsigned on purpose: left of the client area the captured position is negative and
    // must count as far right, outside the range.
    const uint32_t x = (uint32_t)(lParam & 0xFFFF);
    const int32_t margin = DpiScale(SPLITTER_MARGIN, w->dpi);
    if (x < (uint32_t)margin || (int64_t)x > (int64_t)w->clientRect.right - margin)
        return;
    w->splitterX = (int32_t)x;
    const int32_t lines[2] = {w->dragLineX, w->splitterX};
    XorLines(w, lines, 2);
    w->dragLineX = w->splitterX;
}

static void OnDragEnd(BrowserWindow *w) {
    if (!w->dragging)
        return;
    w->dragging = 0;
    ReleaseCapture();
    SendMessageA(w->resizeBar.handle, MSG_RESIZEBAR_END, 0, 0);
    BrowserComputeLayout(w);
    BrowserApplyLayout(w);
    InvalidateRect(w->window, nullptr, TRUE);
}

// A null text is a separator; the item grayedId, when there is one, is shown but cannot be chosen.
static int32_t TrackMenu(BrowserWindow *w, const ContextRequest *request,
                         const char *const *texts, const int32_t *ids, int32_t count,
                         int32_t grayedId = 0) {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return 0;
    for (int32_t i = 0; i < count; i++) {
        if (!texts[i])
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING | (ids[i] == grayedId ? MF_GRAYED : 0), (UINT_PTR)ids[i],
                        texts[i]);
    }
    int32_t choice = (int32_t)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN |
                                                       TPM_LEFTBUTTON,
                                             request->x, request->y, 0, w->window, nullptr);
    DestroyMenu(menu);
    return choice;
}

static void OnTreeContext(BrowserWindow *w, const ContextRequest *request) {
    if (!request || request->control != w->tree.handle)
        return;
    static const char *const texts[] = {"Expand all", "Collapse all", nullptr, "Copy code",
                                        "Copy code and title"};
    static const int32_t ids[] = {IDM_EXPAND_ALL, IDM_COLLAPSE_ALL, 0, IDM_COPY_CODE,
                                  IDM_COPY_CODE_TITLE};
    switch (TrackMenu(w, request, texts, ids, 5)) {
    case IDM_EXPAND_ALL: TreeCommandExpandAll(w, 1); break;
    case IDM_COLLAPSE_ALL: TreeCommandExpandAll(w, 0); break;
    case IDM_COPY_CODE: TreeCommandCopyCode(w, 0); break;
    case IDM_COPY_CODE_TITLE: TreeCommandCopyCode(w, 1); break;
    default: break;
    }
}

static void CopySelection(BrowserWindow *w) {
    HWND viewer = w->viewer.handle;
    // EM_GETSELTEXT has no bound: a selection longer than the buffer is read through
    // EM_GETTEXTRANGE up to textCapacity characters instead.
    CHARRANGE sel = {};
    SendMessageA(viewer, EM_EXGETSEL, 0, (LPARAM)&sel);
    if (sel.cpMax - sel.cpMin > w->textCapacity) {
        TEXTRANGEA range = {{sel.cpMin, sel.cpMin + w->textCapacity}, w->textBuffer};
        SendMessageA(viewer, EM_GETTEXTRANGE, 0, (LPARAM)&range);
    } else {
        SendMessageA(viewer, EM_GETSELTEXT, 0, (LPARAM)w->textBuffer);
    }
    w->textBuffer[w->textCapacity] = 0;
    for (char *p = w->textBuffer; *p; p++)
        if (*p == '\r')
            *p = '\n';
    CopyTextToClipboard(w->window, w->textBuffer, (uint32_t)strlen(w->textBuffer));
}

// The viewer reports "no zoom" as 0/0, which would give a ratio over 0 that the control
// refuses; steps from there start at 10/10, so each step is a tenth.
static void Zoom(BrowserWindow *w, int32_t step) {
    WPARAM num = 0;
    LPARAM den = 0;
    if (!SendMessageA(w->viewer.handle, EM_GETZOOM, (WPARAM)&num, (LPARAM)&den))
        return;
    if ((den & 0xFFFF) == 0) {
        num = 10;
        den = 10;
    }
    uint32_t n;
    if (step > 0) {
        n = (uint32_t)((num + 1) & 0xFFFF);
    } else {
        n = (uint32_t)(num & 0xFFFF) - 1;
        if ((int32_t)n < 1)
            n = 1;
    }
    SendMessageA(w->viewer.handle, EM_SETZOOM, n, den & 0xFFFF);
}

static void OnViewerContext(BrowserWindow *w, const ContextRequest *request) {
    if (!request || request->control != w->viewer.handle)
        return;
    w->textBuffer[0] = 0;
    static const char *const texts[] = {"Copy", "Copy all text", "Zoom in", "Zoom out", nullptr,
                                        "Copy code"};
    static const int32_t ids[] = {IDM_COPY, IDM_COPY_ALL, IDM_ZOOM_IN, IDM_ZOOM_OUT, 0,
                                  IDM_COPY_PAGE_CODE};
    const bool recordShown = w->shownPage.kind == PAGE_KIND_RECORD;
    switch (TrackMenu(w, request, texts, ids, 6, recordShown ? 0 : IDM_COPY_PAGE_CODE)) {
    case IDM_COPY:
        CopySelection(w);
        break;
    case IDM_COPY_ALL:
        GetWindowTextA(w->viewer.handle, w->textBuffer, w->textCapacity);
        CopyTextToClipboard(w->window, w->textBuffer, (uint32_t)strlen(w->textBuffer));
        break;
    case IDM_ZOOM_IN:
        Zoom(w, 1);
        break;
    case IDM_ZOOM_OUT:
        Zoom(w, -1);
        break;
    case IDM_COPY_PAGE_CODE:
        RecordPageCopyCode(w);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK BrowserWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BrowserWindow *w = (BrowserWindow *)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (message == WM_CREATE)
        return OnCreate(window, (CREATESTRUCTA *)lParam);
    if (message == WM_DESTROY) {
        OnDestroy(window, w);
        return 0;
    }
    if (!w)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_SIZE: OnSize(w, wParam); return 0;
    case WM_DPICHANGED: BrowserOnDpiChanged(w, HIWORD(wParam), (const RECT *)lParam); return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_NOTIFY: return OnNotify(w, (NMHDR *)lParam);
    case WM_COMMAND: OnCommand(w, LOWORD(wParam)); return 0;
    case WM_APPCOMMAND:
        // Controls pass the command up to their parent unhandled; what we do not handle goes
        // on to the system.
        if (NavigateOnAppCommand(w, lParam)) return TRUE;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_MOUSEMOVE: OnDragMove(w, lParam); return 0;
    case WM_LBUTTONUP: OnDragEnd(w); return 0;
    case MSG_RESIZEBAR_BEGIN: OnDragBegin(w); return 0;
    case MSG_CONTROL_CHAR: OnControlChar(w, wParam, (HWND)lParam); return 0;
    case MSG_TREE_CONTEXT: OnTreeContext(w, (const ContextRequest *)lParam); return 0;
    case MSG_VIEWER_CONTEXT: OnViewerContext(w, (const ContextRequest *)lParam); return 0;
    case MSG_EXPAND_ROOT:
        SendMessageA(w->tree.handle, TVM_EXPAND, TVE_EXPAND, (LPARAM)w->rootItem);
        // The page pane starts with the help text rather than empty: it says how to use the
        // program to someone who has not found the "Info" button yet.
        ShowHelpPage(w);
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
