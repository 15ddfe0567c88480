// Expanding or collapsing every item of a tree view, children before their parent.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

// action: TVE_EXPAND or TVE_COLLAPSE. ERR_NULLPTR for a null tree or an empty tree.
int32_t TreeExpandAll(HWND tree, UINT action);
// Walks the item and its following siblings; ERR_GENERIC when an item cannot be read.
int32_t TreeExpandBranch(HWND tree, HTREEITEM item, UINT action);
