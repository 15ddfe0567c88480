// Section pages and the record pages' section in the viewer. Links are known by their text:
// a section page's are "Section ID" or codes, the record section's lead with the ID.
#include "ui/guideline_pages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "classification/page_ref.h"
#include "foundation/status.h"
#include "guidelines/guideline_page.h"
#include "index/index_entries_page.h"
#include "ui/browser_window.h"
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

static void MarkSearchWord(BrowserWindow *w, void *) {
    if (w->search.searchWord &&
        SendMessageA(w->showWordCheck.handle, BM_GETCHECK, 0, 0) == BST_CHECKED)
        HighlightSearch(w);
}

int32_t ShowGuidelinePage(BrowserWindow *w, int32_t n, int32_t history) {
    if (!w) return ERR_NULLPTR;
    const GuidelineFile *file = GuidelinesData(w);
    if (!file) return ERR_NOTAVAIL;
    if (n < 0 || n >= file->sectionCount) return ERR_INVINDEX;
    ClearLinks(&w->links);
    if (history) HistoryPush(w, PageRef{PAGE_KIND_GUIDELINE, n});
    return ShowComposedPage(w, ComposeSection, MarkSearchWord, &n);
}

int32_t GuidelinePageFollowLink(BrowserWindow *w, const char *text) {
    if (!w || !text) return ERR_NULLPTR;
    const GuidelineFile *file = GuidelinesData(w);
    if (!file) return ERR_NOTAVAIL;
    if (strncmp(text, "Section ", 8) == 0) {
        char id[64];
        snprintf(id, sizeof id, "%s", text + 8);
        // The link may have taken a closing full stop or parenthesis along.
        for (size_t n = strlen(id); n > 0; id[--n] = '\0') {
            const int32_t section = GuidelineFind(file, id);
            if (section >= 0) return ShowGuidelinePage(w, section, 1);
        }
        return ERR_NOTFOUND;
    }
    // A range or a code with a final "-" opens the first code it names.
    char code[16];
    size_t n = 0;
    while (text[n] && text[n] != '-' && n + 1 < sizeof code) {
        code[n] = text[n];
        n++;
    }
    if (n > 0 && code[n - 1] == '.') n--;
    code[n] = '\0';
    return n >= 3 ? GoToCode(w, PAGE_KIND_RECORD, code) : ERR_NOTFOUND;
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
