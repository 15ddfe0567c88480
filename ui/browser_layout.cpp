// Layout of the browser window: every control's rectangle follows from the splitter position and
// the client size; computing and moving are separate so a drag can compute once at its end.
#include "ui/browser_window.h"
#include "ui/check_tab.h"
#include "ui/dpi.h"
#include "ui/guidelines_tab.h"
#include "ui/index_tab.h"

static void SetRect(ControlSlot *slot, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    slot->rect = {left, top, right, bottom};
}

void BrowserComputeLayout(BrowserWindow *w) {
    if (!w)
        return;
    RECT rc = {};
    GetClientRect(w->window, &rc);
    w->clientRect = {rc.left, rc.top, rc.right, rc.bottom};
    const int32_t dpi = w->dpi;
    // Every length below is the 96-DPI one; positions follow from the splitter and the client
    // size, which are already in pixels at the window's DPI.
    auto px = [dpi](int32_t length) { return DpiScale(length, dpi); };
    const int32_t s = w->splitterX;
    const int32_t width = rc.right;
    const int32_t h = rc.bottom;
    // The tab control's children are placed in the tab control's client coordinates.
    SetRect(&w->tab, 0, 0, s - px(4), h);
    SetRect(&w->tree, px(6), px(30), s - px(16), h - px(12));
    // The nothing-found line takes the bottom of the (then empty) list's place.
    SetRect(&w->list, px(6), px(30), s - px(16), h - px(w->nothingFoundOn ? 67 : 45));
    SetRect(&w->nothingFound, px(8), h - px(64), s - px(16), h - px(45));
    SetRect(&w->findButton, px(8), h - px(39), px(72), h - px(13));
    SetRect(&w->searchEdit, px(73), h - px(39), s - px(16), h - px(13));
    SetRect(&w->viewer, s + px(4), px(37), width, h);
    SetRect(&w->resizeBar, s - px(4), 0, s + px(4), h);
    SetRect(&w->backButton, s + px(8), 0, s + px(44), px(36));
    SetRect(&w->forwardButton, s + px(45), 0, s + px(81), px(36));
    SetRect(&w->showWordCheck, s + px(97), px(4), s + px(297), px(34));
    SetRect(&w->infoButton, s + px(313), px(4), s + px(385), px(34));
    IndexTabComputeLayout(w);
    CheckTabComputeLayout(w);
    GuidelinesTabComputeLayout(w);
}

static void Move(const ControlSlot *slot) {
    const LayoutRect &r = slot->rect;
    MoveWindow(slot->handle, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

void BrowserApplyLayout(BrowserWindow *w) {
    if (!w)
        return;
    const ControlSlot *order[] = {&w->tab,        &w->tree,          &w->list,
                                  &w->findButton, &w->searchEdit,    &w->viewer,
                                  &w->resizeBar,  &w->backButton,    &w->forwardButton,
                                  &w->showWordCheck, &w->infoButton, &w->nothingFound};
    for (const ControlSlot *slot : order)
        if (slot->handle)
            Move(slot);
    IndexTabApplyLayout(w);
    CheckTabApplyLayout(w);
    GuidelinesTabApplyLayout(w);
}

int32_t CreateUiFont(uint16_t height, int32_t proportional, HFONT *font) {
    LOGFONTA lf = {};
    lf.lfHeight = height;
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = proportional ? VARIABLE_PITCH : FIXED_PITCH;
    HFONT f = CreateFontIndirectA(&lf);
    if (font)
        *font = f;
    else if (f)
        DeleteObject(f);
    return 0;
}
