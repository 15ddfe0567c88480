// Navigation history: the 32 visited pages of the browser window, walked by "<" and ">".
// Slot 0 holds the empty entry until the array is full and shifts; nothing here renders.
#pragma once
#include <cstdint>

#include "classification/page_ref.h"

struct BrowserWindow;

// Makes entry the current page, dropping the pages ahead of the current one; when all 32
// slots are used the oldest is dropped. 0; ERR_EMPTY when entry is already current; ERR_NULLPTR.
int32_t HistoryPush(BrowserWindow *w, PageRef entry);

// Steps one entry back (forward) and copies it to out. ERR_NOTAVAIL when fewer than two pages
// were visited or there is nowhere to go; ERR_NULLPTR.
int32_t HistoryBack(BrowserWindow *w, PageRef *out);
int32_t HistoryForward(BrowserWindow *w, PageRef *out);
