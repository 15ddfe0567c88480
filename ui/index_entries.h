// The "Index entries:" section of record pages in the window: the map of what leads where, made
// on the first record page that needs it (the indexes loaded then, not at start-up), the
// section appended to the page, and its links followed by position.
#pragma once
#include <cstdint>

#include "classification/page_compose.h"
#include "index/index_backrefs.h"

struct BrowserWindow;

// The map, loading the indexes and building it unless that was tried before; null when either
// failed (record pages then end as before).
const IndexBackrefs *IndexEntriesMap(BrowserWindow *w);
// Appends the section of the record at position to a page of start characters, into the
// window's map of the section's links (emptied first, also when there is no section).
void IndexEntriesCompose(BrowserWindow *w, int32_t position, int32_t start, const PageSink *sink);
// Follows the section's link at character position of the shown record page: an entry's page
// with a history entry, or the Index tab listing every entry of the record. ERR_NOTFOUND when no
// link of the section is there or the viewer shows no record page; ERR_NULLPTR.
int32_t IndexEntriesFollowLink(BrowserWindow *w, int32_t position);
// Lists on the Index tab (shown, its edit holding the record's code) every entry that leads to
// the record at position. The IndexBackrefsSearch status; ERR_NOTAVAIL without the map.
int32_t IndexEntriesListAll(BrowserWindow *w, int32_t position);
