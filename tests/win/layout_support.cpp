// The layout table of the tests, written out apart from the program's own computation.
#include "layout_support.h"

#include <gtest/gtest.h>

#include "ui/check_tab.h"
#include "ui/index_tab.h"
#include "ui_test_support.h"

std::vector<ControlPlace> LayoutAt96(const BrowserWindow *w, int32_t s, int32_t width, int32_t h) {
    std::vector<ControlPlace> places = {
        {"tab", w->tab.handle, {0, 0, s - 4, h}},
        {"tree", w->tree.handle, {6, 30, s - 16, h - 12}},
        {"list", w->list.handle, {6, 30, s - 16, h - 45}},
        {"find", w->findButton.handle, {8, h - 39, 72, h - 13}},
        {"edit", w->searchEdit.handle, {73, h - 39, s - 16, h - 13}},
        {"viewer", w->viewer.handle, {s + 4, 37, width, h}},
        {"bar", w->resizeBar.handle, {s - 4, 0, s + 4, h}},
        {"back", w->backButton.handle, {s + 8, 0, s + 44, 36}},
        {"forward", w->forwardButton.handle, {s + 45, 0, s + 81, 36}},
        {"check", w->showWordCheck.handle, {s + 97, 4, s + 297, 34}},
        {"info", w->infoButton.handle, {s + 313, 4, s + 385, 34}},
    };
    if (const IndexTab *t = w->indexTab) {
        places.push_back({"index note", t->note.handle, {6, 30, s - 16, 56}});
        places.push_back({"index list", t->list.handle, {6, 56, s - 16, h - 45}});
        places.push_back({"index search", t->button.handle, {8, h - 39, 72, h - 13}});
        places.push_back({"index edit", t->edit.handle, {73, h - 39, s - 16, h - 13}});
    }
    if (const CheckTab *t = w->checkTab) {
        places.push_back({"check date label", t->date.label.handle, {6, 30, 110, 56}});
        places.push_back({"check date", t->date.picker.handle, {110, 30, 250, 56}});
        places.push_back({"check age label", t->payer.label.handle, {6, 60, 110, 86}});
        places.push_back({"check age", t->payer.age.handle, {110, 60, 158, 86}});
        places.push_back({"check inpatient", t->payer.inpatient.handle, {174, 60, 274, 86}});
        places.push_back({"check edit", t->edit.handle, {6, 92, s - 16, h - 45}});
        places.push_back({"check button", t->button.handle, {8, h - 39, 72, h - 13}});
        places.push_back({"check copy", t->copy.handle, {80, h - 39, 144, h - 13}});
    }
    return places;
}

LayoutRect RectInParent(HWND control) {
    RECT rc;
    GetWindowRect(control, &rc);
    MapWindowPoints(nullptr, GetParent(control), (POINT *)&rc, 2);
    return {rc.left, rc.top, rc.right, rc.bottom};
}

void ExpectAt(HWND control, LayoutRect expected, const char *name, int32_t tolerance) {
    const LayoutRect r = RectInParent(control);
    EXPECT_NEAR(r.left, expected.left, tolerance) << name;
    EXPECT_NEAR(r.top, expected.top, tolerance) << name;
    EXPECT_NEAR(r.right, expected.right, tolerance) << name;
    EXPECT_NEAR(r.bottom, expected.bottom, tolerance) << name;
}

void SetClientSize(HWND window, int32_t width, int32_t height) {
    RECT rc = {0, 0, width, height};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(window, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
}
