// The tree's rows painted by the window look exactly as the tree view paints them itself: the
// two paintings compared pixel for pixel over states that reach every part of a row.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/record_page.h"
#include "ui/tree_paint.h"
#include "ui_test_support.h"

namespace {

// The tree's client area as painted now, one 32-bit pixel per point.
std::vector<uint32_t> CaptureTree(HWND tree, int *width, int *height) {
    InvalidateRect(tree, nullptr, TRUE);
    UpdateWindow(tree);
    RECT rc;
    GetClientRect(tree, &rc);
    *width = rc.right;
    *height = rc.bottom;
    std::vector<uint32_t> pixels((size_t)rc.right * (size_t)rc.bottom);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = rc.right;
    bi.bmiHeader.biHeight = -rc.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HDC screen = GetDC(tree);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, rc.right, rc.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    if (bits)
        memcpy(pixels.data(), bits, pixels.size() * sizeof(uint32_t));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(tree, screen);
    return pixels;
}

class TreePaintTest : public testing::Test {
protected:
    void SetUp() override {
        b = OpenBrowser();
        ASSERT_NE(b.w, nullptr);
        tree = b.w->tree.handle;
    }
    void TearDown() override { CloseBrowser(&b); }
    OpenedBrowser b = {};
    HWND tree = nullptr;
};

struct PaintState {
    const char *name;
    std::function<void(BrowserWindow *)> reach;
};

TEST_F(TreePaintTest, RowsMatchTheTreeViewsOwnPainting) {
    const PaintState states[] = {
        {"fresh window", [](BrowserWindow *) {}},
        {"deep code, viewer focused",
         [](BrowserWindow *w) { GoToCode(w, PAGE_KIND_RECORD, "S72.456"); }},
        {"deep code, tree focused", [](BrowserWindow *w) { SetFocus(w->tree.handle); }},
        {"scrolled sideways",
         [](BrowserWindow *w) {
             for (int i = 0; i < 4; i++)
                 SendMessageA(w->tree.handle, WM_HSCROLL, SB_LINERIGHT, 0);
         }},
        {"end of the tree, last siblings",
         [](BrowserWindow *w) {
             SendMessageA(w->tree.handle, WM_HSCROLL, SB_LEFT, 0);
             GoToCode(w, PAGE_KIND_RECORD, "Z99.89");
             SetFocus(w->tree.handle);
             SendMessageA(w->tree.handle, WM_VSCROLL, SB_BOTTOM, 0);
         }},
        {"collapsed branch in view",
         [](BrowserWindow *w) {
             HTREEITEM sel = (HTREEITEM)SendMessageA(w->tree.handle, TVM_GETNEXTITEM, TVGN_CARET, 0);
             HTREEITEM parent =
                 (HTREEITEM)SendMessageA(w->tree.handle, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)sel);
             SendMessageA(w->tree.handle, TVM_EXPAND, TVE_COLLAPSE, (LPARAM)parent);
             SendMessageA(w->tree.handle, TVM_ENSUREVISIBLE, 0, (LPARAM)parent);
         }},
    };
    for (const PaintState &state : states) {
        state.reach(b.w);
        PumpMessages();
        int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
        b.w->treeOwnPaint = 1;
        std::vector<uint32_t> own = CaptureTree(tree, &w1, &h1);
        b.w->treeOwnPaint = 0;
        std::vector<uint32_t> native = CaptureTree(tree, &w2, &h2);
        b.w->treeOwnPaint = 1;
        ASSERT_EQ(w1, w2) << state.name;
        ASSERT_EQ(h1, h2) << state.name;
        ASSERT_GT(w1 * h1, 0) << state.name;
        size_t differ = 0, first = 0;
        for (size_t i = 0; i < own.size(); i++)
            if ((own[i] & 0xFFFFFF) != (native[i] & 0xFFFFFF) && differ++ == 0)
                first = i;
        EXPECT_EQ(differ, 0u) << state.name << ": first at x " << first % (size_t)w1 << " y "
                              << first / (size_t)w1;
        size_t inked = 0;
        for (uint32_t p : own)
            inked += (p & 0xFFFFFF) != (own[0] & 0xFFFFFF);
        EXPECT_GT(inked, own.size() / 100) << state.name << ": the tree painted nothing";
    }
}

TEST_F(TreePaintTest, StylesItCannotLayOutAreLeftToTheTreeView) {
    HDC dc = GetDC(tree);
    RECT rc;
    GetClientRect(tree, &rc);
    EXPECT_EQ(TreePaintRows(tree, dc, &rc), 0);
    const LONG_PTR style = GetWindowLongPtrA(tree, GWL_STYLE);
    SetWindowLongPtrA(tree, GWL_STYLE, style & ~(LONG_PTR)TVS_LINESATROOT);
    EXPECT_EQ(TreePaintRows(tree, dc, &rc), ERR_INVPARAM);
    SetWindowLongPtrA(tree, GWL_STYLE, style);
    ReleaseDC(tree, dc);
}

}  // namespace
