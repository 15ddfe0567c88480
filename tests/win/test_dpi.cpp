// The window at 96, 144 and 192 DPI: the process is per-monitor DPI aware with common controls 6,
// every rectangle is the 96-DPI one times the scale, the fonts grow with it, every label fits its
// control, and a page, a search and a link work; WM_DPICHANGED lays the window out anew and keeps
// the page. A process takes its DPI from LogPixels when it starts: scripts/test runs this suite
// once per value with MORBIVUE_TEST_DPI set (unset means 96); the rows of other values skip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "feature_support.h"
#include "foundation/status.h"
#include "layout_support.h"
#include "ui/browser_dpi.h"
#include "ui/check_tab.h"
#include "ui/dpi.h"
#include "ui/features.h"
#include "ui/index_tab.h"

namespace {

struct DpiRow {
    int32_t dpi;
    int32_t width;   // the window's start size on a 2560 x 1600 screen
    int32_t height;
};

const DpiRow ROWS[] = {{96, 1136, 836}, {144, 1704, 1254}, {192, 2272, 1216}};

int32_t AskedDpi() {
    const char *asked = getenv("MORBIVUE_TEST_DPI");
    return asked && *asked ? atoi(asked) : DPI_BASE;
}

// Lays the window out for a 96-DPI client of width x height split at s, scaled to `dpi`, and
// checks every control against the table.
void ExpectLayoutAt(BrowserWindow *w, int32_t dpi, int32_t s, int32_t width, int32_t height) {
    SetClientSize(w->window, DpiScale(width, dpi), DpiScale(height, dpi));
    w->splitterX = DpiScale(s, dpi);
    BrowserComputeLayout(w);
    BrowserApplyLayout(w);
    // Within a pixel: the layout rounds both lengths of an edge like s - 16.
    for (const ControlPlace &p : LayoutAt96(w, s, width, height))
        ExpectAt(p.control, {DpiScale(p.rect.left, dpi), DpiScale(p.rect.top, dpi),
                             DpiScale(p.rect.right, dpi), DpiScale(p.rect.bottom, dpi)}, p.name, 1);
}

SIZE TextExtent(HWND control, const std::string &text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(control, WM_GETFONT, 0, 0));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

std::string TextOf(HWND control) {
    char text[128] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

// Every tab label within its tab, every button's and the check box's text within its control
// (the box's square and gap beside it), measured with the control's own font.
void ExpectLabelsFit(BrowserWindow *w, int32_t dpi) {
    HWND tab = w->tab.handle;
    for (int32_t i = 0; i < (int32_t)SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0); i++) {
        char text[32] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tab, TCM_GETITEMA, i, (LPARAM)&item);
        RECT rc = {};
        SendMessageA(tab, TCM_GETITEMRECT, i, (LPARAM)&rc);
        const SIZE size = TextExtent(tab, text);
        EXPECT_LE(size.cx, rc.right - rc.left) << text;
        EXPECT_LE(size.cy, rc.bottom - rc.top) << text;
    }
    const HWND buttons[] = {w->findButton.handle,   w->backButton.handle,
                            w->forwardButton.handle, w->infoButton.handle,
                            w->showWordCheck.handle, w->indexTab->button.handle,
                            w->checkTab->button.handle, w->checkTab->copy.handle};
    for (HWND button : buttons) {
        const std::string text = TextOf(button);
        const bool box = button == w->showWordCheck.handle;
        RECT rc = {};
        GetClientRect(button, &rc);
        const SIZE size = TextExtent(button, text);
        EXPECT_LE(size.cx + (box ? DpiScale(16, dpi) : 0), rc.right) << text;
        EXPECT_LE(size.cy, rc.bottom) << text;
    }
}

void ExpectFontsAndColumns(BrowserWindow *w, int32_t dpi) {
    LOGFONTA lf = {};
    ASSERT_TRUE(GetObjectA(w->uiFont, sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, DpiScale(16, dpi));
    for (HWND control : {w->tab.handle, w->findButton.handle, w->searchEdit.handle,
                         w->infoButton.handle, w->indexTab->edit.handle, w->checkTab->edit.handle})
        EXPECT_EQ((HFONT)SendMessageA(control, WM_GETFONT, 0, 0), w->uiFont);
    const struct {
        HWND list;
        int32_t widths[3];
    } lists[] = {{w->list.handle, {90, 110, 500}}, {IndexTabList(w), {90, 330, 330}}};
    for (const auto &l : lists)
        for (int32_t c = 0; c < 3; c++)
            EXPECT_EQ(SendMessageA(l.list, LVM_GETCOLUMNWIDTH, c, 0), DpiScale(l.widths[c], dpi));
}

// The Hypertension rows of the Index tab read apart: what the path column shows of each row (the
// longest beginning that fits, as the list cuts it) differs between rows that differ.
void ExpectIndexRowsReadApart(BrowserWindow *w, int32_t dpi) {
    SelectTab(w, INDEX_TAB);
    HWND list = IndexTabList(w);
    SetWindowTextA(w->indexTab->edit.handle, "hypertension");
    SendMessageA(w->indexTab->button.handle, BM_CLICK, 0, 0);
    PumpMessages();
    const int32_t rows = std::min(40, (int32_t)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_GT(rows, 10);
    // Room for the text: the column less the list's margins on both sides.
    const int32_t room = (int32_t)SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0) - DpiScale(12, dpi);
    std::vector<std::string> full, shown;
    for (int32_t r = 0; r < rows; r++) {
        const std::string text = ListCell(list, r, 1);
        std::string visible = text;
        while (!visible.empty() &&
               SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, (LPARAM)visible.c_str()) > room) {
            visible.pop_back();
        }
        full.push_back(text);
        shown.push_back(visible);
    }
    for (int32_t a = 0; a < rows; a++)
        for (int32_t b = a + 1; b < rows; b++)
            if (full[a] != full[b]) EXPECT_NE(shown[a], shown[b]) << full[a] << " | " << full[b];
    SelectTab(w, 0);
}

int32_t FirstLinkAt(HWND viewer, const std::string &text, int32_t from) {
    for (int32_t i = from; i < (int32_t)text.size(); i++)
        if (FormatAt(viewer, i).dwEffects & CFE_LINK) return i;
    return -1;
}

class DpiTest : public FeatureSuite<DpiTest>, public testing::WithParamInterface<DpiRow> {};

TEST_P(DpiTest, WindowScalesAndStaysWholeAndWorking) {
    const DpiRow row = GetParam();
    RECT screen = {0, 0, 2560, 1600};
    int32_t width = 0, height = 0;
    BrowserWindowSizeAt(&screen, row.dpi, &width, &height);
    EXPECT_EQ(width, row.width);
    EXPECT_EQ(height, row.height);
    if (row.dpi != AskedDpi()) GTEST_SKIP() << "this process runs at " << AskedDpi() << " DPI";

    // LogPixels took, the manifest made the process aware, and common controls 6 are loaded.
    ASSERT_EQ(DpiOfSystem(), row.dpi);
    EXPECT_EQ(w->dpi, row.dpi);
    typedef DPI_AWARENESS_CONTEXT(WINAPI * ContextFn)(void);
    typedef DPI_AWARENESS(WINAPI * AwarenessFn)(DPI_AWARENESS_CONTEXT);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto context = (ContextFn)(void *)GetProcAddress(user32, "GetThreadDpiAwarenessContext");
    auto awareness =
        (AwarenessFn)(void *)GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext");
    ASSERT_TRUE(context && awareness);
    EXPECT_EQ(awareness(context()), DPI_AWARENESS_PER_MONITOR_AWARE);
    // Only the buttons of common controls 6 know their ideal size.
    SIZE ideal = {};
    EXPECT_TRUE(SendMessageA(w->infoButton.handle, BCM_GETIDEALSIZE, 0, (LPARAM)&ideal));

    // Placed and sized by the scaled rule for this work area.
    RECT work = {}, rc = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(b.window, &rc);
    BrowserWindowSizeAt(&work, row.dpi, &width, &height);
    EXPECT_EQ(rc.left, DpiScale(64, row.dpi));
    EXPECT_EQ(rc.top, DpiScale(64, row.dpi));
    EXPECT_EQ(rc.right - rc.left, width);
    EXPECT_EQ(rc.bottom - rc.top, height);

    ExpectLayoutAt(w, row.dpi, 400, 800, 560);
    ExpectFontsAndColumns(w, row.dpi);
    ExpectLabelsFit(w, row.dpi);
    ExpectIndexRowsReadApart(w, row.dpi);

    // A page: its points come out in pixels of this DPI (a line at least as high as its font).
    ShowCode(w, "T80-T88");
    std::string text = ViewerText(viewer);
    ASSERT_EQ(text.rfind("T80-T88", 0), 0u);
    POINTL first = {}, second = {};
    const int32_t nextLine = (int32_t)text.find('\n') + 1;
    SendMessageA(viewer, EM_POSFROMCHAR, (WPARAM)&first, 0);
    SendMessageA(viewer, EM_POSFROMCHAR, (WPARAM)&second, nextLine);
    EXPECT_GE(second.y - first.y, MulDiv(FormatAt(viewer, 0).yHeight, row.dpi, 1440));

    // A search and a link.
    SelectTab(w, 1);
    SetWindowTextA(w->searchEdit.handle, "cholera");
    SearchOnFind(w, 0);
    EXPECT_GT(SendMessageA(w->list.handle, LVM_GETITEMCOUNT, 0, 0), 0);
    SelectTab(w, 0);
    ShowCode(w, "T80-T88");
    text = ViewerText(viewer);
    const int32_t link = FirstLinkAt(viewer, text, nextLine);
    ASSERT_GT(link, 0);
    const std::string target = text.substr(link, text.find_first_of(" ,)\n", link) - link);
    SendLinkPress(w, link, link + (int32_t)target.size());
    PumpMessages();
    EXPECT_EQ(ViewerText(viewer).rfind(target, 0), 0u) << target;
}

INSTANTIATE_TEST_SUITE_P(Scales, DpiTest, testing::ValuesIn(ROWS),
                         [](const testing::TestParamInfo<DpiRow> &info) {
                             return std::to_string(info.param.dpi);
                         });

class DpiChangeTest : public FeatureSuite<DpiChangeTest> {};

// A move to a screen of another scale: the suggested rectangle taken, fonts, columns and layout
// made for the new DPI, the page with its top line, selection and history kept; and back.
TEST_F(DpiChangeTest, MoveToAnotherScaleLaysOutAnewAndKeepsThePage) {
    const int32_t from = w->dpi;
    const int32_t to = from < 192 ? 192 : 96;
    ExpectLayoutAt(w, from, 250, 500, 400);
    ShowCode(w, "T80-T88");
    ShowCode(w, "A00-B99");
    const std::string text = ViewerText(viewer);
    SendMessageA(viewer, EM_LINESCROLL, 0, 12);
    const LRESULT topLine = SendMessageA(viewer, EM_GETFIRSTVISIBLELINE, 0, 0);
    const LRESULT top = SendMessageA(viewer, EM_LINEINDEX, topLine, 0);
    CHARRANGE selection = {(LONG)top + 2, (LONG)top + 9};
    SendMessageA(viewer, EM_EXSETSEL, 0, (LPARAM)&selection);
    const uint16_t historyLast = w->historyLast;

    RECT before = {};
    GetWindowRect(b.window, &before);
    RECT suggested = {before.left, before.top, before.left + MulDiv(before.right - before.left, to, from),
                      before.top + MulDiv(before.bottom - before.top, to, from)};
    SendMessageA(b.window, WM_DPICHANGED, MAKEWPARAM(to, to), (LPARAM)&suggested);
    RECT after = {};
    GetWindowRect(b.window, &after);
    EXPECT_TRUE(EqualRect(&after, &suggested));
    EXPECT_EQ(w->dpi, to);
    EXPECT_EQ(w->splitterX, DpiScale(250, to));
    ExpectFontsAndColumns(w, to);
    EXPECT_EQ(ViewerText(viewer), text);
    const LRESULT line = SendMessageA(viewer, EM_EXLINEFROMCHAR, 0, top);
    EXPECT_EQ(SendMessageA(viewer, EM_GETFIRSTVISIBLELINE, 0, 0), line);
    CHARRANGE kept = {};
    SendMessageA(viewer, EM_EXGETSEL, 0, (LPARAM)&kept);
    EXPECT_EQ(kept.cpMin, selection.cpMin);
    EXPECT_EQ(kept.cpMax, selection.cpMax);
    EXPECT_EQ(w->historyLast, historyLast);
    ExpectLayoutAt(w, to, 250, 500, 400);

    SendMessageA(b.window, WM_DPICHANGED, MAKEWPARAM(from, from), (LPARAM)&before);
    EXPECT_EQ(w->dpi, from);
    ExpectFontsAndColumns(w, from);
    ExpectLayoutAt(w, from, 250, 500, 400);
    EXPECT_EQ(BrowserOnDpiChanged(w, 0, nullptr), ERR_INVPARAM);
    EXPECT_EQ(w->dpi, from);
}

}  // namespace
