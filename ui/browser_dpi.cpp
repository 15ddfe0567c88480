// Fonts and layout at the window's DPI, and the move to a screen of another DPI. The viewer never
// gets a new font: WM_SETFONT on a rich edit restyles all of its text, and a page's own sizes are
// points, which the viewer turns into pixels itself.
#include "ui/browser_dpi.h"

#include <initializer_list>

#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/dpi.h"
#include "ui/guidelines_tab.h"
#include "ui/index_tab.h"
#include "ui/list_columns.h"

enum : int32_t { UI_FONT_HEIGHT = 16 };  // pixels at 96 DPI

static HFONT UiFontFor(int32_t dpi) {
    HFONT font = nullptr;
    CreateUiFont((uint16_t)DpiScale(UI_FONT_HEIGHT, dpi), 1, &font);
    return font;
}

int32_t BrowserFontsCreate(BrowserWindow *w) {
    if (!w)
        return ERR_NULLPTR;
    w->uiFont = UiFontFor(w->dpi);
    return w->uiFont ? 0 : ERR_CREATE;
}

void BrowserFontsFree(BrowserWindow *w) {
    if (!w)
        return;
    for (HFONT *font : {&w->uiFont, &w->treeFont, &w->listFont}) {
        if (*font)
            DeleteObject(*font);
        *font = nullptr;
    }
}

// The control's present font (its own or the system's) with the height scaled; null if none.
static HFONT ScaledFontOf(HWND control, int32_t fromDpi, int32_t toDpi) {
    HFONT font = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
    LOGFONTA lf = {};
    if (!font || !GetObjectA(font, sizeof lf, &lf))
        return nullptr;
    lf.lfHeight = MulDiv(lf.lfHeight, toDpi, fromDpi);
    lf.lfWidth = MulDiv(lf.lfWidth, toDpi, fromDpi);
    return CreateFontIndirectA(&lf);
}

// Gives `controls` the font `next` and takes the place of *owned, whose old font is deleted
// once no control holds it.
static void ReplaceFont(HFONT *owned, HFONT next, const HWND *controls, int32_t count) {
    if (!next)
        return;  // the system's font, unscaled, is better than none
    for (int32_t i = 0; i < count; i++)
        if (controls[i])
            SendMessageA(controls[i], WM_SETFONT, (WPARAM)next, FALSE);
    if (*owned)
        DeleteObject(*owned);
    *owned = next;
}

struct UiFontSwap {
    HFONT from;   // the UI font of the old DPI
    HFONT to;     // the one of the new DPI
    HWND viewer;  // never given a font again
};

static BOOL CALLBACK SwapUiFont(HWND control, LPARAM param) {
    const UiFontSwap *swap = (const UiFontSwap *)param;
    if (control != swap->viewer && (HFONT)SendMessageA(control, WM_GETFONT, 0, 0) == swap->from)
        SendMessageA(control, WM_SETFONT, (WPARAM)swap->to, FALSE);
    return TRUE;
}

// The tree and the lists keep the system's font until the first change; from then on the window
// owns a scaled copy of it.
static void ScaleSystemFonts(BrowserWindow *w, int32_t from, int32_t to) {
    HWND tree = w->tree.handle;
    ReplaceFont(&w->treeFont, ScaledFontOf(tree, from, to), &tree, 1);
    const HWND lists[] = {w->list.handle, IndexTabList(w), GuidelinesTabList(w)};
    ReplaceFont(&w->listFont, ScaledFontOf(lists[0], from, to), lists, 3);
    for (HWND list : lists)
        ListScaleColumns(list, from, to);
}

// The first character at the viewer's top, to keep in view when the new width wraps the page
// anew.
static LRESULT TopCharacter(HWND viewer) {
    POINTL corner = {1, 1};
    return SendMessageA(viewer, EM_CHARFROMPOS, 0, (LPARAM)&corner);
}

// By pixels, not EM_LINESCROLL: the viewer counts a line scroll in lines of its default font,
// not of the page's.
static void ScrollToLineOf(HWND viewer, LRESULT character) {
    const LRESULT line = SendMessageA(viewer, EM_EXLINEFROMCHAR, 0, character);
    const LRESULT start = SendMessageA(viewer, EM_LINEINDEX, line, 0);
    POINTL at = {};
    POINT scroll = {};
    SendMessageA(viewer, EM_POSFROMCHAR, (WPARAM)&at, start);
    SendMessageA(viewer, EM_GETSCROLLPOS, 0, (LPARAM)&scroll);
    scroll.y += at.y;
    SendMessageA(viewer, EM_SETSCROLLPOS, 0, (LPARAM)&scroll);
}

int32_t BrowserOnDpiChanged(BrowserWindow *w, int32_t dpi, const RECT *suggested) {
    if (!w)
        return ERR_NULLPTR;
    if (dpi <= 0)
        return ERR_INVPARAM;
    const int32_t from = w->dpi > 0 ? w->dpi : DPI_BASE;
    HFONT ui = UiFontFor(dpi);
    if (!ui)
        return ERR_CREATE;
    const LRESULT top = w->viewer.handle ? TopCharacter(w->viewer.handle) : 0;
    UiFontSwap swap = {w->uiFont, ui, w->viewer.handle};
    EnumChildWindows(w->window, SwapUiFont, (LPARAM)&swap);
    if (w->uiFont)
        DeleteObject(w->uiFont);
    w->uiFont = ui;
    ScaleSystemFonts(w, from, dpi);
    w->splitterX = MulDiv(w->splitterX, dpi, from);
    w->dpi = dpi;
    // The move sends WM_SIZE, which lays out at the new DPI; a rectangle of the same size sends
    // none, so the layout is made here as well.
    if (suggested)
        SetWindowPos(w->window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    BrowserComputeLayout(w);
    BrowserApplyLayout(w);
    if (w->viewer.handle)
        ScrollToLineOf(w->viewer.handle, top);
    RedrawWindow(w->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}
