// Record page in the viewer: replays a record's composed page onto the RichTextView, marks the
// last search word, and shows the page of the tree item the user (or the program) selects.
#pragma once
#include <cstdint>

#include "classification/page_compose.h"
#include "classification/record_table.h"
#include "ui/page_view.h"
#include "ui/rich_text_view.h"  // the highlight colours

struct BrowserWindow;

// Shows record's page (kind PAGE_KIND_RECORD) and, with history set, pushes it to the history.
// What the search found (HighlightSearch) is given the highlight colours while the check box is
// set; the letters stay as they are. Ends with the focus in the viewer at the top of the page.
// 0; ERR_NULLPTR for a null w, record or array; ERR_NULLPTRIN without viewer output or buffers.
// Nothing changes on failure.
int32_t ShowRecordPage(BrowserWindow *w, uint16_t kind, const TextRecord *record,
                       const TextRecord *array, int32_t history);

// Shows the record with this code on the "ICD-10" tab with its tree item selected, adding
// exactly one history entry. 0; the failure of FindRecordByCode (nothing changes then).
int32_t GoToCode(BrowserWindow *w, uint16_t kind, const char *code);
// GoToCode for a complete code typed or linked (T46.4X5A): its leaf's page (record), headed first
// with the complete code, its full title and that it is billable. The GoToCode status;
// ERR_NOTFOUND; ERR_NULLPTR.
int32_t GoToCompleteCode(BrowserWindow *w, const char *typed, int32_t record);
// Shows the page of the record at position without a history entry. 0; ERR_INVINDEX; ERR_NULLPTR.
int32_t RecordPageShowAt(BrowserWindow *w, int32_t position);
// Follows a record page's link: its text names a code (LinkKindForText gives the kind).
// The GoToCode status; ERR_NULLPTR.
int32_t RecordPageFollowLink(BrowserWindow *w, int32_t position, const char *text);

// Selects the shown page's record in the tree and scrolls it into view, without showing the page
// again or adding a history entry. 0; ERR_NOTFOUND when the viewer shows no record page.
int32_t RecordPageSelectInTree(BrowserWindow *w);
// Puts the shown page's code on the clipboard as CF_TEXT. 0; ERR_NOTFOUND when the viewer shows
// no record page (the clipboard is kept).
int32_t RecordPageCopyCode(BrowserWindow *w);

// Gives each match of word in the viewer the highlight colours; the number of matches marked.
int32_t HighlightWord(BrowserWindow *w, const char *word);
// The same, with wordStartsOnly set only for matches that begin a word (WordCharIs).
int32_t HighlightText(BrowserWindow *w, const char *word, int32_t wordStartsOnly);
// Marks what the current search found: its phrase; each of its words where it begins a word,
// for an all-words search; the code of the record a typed code named. The number marked.
int32_t HighlightSearch(BrowserWindow *w);
