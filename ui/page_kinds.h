// Page kinds and their renderers: how a page of each kind is shown again from its history entry
// and how a click on one of its links is followed. One table, so that navigation names no page
// module and each page module depends only on what lies below it.
#pragma once
#include <cstdint>

#include "classification/page_ref.h"

struct BrowserWindow;

struct PageKindRenderer {
    uint16_t kind;  // PAGE_KIND_*
    // Shows the page of index (record position, entry number, ...) without a history entry.
    int32_t (*show)(BrowserWindow *w, int32_t index);
    // Follows the page's link at character position, whose text is text.
    int32_t (*follow)(BrowserWindow *w, int32_t position, const char *text);
};

// The renderer of kind, or null for a kind the window does not know.
const PageKindRenderer *PageKindFind(uint16_t kind);

// Shows entry's page without a history entry. 0; ERR_INVTYPE for an unknown kind; the renderer's
// status (ERR_INVINDEX for an index outside its pages); ERR_NULLPTR.
int32_t PageKindShow(BrowserWindow *w, PageRef entry);
// Follows the link at position of a page of kind; a page of no known kind (the help page) has
// links that name codes. The renderer's status; ERR_NULLPTR.
int32_t PageKindFollowLink(BrowserWindow *w, uint16_t kind, int32_t position, const char *text);
