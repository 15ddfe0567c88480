// Section pages and the record pages' section in the viewer. Links are known by their text:
// a section page's are "Section ID" or codes, the record section's lead with the ID.
#include "ui/guideline_pages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "classification/page_ref.h"
#include "foundation/status.h"
#include "guidelines/guideline_page.h"
#include "guidelines/guideline_refs.h"
#include "index/index_entries_page.h"
#include "ui/browser_window.h"
#include "ui/guidelines_tab.h"
#include "ui/history.h"
#include "ui/page_view.h"
#include "ui/record_page.h"

static GuidelinePages *Pages(BrowserWindow *w) {
    if (!w->guidelines) w->guidelines = (GuidelinePages *)calloc(1, sizeof(GuidelinePages));
    return w->guidelines;
}

const GuidelineFile *GuidelinesData(BrowserWindow *w) {
    if (!w) return nullptr;
    GuidelinePages *g = Pages(w);
    if (!g) return nullptr;
    if (!g->loaded) {
        g->loaded = 1;
        g->loadStatus = GuidelineFileLoadEmbedded(&g->file);
    }
    return g->loadStatus >= 0 ? &g->file : nullptr;
}

void GuidelinesFree(BrowserWindow *w) {
    if (!w || !w->guidelines) return;
    GuidelineCodeMapFree(&w->guidelines->map);
    GuidelineFileFree(&w->guidelines->file);
    free(w->guidelines);
    w->guidelines = nullptr;
}

static void ComposeSection(BrowserWindow *w, void *context, const PageSink *sink) {
    ComposeGuideline(&w->guidelines->file, *(const int32_t *)context, sink);
}

// Find's phrase as on record pages, and each word of the Guidelines tab's last search, while
// the check box is set.
static void MarkWords(BrowserWindow *w, void *) {
    if (SendMessageA(w->showWordCheck.handle, BM_GETCHECK, 0, 0) != BST_CHECKED) return;
    if (w->search.searchWord) HighlightSearch(w);
    char *words = w->scratchBuffer;
    snprintf(words, (size_t)w->textCapacity + 1, "%s", GuidelinesTabPhrase(w));
    for (char *p = words; *p;) {
        while (*p == ' ' || *p == '\t') p++;
        char *word = p;
        while (*p && *p != ' ' && *p != '\t') p++;
        const bool more = *p != '\0';
        *p = '\0';
        if (*word) HighlightWord(w, word);
        if (more) p++;
    }
}

int32_t ShowGuidelinePage(BrowserWindow *w, int32_t n, int32_t history) {
    if (!w) return ERR_NULLPTR;
    const GuidelineFile *file = GuidelinesData(w);
    if (!file) return ERR_NOTAVAIL;
    if (n < 0 || n >= file->sectionCount) return ERR_INVINDEX;
    ClearLinks(&w->links);
    if (history) HistoryPush(w, PageRef{PAGE_KIND_GUIDELINE, n});
    return ShowComposedPage(w, ComposeSection, MarkWords, &n);
}

int32_t GuidelinePageFollowLink(BrowserWindow *w, const char *text) {
    if (!w || !text) return ERR_NULLPTR;
    const GuidelineFile *file = GuidelinesData(w);
    if (!file) return ERR_NOTAVAIL;
    // "Section I.B.14" or, after "see", a bare "I.C.1.d.4".
    const int32_t section = GuidelineFind(file, strncmp(text, "Section ", 8) == 0 ? text + 8 : text);
    if (section >= 0) return ShowGuidelinePage(w, section, 1);
    // A code, a range or a code with a final "-" opens the first code it names, or the nearest
    // record above it ("T36.0X5-" is no record of its own).
    GuidelineCodeSpan span;
    if (GuidelineCodeAt(text, (int32_t)strlen(text), 0, &span) == 0) return ERR_NOTFOUND;
    int32_t status = ERR_NOTFOUND;
    for (size_t n = strlen(span.low); n >= 3; span.low[--n] = '\0') {
        if (span.low[n - 1] == '.') continue;
        status = GoToCode(w, PAGE_KIND_RECORD, span.low);
        if (status >= 0) break;
    }
    return status;
}

void GuidelinesComposeForRecord(BrowserWindow *w, const char *code, int32_t start,
                                const PageSink *sink) {
    if (!w || !code || !sink) return;
    const GuidelineFile *file = GuidelinesData(w);
    GuidelinePages *g = w->guidelines;
    if (!g) return;
    g->sectionStart = g->sectionEnd = 0;
    if (!file) return;
    if (!g->mapTried) {
        g->mapTried = 1;
        g->mapStatus = GuidelineCodeMapBuild(&g->map, &g->file);
    }
    if (g->mapStatus < 0) return;
    PageCounter counter;
    PageCounterInit(&counter, sink);
    if (ComposeGuidelineSections(file, &g->map, code, &counter.sink) >= 0) {
        g->sectionStart = start;
        g->sectionEnd = start + counter.position;
    }
}

int32_t GuidelinesFollowRecordLink(BrowserWindow *w, int32_t position, const char *text) {
    if (!w || !text) return ERR_NULLPTR;
    const GuidelinePages *g = w->guidelines;
    if (!g || w->shownPage.kind != PAGE_KIND_RECORD || position < g->sectionStart ||
        position >= g->sectionEnd)
        return ERR_NOTFOUND;
    char id[64];
    snprintf(id, sizeof id, "%s", text);
    char *blank = strchr(id, ' ');
    if (blank) *blank = '\0';
    const int32_t section = GuidelineFind(&g->file, id);
    return section >= 0 ? ShowGuidelinePage(w, section, 1) : ERR_NOTFOUND;
}
