// The tree's rows painted by the window through the tree's custom draw, as the tree view itself
// draws them: dotted lines, themed or classic buttons, labels and the selection. Under Wine the
// tree view's own paint makes server round trips for every row and redraws both scroll bars,
// some 15 ms a screenful, where the same rows drawn here take under a millisecond.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

// Rows as the tree's style lays them out: TVS_LINESATROOT, no image lists, no check boxes, no
// bold items, no insertion mark. Deeper items than this fall back to the tree view's painting.
enum { TREE_PAINT_MAX_DEPTH = 32 };

// Paints the rows of `tree` that meet `clip` (client coordinates) into `dc`, the background
// included. 0; ERR_NULLPTR; ERR_INVPARAM for a style laid out otherwise; ERR_FAILED when a row
// cannot be read or is deeper than TREE_PAINT_MAX_DEPTH (the rows before it are painted).
int32_t TreePaintRows(HWND tree, HDC dc, const RECT *clip);

// Answers the tree's NM_CUSTOMDRAW: at CDDS_PREPAINT paints every row with TreePaintRows and
// returns CDRF_SKIPDEFAULT, or CDRF_DODEFAULT so that the tree view paints when that fails.
LRESULT TreePaintOnCustomDraw(NMTVCUSTOMDRAW *draw);
