// Tree items made when first needed: a record's item exists once its parent has been expanded
// or once the program asks for it (following a link, the tree following the page, "Expand
// all"). Under Wine every message naming an item scans the tree's items from the first one
// made, so making all 46,000 at start cost 0.3 s, most of the start-up time.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

struct BrowserWindow;

// The record's tree item, made first with every item on the way to it; null for a record
// outside the tree or when an item cannot be made.
HTREEITEM TreeItemFor(BrowserWindow *w, uint32_t record);
// TVN_ITEMEXPANDINGA from the tree: an item about to open gets its children's items. Returns
// FALSE (the expansion goes on).
LRESULT TreeItemsOnExpanding(BrowserWindow *w, const NMTREEVIEWA *nm);
// Makes every item not made yet, parents before children; a made item that has children gets
// `state` (0, or TVIS_EXPANDED to arrive open). 0; ERR_NULLPTR; ERR_ALLOC when the tree would
// not take an item (those after it are not made either).
int32_t TreeItemsMakeAll(BrowserWindow *w, UINT state);
