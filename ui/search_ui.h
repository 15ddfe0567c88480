// Search in the window: runs the full-text search for the word in the search edit, fills the
// virtual hit list, answers its cells and opens the page of an activated hit.
#pragma once
#include <cstdint>

struct BrowserWindow;

// Runs "Find" (SearchFind) for word and shows the hits in the list (emptied first), with the wait
// cursor meanwhile; no hit shows the nothing-found line under the list until the next search, a
// typed code opens its record's page. Words shorter than MIN_SEARCH_CHARS change nothing. The
// SearchFind status, or ERR_EMPTY for a short word, ERR_NULLPTR.
int32_t SearchInWindow(BrowserWindow *w, const char *word);
