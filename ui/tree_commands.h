// Commands of the tree's context menu beyond expanding and collapsing one level: "Expand all"
// with a wait cursor and the view kept, and copying the selected record's code.
#pragma once
#include <cstdint>

struct BrowserWindow;

// Expands (expand nonzero) or collapses every item, with the wait cursor meanwhile; afterwards
// the selected item, or the top of the tree when none is, is in view. 0 or the walk's status.
int32_t TreeCommandExpandAll(BrowserWindow *w, int32_t expand);
// Puts the selected record's code, with withTitle a blank and its title after it, on the
// clipboard as CF_TEXT. 0; ERR_NOTFOUND when no record is selected (the clipboard is kept).
int32_t TreeCommandCopyCode(BrowserWindow *w, int32_t withTitle);
