// Navigation actions: showing the current history page again, following a link, and walking
// the history back and forward; plus the events that trigger them.
#pragma once
#include <cstdint>

struct BrowserWindow;

// Redraws the page of the current history entry (record or index page), without a new entry.
// 0; ERR_INVTYPE for an entry of neither kind; ERR_INVINDEX for an entry outside the table or
// the index set; ERR_NULLPTR.
int32_t ShowCurrentPage(BrowserWindow *w);

// Moves one history entry back (forward) and shows it. 0; ERR_NOTAVAIL; ERR_INVTYPE for the
// empty entry (the position has moved, nothing is drawn); ERR_INVINDEX; ERR_NULLPTR.
int32_t NavigateBack(BrowserWindow *w);
int32_t NavigateForward(BrowserWindow *w);
