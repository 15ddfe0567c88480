// The Official Guidelines in the window: their entry and code map loaded on first need (not at
// start-up), section pages in the viewer with history, their links followed by their text, and
// the record pages' "Guidelines:" section. The data and pages come from guidelines/.
#pragma once
#include <cstdint>

#include "classification/page_compose.h"
#include "guidelines/guideline_codes.h"
#include "guidelines/guideline_file.h"

struct BrowserWindow;

struct GuidelinePages {
    GuidelineFile file;    // empty until loaded or when it could not be; owned
    GuidelineCodeMap map;  // built for the first record page; owned
    int32_t loadStatus;    // 0, or the status of the failed load
    int32_t loaded;        // nonzero once the load was tried
    int32_t mapTried;      // nonzero once the map was tried
    int32_t mapStatus;     // 0, or the status of the failed build
    int32_t sectionStart;  // where the last record page's "Guidelines:" section stands, in
    int32_t sectionEnd;    // characters; both 0 when it has none
};

// The loaded guidelines, loading them unless that was tried before; null when they could not be.
const GuidelineFile *GuidelinesData(BrowserWindow *w);
// Frees what w->guidelines holds, and it.
void GuidelinesFree(BrowserWindow *w);
// Shows section n's page, with history pushing it (PAGE_KIND_GUIDELINE); the word of "Find" is
// highlighted as on record pages. 0; ERR_NULLPTR; ERR_NOTAVAIL without the data; ERR_INVINDEX.
int32_t ShowGuidelinePage(BrowserWindow *w, int32_t n, int32_t history);
// Follows a section page's link by its text: "Section ID" opens that section, a code or range
// its (first) record. ERR_NOTFOUND when the text names neither; ERR_NULLPTR.
int32_t GuidelinePageFollowLink(BrowserWindow *w, const char *text);
// Appends the record page's "Guidelines:" section for the record with code to a page of start
// characters; nothing when the data cannot be read.
void GuidelinesComposeForRecord(BrowserWindow *w, const char *code, int32_t start,
                                const PageSink *sink);
// Follows a link of the record page's "Guidelines:" section at position: the section's page.
// ERR_NOTFOUND when position is outside the section; ERR_NULLPTR.
int32_t GuidelinesFollowRecordLink(BrowserWindow *w, int32_t position, const char *text);
