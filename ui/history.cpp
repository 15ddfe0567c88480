// Navigation history: the 32 visited pages of the browser window, walked by "<" and ">".
// Slot 0 holds the empty entry until the array is full and shifts; nothing here renders.
#include "ui/history.h"

#include <cstring>

#include "foundation/status.h"
#include "ui/browser_window.h"

int32_t HistoryPush(BrowserWindow *w, PageRef entry) {
    if (!w) return ERR_NULLPTR;
    if (PageRefEqual(entry, w->history[w->historyPos])) return ERR_EMPTY;
    if (w->historyPos < w->historyLast) {
        // The user went back: the pages ahead are dropped.
        w->historyPos++;
        w->historyLast = w->historyPos;
    } else if (w->historyLast < HISTORY_CAPACITY - 1) {
        w->historyLast++;
        w->historyPos = w->historyLast;
    } else {
        memmove(&w->history[0], &w->history[1], (HISTORY_CAPACITY - 1) * sizeof(PageRef));
    }
    w->history[w->historyPos] = entry;
    return 0;
}

int32_t HistoryBack(BrowserWindow *w, PageRef *out) {
    if (!w || !out) return ERR_NULLPTR;
    if (w->historyLast < 2 || w->historyPos < 1) return ERR_NOTAVAIL;
    w->historyPos--;
    *out = w->history[w->historyPos];
    return 0;
}

int32_t HistoryForward(BrowserWindow *w, PageRef *out) {
    if (!w || !out) return ERR_NULLPTR;
    if (w->historyLast < 2 || w->historyPos >= w->historyLast) return ERR_NOTAVAIL;
    w->historyPos++;
    *out = w->history[w->historyPos];
    return 0;
}
