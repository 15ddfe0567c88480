// Painting the tree's rows: one pass down the visible items, each row's ancestry carried from
// the row before, so that a row costs a handful of messages to the tree and no server call.
#include "ui/tree_paint.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <cstring>

#include "foundation/status.h"

// What every row of one paint shares.
struct TreeLook {
    HWND tree;
    HDC dc;
    HTHEME theme;      // the tree's own theme, or null for classic buttons
    COLORREF back;
    COLORREF text;
    COLORREF line;
    LONG indent;
    LONG textHeight;
    HPEN dotted;       // cosmetic alternate-dot pen in the line colour
    bool lines;
    bool buttons;
    bool focused;      // the tree has the focus
    bool focusCues;    // focus rectangles are shown (keyboard UI state)
    bool selAlways;
};

// The ancestors of the last row read: items[d] is the ancestor at depth d, hasNext[d] whether it
// has a following sibling, which draws its vertical line through every row below it.
struct TreeAncestry {
    HTREEITEM items[TREE_PAINT_MAX_DEPTH];
    bool hasNext[TREE_PAINT_MAX_DEPTH];
    int32_t depth;
};

static HTREEITEM TreeNext(HWND tree, HTREEITEM item, WPARAM how) {
    return (HTREEITEM)SendMessageW(tree, TVM_GETNEXTITEM, how, (LPARAM)item);
}

static COLORREF ColourOr(LRESULT set, int sys) {
    return (COLORREF)set == CLR_NONE || (COLORREF)set == CLR_DEFAULT ? GetSysColor(sys) : (COLORREF)set;
}

// Rebuilds the ancestry of `item` by walking up from it. false when it is too deep.
static bool AncestryRebuild(HWND tree, HTREEITEM item, TreeAncestry *a) {
    HTREEITEM chain[TREE_PAINT_MAX_DEPTH];
    int32_t n = 0;
    for (HTREEITEM p = TreeNext(tree, item, TVGN_PARENT); p; p = TreeNext(tree, p, TVGN_PARENT)) {
        if (n == TREE_PAINT_MAX_DEPTH - 1)
            return false;
        chain[n++] = p;
    }
    a->depth = n;
    for (int32_t d = 0; d < n; d++) {
        a->items[d] = chain[n - 1 - d];
        a->hasNext[d] = TreeNext(tree, a->items[d], TVGN_NEXT) != nullptr;
    }
    return true;
}

// Places `item` in the ancestry and returns its depth, or -1 when it is too deep. Its parent is
// nearly always the row above or one of that row's ancestors.
static int32_t AncestryPlace(HWND tree, HTREEITEM item, TreeAncestry *a) {
    HTREEITEM parent = TreeNext(tree, item, TVGN_PARENT);
    int32_t depth = -1;
    if (!parent) {
        depth = 0;
    } else {
        for (int32_t d = a->depth - 1; d >= 0; d--)
            if (a->items[d] == parent) {
                depth = d + 1;
                break;
            }
    }
    if (depth < 0) {
        if (!AncestryRebuild(tree, item, a))
            return -1;
        depth = a->depth;
    }
    if (depth >= TREE_PAINT_MAX_DEPTH)
        return -1;
    a->items[depth] = item;
    a->hasNext[depth] = TreeNext(tree, item, TVGN_NEXT) != nullptr;
    a->depth = depth + 1;
    return depth;
}

static void Line(HDC dc, LONG x0, LONG y0, LONG x1, LONG y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// The lines of a row: to its label, up to the row above, down to its next sibling, and each
// ancestor's line passing through. The centre sits on a dot of the alternate pen.
static void PaintLines(const TreeLook *look, const TreeAncestry *a, int32_t depth, HTREEITEM item,
                       const RECT *row, LONG linesLeft, LONG label) {
    const LONG cx = (linesLeft + label) / 2;
    const LONG cy = ((row->top + row->bottom) / 2 + 2) & ~1;
    HGDIOBJ old = SelectObject(look->dc, look->dotted);
    Line(look->dc, label, cy, cx - 1, cy);
    if (depth > 0 || TreeNext(look->tree, item, TVGN_PREVIOUS))
        Line(look->dc, cx, row->top, cx, cy);
    if (a->hasNext[depth])
        Line(look->dc, cx, cy, cx, row->bottom);
    LONG x = cx;
    for (int32_t d = depth - 1; d >= 0; d--) {
        x -= look->indent;
        if (a->hasNext[d])
            Line(look->dc, x, row->top, x, row->bottom);
    }
    SelectObject(look->dc, old);
}

// Without a theme: a box in the line colour with a minus, and a plus while closed.
static void PaintClassicButton(const TreeLook *look, const RECT *cell, bool open) {
    const LONG cx = (cell->left + cell->right) / 2;
    const LONG cy = (cell->top + cell->bottom) / 2;
    const LONG w = cell->right - cell->left, h = cell->bottom - cell->top;
    const LONG half = (w < h ? w : h) / 4;
    const LONG arm = (half + 1) * 3 / 4;
    HPEN pen = CreatePen(PS_SOLID, 0, look->line);
    HBRUSH brush = CreateSolidBrush(look->back);
    HGDIOBJ oldPen = SelectObject(look->dc, pen);
    HGDIOBJ oldBrush = SelectObject(look->dc, brush);
    Rectangle(look->dc, cx - half - 1, cy - half - 1, cx + half + 2, cy + half + 2);
    SelectObject(look->dc, GetStockObject(BLACK_PEN));
    Line(look->dc, cx - arm + 1, cy, cx + arm, cy);
    if (!open)
        Line(look->dc, cx, cy - arm + 1, cx, cy + arm);
    SelectObject(look->dc, oldBrush);
    SelectObject(look->dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

static void PaintButton(const TreeLook *look, const RECT *row, LONG linesLeft, LONG label, bool open) {
    RECT cell = {linesLeft, row->top, label, row->bottom};
    if (look->theme)
        DrawThemeBackground(look->theme, look->dc, TVP_GLYPH, open ? GLPS_OPENED : GLPS_CLOSED, &cell,
                            nullptr);
    else
        PaintClassicButton(look, &cell, open);
}

// The label: highlighted while selected and the tree has the focus, greyed while selected
// without it, framed while selected with the focus shown.
static void PaintLabel(const TreeLook *look, const RECT *label, const WCHAR *text, bool selected) {
    const bool shown = selected && (look->focused || look->selAlways);
    COLORREF back = look->back, fore = look->text;
    if (shown && look->focused) {
        back = GetSysColor(COLOR_HIGHLIGHT);
        fore = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (shown) {
        back = GetSysColor(COLOR_BTNFACE);
    }
    SetTextColor(look->dc, fore);
    SetBkColor(look->dc, back);
    const int length = lstrlenW(text);
    ExtTextOutW(look->dc, label->left + 2, (label->top + label->bottom - look->textHeight) / 2,
                ETO_CLIPPED | ETO_OPAQUE, label, text, (UINT)length, nullptr);
    if (selected && look->focused && look->focusCues)
        DrawFocusRect(look->dc, label);
}

static int32_t PaintRow(const TreeLook *look, TreeAncestry *a, HTREEITEM item, const RECT *label) {
    const int32_t depth = AncestryPlace(look->tree, item, a);
    if (depth < 0)
        return ERR_FAILED;
    WCHAR text[512];
    text[0] = 0;
    TVITEMW info = {};
    info.mask = TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
    info.hItem = item;
    info.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    info.pszText = text;
    info.cchTextMax = (int)(sizeof text / sizeof text[0]);
    if (!SendMessageW(look->tree, TVM_GETITEMW, 0, (LPARAM)&info))
        return ERR_FAILED;
    text[sizeof text / sizeof text[0] - 1] = 0;
    const LONG linesLeft = label->left - look->indent;
    if (look->lines)
        PaintLines(look, a, depth, item, label, linesLeft, label->left);
    if (look->buttons && info.cChildren != 0)
        PaintButton(look, label, linesLeft, label->left, (info.state & TVIS_EXPANDED) != 0);
    PaintLabel(look, label, text, (info.state & TVIS_SELECTED) != 0);
    return 0;
}

static bool LookMake(HWND tree, HDC dc, TreeLook *look) {
    const LONG_PTR style = GetWindowLongPtrW(tree, GWL_STYLE);
    if (!(style & TVS_LINESATROOT) || SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0) ||
        SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_STATE, 0))
        return false;
    look->tree = tree;
    look->dc = dc;
    look->theme = GetWindowTheme(tree);
    look->back = ColourOr(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0), COLOR_WINDOW);
    look->text = ColourOr(SendMessageW(tree, TVM_GETTEXTCOLOR, 0, 0), COLOR_WINDOWTEXT);
    look->line = ColourOr(SendMessageW(tree, TVM_GETLINECOLOR, 0, 0), COLOR_GRAYTEXT);
    look->indent = (LONG)SendMessageW(tree, TVM_GETINDENT, 0, 0);
    look->lines = (style & TVS_HASLINES) != 0;
    look->buttons = (style & TVS_HASBUTTONS) != 0;
    look->selAlways = (style & TVS_SHOWSELALWAYS) != 0;
    look->focused = GetFocus() == tree;
    look->focusCues = !(SendMessageW(tree, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
    return true;
}

int32_t TreePaintRows(HWND tree, HDC dc, const RECT *clip) {
    if (!tree || !dc || !clip)
        return ERR_NULLPTR;
    TreeLook look = {};
    if (!LookMake(tree, dc, &look))
        return ERR_INVPARAM;
    HBRUSH back = CreateSolidBrush(look.back);
    FillRect(dc, clip, back ? back : (HBRUSH)GetStockObject(WHITE_BRUSH));
    if (back)
        DeleteObject(back);
    LOGBRUSH lb = {BS_SOLID, look.line, 0};
    look.dotted = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageW(tree, WM_GETFONT, 0, 0));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    look.textHeight = metrics.tmHeight;
    const int oldAlign = (int)SetTextAlign(dc, TA_LEFT | TA_TOP);
    int32_t status = look.dotted ? 0 : ERR_ALLOC;
    TreeAncestry ancestry = {};
    for (HTREEITEM item = TreeNext(tree, nullptr, TVGN_FIRSTVISIBLE); item && status == 0;
         item = TreeNext(tree, item, TVGN_NEXTVISIBLE)) {
        // TVM_GETITEMRECT takes the item in the rectangle it fills.
        RECT label = {};
        memcpy(&label, &item, sizeof item);
        if (!SendMessageW(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&label)) {
            status = ERR_FAILED;
            break;
        }
        if (label.top >= clip->bottom)
            break;
        if (label.bottom > clip->top)
            status = PaintRow(&look, &ancestry, item, &label);
    }
    SetTextAlign(dc, (UINT)oldAlign);
    SelectObject(dc, oldFont);
    if (look.dotted)
        DeleteObject(look.dotted);
    return status;
}

LRESULT TreePaintOnCustomDraw(NMTVCUSTOMDRAW *draw) {
    if (!draw || draw->nmcd.dwDrawStage != CDDS_PREPAINT)
        return CDRF_DODEFAULT;
    return TreePaintRows(draw->nmcd.hdr.hwndFrom, draw->nmcd.hdc, &draw->nmcd.rc) == 0 ? CDRF_SKIPDEFAULT
                                                                                      : CDRF_DODEFAULT;
}
