// The record pages' index entries in the window: the map kept with the Index tab's data, the
// section written through the page's sink, and its links mapped by position as index pages'
// are (paths are longer than the record link table's codes).
#include "ui/index_entries.h"

#include "classification/page_ref.h"
#include "foundation/status.h"
#include "index/index_entries_page.h"
#include "ui/browser_window.h"
#include "ui/index_tab.h"

const IndexBackrefs *IndexEntriesMap(BrowserWindow *w) {
    if (!w || !w->indexTab) return nullptr;
    IndexTab *t = w->indexTab;
    if (!t->backrefsTried) {
        t->backrefsTried = 1;
        t->backrefsStatus = IndexTabLoad(w);
        if (t->backrefsStatus >= 0)
            t->backrefsStatus = IndexBackrefsBuild(&t->backrefs, &t->set, &w->table, &w->sevenths);
    }
    return t->backrefsStatus >= 0 ? &t->backrefs : nullptr;
}

void IndexEntriesCompose(BrowserWindow *w, int32_t position, int32_t start, const PageSink *sink) {
    if (!w || !w->indexTab || !sink) return;
    IndexLinkMapClear(&w->indexTab->entryLinks);
    const IndexBackrefs *refs = IndexEntriesMap(w);
    if (refs)
        ComposeIndexEntries(&w->indexTab->set, refs, position, start, &w->indexTab->entryLinks,
                            sink);
}

int32_t IndexEntriesListAll(BrowserWindow *w, int32_t position) {
    if (!w || !w->indexTab) return ERR_NULLPTR;
    IndexTab *t = w->indexTab;
    const IndexBackrefs *refs = IndexEntriesMap(w);
    if (!refs || position < 0 || (uint32_t)position >= w->table.recordCount) return ERR_NOTAVAIL;
    const char *code = RecordField(&w->table.records[position], FIELD_CODE);
    SendMessageA(w->tab.handle, TCM_SETCURSEL, INDEX_TAB, 0);
    ShowTab(w, INDEX_TAB);
    SetWindowTextA(t->edit.handle, code);
    SendMessageA(t->list.handle, LVM_DELETEALLITEMS, 0, 0);
    // Straight from the map rather than through the typed search: words of a path that began
    // with the code would come first there.
    int32_t status = IndexBackrefsSearch(&t->search, refs, position, code, nullptr, nullptr);
    SendMessageA(t->list.handle, LVM_SETITEMCOUNT, (WPARAM)t->search.hitCount, 0);
    SetFocus(t->list.handle);
    return status;
}

int32_t IndexEntriesFollowLink(BrowserWindow *w, int32_t position) {
    if (!w || !w->indexTab) return ERR_NULLPTR;
    // The map belongs to the last record page; another page may stand in the viewer now.
    if (w->shownPage.kind != PAGE_KIND_RECORD) return ERR_NOTFOUND;
    const IndexLink *link = IndexLinkAt(&w->indexTab->entryLinks, position);
    if (!link) return ERR_NOTFOUND;
    if (link->kind == INDEX_LINK_ALL_ENTRIES) return IndexEntriesListAll(w, link->target);
    return ShowIndexPage(w, link->target, 1);
}
