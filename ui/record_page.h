// Record page in the viewer: replays a record's composed page onto the RichTextView, marks the
// last search word, and shows the page of the tree item the user (or the program) selects.
#pragma once
#include <cstdint>

#include "classification/record_table.h"

struct BrowserWindow;

enum : uint32_t {
    HIGHLIGHT_TEXT_COLOR = 0x0000FFFF,  // yellow letters on
    HIGHLIGHT_BACK_COLOR = 0x00404040,  // dark grey, for every match of the search word
};

// Shows record's page (kind PAGE_KIND_RECORD) and, with history set, pushes it to the history.
// Each match of the search word is given the highlight colours while the check box is set; the
// letters stay as they are. Ends with the focus in the viewer at the top of the page.
// 0; ERR_NULLPTR for a null w, record or array; ERR_NULLPTRIN without viewer output or buffers.
// Nothing changes on failure.
int32_t ShowRecordPage(BrowserWindow *w, uint16_t kind, const TextRecord *record,
                       const TextRecord *array, int32_t history);

// Selects the shown page's record in the tree and scrolls it into view, without showing the page
// again or adding a history entry. 0; ERR_NOTFOUND when the viewer shows no record page.
int32_t RecordPageSelectInTree(BrowserWindow *w);
// Puts the shown page's code on the clipboard as CF_TEXT. 0; ERR_NOTFOUND when the viewer shows
// no record page (the clipboard is kept).
int32_t RecordPageCopyCode(BrowserWindow *w);

// Gives each match of word in the viewer the highlight colours; the number of matches marked.
int32_t HighlightWord(BrowserWindow *w, const char *word);
