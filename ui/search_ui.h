// Search in the window: runs the full-text search for the word in the search edit, fills the
// virtual hit list, answers its cells and opens the page of an activated hit.
#pragma once
#include <cstdint>

struct BrowserWindow;

// Searches for word and shows the hits in the list (emptied first), with the wait cursor
// meanwhile. Words shorter than MIN_SEARCH_CHARS change nothing. The SearchRecords status, or
// ERR_EMPTY for a short word, ERR_NULLPTR.
int32_t SearchInWindow(BrowserWindow *w, const char *word);
