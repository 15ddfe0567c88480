// Page kinds and their renderers, in one table: the only place that knows every page module.
#include "ui/page_kinds.h"

#include "foundation/status.h"
#include "ui/check_tab.h"
#include "ui/guideline_pages.h"
#include "ui/index_entries.h"
#include "ui/index_tab.h"
#include "ui/record_page.h"

static int32_t ShowIndexAt(BrowserWindow *w, int32_t n) { return ShowIndexPage(w, n, 0); }

static int32_t FollowIndexLink(BrowserWindow *w, int32_t position, const char *) {
    return IndexPageFollowLink(w, position);
}

static int32_t ShowCheckAt(BrowserWindow *w, int32_t serial) { return ShowCheckPage(w, serial, 0); }

// A Check page's codes may be complete codes, which name their leaf's record.
static int32_t FollowCheckLink(BrowserWindow *w, int32_t, const char *text) {
    return CheckPageFollowLink(w, text);
}

// A record page's "Guidelines:" and "Index entries:" links are known by where they stand; the
// rest by their text.
static int32_t FollowRecordLink(BrowserWindow *w, int32_t position, const char *text) {
    int32_t status = GuidelinesFollowRecordLink(w, position, text);
    if (status == ERR_NOTFOUND) status = IndexEntriesFollowLink(w, position);
    return status != ERR_NOTFOUND ? status : RecordPageFollowLink(w, position, text);
}

static int32_t ShowGuidelineAt(BrowserWindow *w, int32_t n) { return ShowGuidelinePage(w, n, 0); }

static int32_t FollowGuidelineLink(BrowserWindow *w, int32_t, const char *text) {
    return GuidelinePageFollowLink(w, text);
}

static const PageKindRenderer RENDERERS[] = {
    {PAGE_KIND_RECORD, RecordPageShowAt, FollowRecordLink},
    {PAGE_KIND_INDEX, ShowIndexAt, FollowIndexLink},
    {PAGE_KIND_CHECK, ShowCheckAt, FollowCheckLink},
    {PAGE_KIND_GUIDELINE, ShowGuidelineAt, FollowGuidelineLink},
};

const PageKindRenderer *PageKindFind(uint16_t kind) {
    for (const PageKindRenderer &r : RENDERERS)
        if (r.kind == kind) return &r;
    return nullptr;
}

int32_t PageKindShow(BrowserWindow *w, PageRef entry) {
    if (!w) return ERR_NULLPTR;
    const PageKindRenderer *r = PageKindFind(entry.kind);
    return r ? r->show(w, entry.index) : ERR_INVTYPE;
}

int32_t PageKindFollowLink(BrowserWindow *w, uint16_t kind, int32_t position, const char *text) {
    if (!w) return ERR_NULLPTR;
    const PageKindRenderer *r = PageKindFind(kind);
    if (!r) r = PageKindFind(PAGE_KIND_RECORD);
    return r->follow(w, position, text);
}
