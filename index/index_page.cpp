// Index page composition: an entry's page as output steps for a PageSink, each link mapped by
// where it stands rather than by its text (subterms such as "NEC" repeat, and a page may hold
// hundreds of links).
#include "index/index_page.h"

#include <cstring>

#include "classification/page_ref.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "index/index_page_writer.h"
#include "index/index_refs.h"

int32_t IndexLinkMapClear(IndexLinkMap *map) {
    if (!map) return ERR_NULLPTR;
    map->linkCount = 0;
    return 0;
}

int32_t IndexLinkMapFree(IndexLinkMap *map) {
    if (!map) return ERR_NULLPTR;
    MemFree(map->links);
    *map = IndexLinkMap();
    return 0;
}

const IndexLink *IndexLinkAt(const IndexLinkMap *map, int32_t position) {
    if (!map) return nullptr;
    // Links are in page order and never overlap: a binary search over their starts.
    int32_t lo = 0;
    int32_t hi = map->linkCount;
    while (lo < hi) {
        int32_t mid = lo + (hi - lo) / 2;
        if (map->links[mid].start <= position)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == 0) return nullptr;
    const IndexLink *link = &map->links[lo - 1];
    return position < link->start + link->length ? link : nullptr;
}

static void WriteCode(IndexPageWriter *p, const RecordTable *table, const char *code) {
    const int32_t record = table ? IndexCodeRecord(table, code) : ERR_NOTFOUND;
    if (record >= 0)
        IndexPageWriteLink(p, code, PAGE_KIND_RECORD, record);
    else
        IndexPageWriteString(p, code);
}

static const char *Caption(uint8_t kind) {
    switch (kind) {
    case INDEX_ITEM_CODE: return "Code: ";
    case INDEX_ITEM_SUBCAT: return "Subcategory: ";
    case INDEX_ITEM_SEECAT: return "See category: ";
    case INDEX_ITEM_MANIF: return "Manifestation: ";
    case INDEX_ITEM_SEE: return "See: ";
    case INDEX_ITEM_SEE_ALSO: return "See also: ";
    default: return "";
    }
}

static void WriteCells(IndexPageWriter *p, const RecordTable *table, const IndexFile *f,
                       const IndexEntry *e) {
    const IndexItem *items = f->items + e->firstItem;
    for (int32_t col = 2; col <= f->columnCount; col++) {
        const char *code = nullptr;
        for (int32_t i = 0; i < e->itemCount && !code; i++)
            if (items[i].kind == INDEX_ITEM_CELL && items[i].column == col)
                code = IndexCellCode(items[i].text);
        IndexPageWriteString(p, f->headings[col] ? f->headings[col] : "");
        IndexPageWriteString(p, ": ");
        if (code)
            WriteCode(p, table, code);
        else
            IndexPageWriteString(p, "none");
        IndexPageWriteString(p, "\n");
    }
    IndexPageWriteString(p, "\n");
}

// Writes the items of kind, each as a code (a link where a record holds it), between open and
// close, separated by one blank, after a blank when after is set; returns how many there were.
static int32_t WriteCodesOf(IndexPageWriter *p, const RecordTable *table, const IndexFile *f,
                            const IndexEntry *e, uint8_t kind, const char *open,
                            const char *close, bool after) {
    int32_t written = 0;
    for (int32_t i = 0; i < e->itemCount; i++) {
        const IndexItem *item = &f->items[e->firstItem + i];
        if (item->kind != kind) continue;
        if (after || written > 0) IndexPageWriteString(p, " ");
        IndexPageWriteString(p, open);
        WriteCode(p, table, item->text);
        IndexPageWriteString(p, close);
        written++;
    }
    return written;
}

// An entry with a code and a manifestation code reads as the printed index writes it
// ("E85.4 [I43]"), with what the brackets mean said in words: a coder unfamiliar with the
// convention would otherwise code only one of them.
static void WriteCodePair(IndexPageWriter *p, const RecordTable *table, const IndexFile *f,
                          const IndexEntry *e) {
    IndexPageWriteString(p, "Code: ");
    WriteCodesOf(p, table, f, e, INDEX_ITEM_CODE, "", "", false);
    WriteCodesOf(p, table, f, e, INDEX_ITEM_MANIF, "[", "]", true);
    IndexPageWriteString(p, "\nBoth are coded: ");
    WriteCodesOf(p, table, f, e, INDEX_ITEM_CODE, "", "", false);
    IndexPageWriteString(p, " for the underlying condition first, then ");
    WriteCodesOf(p, table, f, e, INDEX_ITEM_MANIF, "", "", false);
    IndexPageWriteString(p, ", the bracketed manifestation code, second.\n");
}

static bool Has(const IndexFile *f, const IndexEntry *e, uint8_t kind) {
    for (int32_t i = 0; i < e->itemCount; i++)
        if (f->items[e->firstItem + i].kind == kind) return true;
    return false;
}

static void WriteItems(IndexPageWriter *p, const IndexSet *set, const RecordTable *table,
                       uint16_t kind, const IndexEntry *e) {
    const IndexFile *f = &set->files[kind];
    const bool pair = Has(f, e, INDEX_ITEM_CODE) && Has(f, e, INDEX_ITEM_MANIF);
    bool any = false;
    bool pairWritten = false;
    for (int32_t i = 0; i < e->itemCount; i++) {
        const IndexItem *item = &f->items[e->firstItem + i];
        if (item->kind == INDEX_ITEM_CELL) continue;
        any = true;
        if (pair && (item->kind == INDEX_ITEM_CODE || item->kind == INDEX_ITEM_MANIF)) {
            // Written once, where the first of them stands.
            if (!pairWritten) WriteCodePair(p, table, f, e);
            pairWritten = true;
            continue;
        }
        IndexPageWriteString(p, Caption(item->kind));
        if (item->kind == INDEX_ITEM_SEE || item->kind == INDEX_ITEM_SEE_ALSO) {
            const int32_t target = IndexSeeTarget(set, kind, item->text);
            if (target >= 0)
                IndexPageWriteLink(p, item->text, PAGE_KIND_INDEX, target);
            else
                IndexPageWriteString(p, item->text);
        } else {
            WriteCode(p, table, item->text);
        }
        IndexPageWriteString(p, "\n");
    }
    if (any) IndexPageWriteString(p, "\n");
}

int32_t ComposeIndexPage(const IndexSet *set, const RecordTable *table, int32_t n,
                         IndexLinkMap *links, const PageSink *sink) {
    if (!set || !links || !sink) return ERR_NULLPTR;
    uint16_t kind = 0;
    const IndexEntry *e = IndexSetEntry(set, n, &kind);
    if (!e) return ERR_INVINDEX;
    const IndexFile *f = &set->files[kind];
    IndexLinkMapClear(links);
    IndexPageWriter p = {sink, links, 0, 0};
    if (sink->setFont) sink->setFont(sink->context, PAGE_FONT_FACE, PAGE_HEADING_POINTS,
                                     PAGE_HEADING_WEIGHT);
    IndexPageWritePath(&p, set, n, 0);
    IndexPageWriteString(&p, "\n\n");
    if (sink->setFont) sink->setFont(sink->context, PAGE_FONT_FACE, PAGE_BODY_POINTS,
                                     PAGE_BODY_WEIGHT);
    IndexPageWriteString(&p, IndexBookTitle(kind));
    IndexPageWriteString(&p, "\n\n");
    if (f->columnCount > 0) WriteCells(&p, table, f, e);
    WriteItems(&p, set, table, kind, e);
    if (e->firstChild >= 0) {
        IndexPageWriteString(&p, "Subterms:\n");
        for (int32_t c = e->firstChild; c >= 0; c = f->entries[c].nextSibling) {
            IndexPageWriteLink(&p, f->entries[c].title, PAGE_KIND_INDEX, set->base[kind] + c);
            IndexPageWriteString(&p, "\n");
        }
    }
    return p.status;
}
