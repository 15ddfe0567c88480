// Index page composition: an entry's page as output steps for a PageSink, counting the
// characters written so that each link is mapped by where it stands rather than by its text
// (subterms such as "NEC" repeat, and a page may hold hundreds of links).
#include "index/index_page.h"

#include <cstring>

#include "classification/page_ref.h"
#include "foundation/mem.h"
#include "foundation/status.h"
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

struct PageWriter {
    const PageSink *sink;
    IndexLinkMap *links;
    int32_t position;  // characters written so far
    int32_t status;    // first failure, 0 while none
};

static void Write(PageWriter *p, const char *text, size_t length) {
    while (length > 0) {
        const int32_t piece = length < (size_t)VIEW_PIECE_CHARS ? (int32_t)length : VIEW_PIECE_CHARS;
        if (p->sink->writeText) {
            // The sink reads text[length] as a zero byte; a piece of a longer text has none.
            char buffer[VIEW_PIECE_CHARS + 1];
            memcpy(buffer, text, (size_t)piece);
            buffer[piece] = '\0';
            p->sink->writeText(p->sink->context, buffer, piece);
        }
        p->position += piece;
        text += piece;
        length -= (size_t)piece;
    }
}

static void WriteString(PageWriter *p, const char *text) { Write(p, text, strlen(text)); }

static void SetLink(PageWriter *p, int32_t on) {
    if (p->sink->setLink) p->sink->setLink(p->sink->context, on);
}

// Writes text as a link to target, or as plain text when the map cannot take it.
static void WriteLink(PageWriter *p, const char *text, uint16_t kind, int32_t target) {
    const int32_t length = (int32_t)strlen(text);
    IndexLinkMap *map = p->links;
    if (length > 0 && map->linkCount == map->capacity) {
        const int32_t capacity = map->capacity ? map->capacity * 2 : 64;
        IndexLink *grown =
            (IndexLink *)MemRealloc(map->links, capacity * (int32_t)sizeof(IndexLink));
        if (grown) {
            map->links = grown;
            map->capacity = capacity;
        } else if (p->status == 0) {
            p->status = ERR_ALLOC;
        }
    }
    if (length == 0 || map->linkCount == map->capacity) {
        Write(p, text, (size_t)length);
        return;
    }
    map->links[map->linkCount++] = IndexLink{p->position, length, kind, target};
    SetLink(p, 1);
    Write(p, text, (size_t)length);
    SetLink(p, 0);
}

static void WriteCode(PageWriter *p, const RecordTable *table, const char *code) {
    const int32_t record = table ? IndexCodeRecord(table, code) : ERR_NOTFOUND;
    if (record >= 0)
        WriteLink(p, code, PAGE_KIND_RECORD, record);
    else
        WriteString(p, code);
}

static void WriteHeading(PageWriter *p, const IndexFile *f, const IndexEntry *entry) {
    const IndexEntry *chain[INDEX_MAX_LEVEL + 1];
    int32_t depth = 0;
    for (const IndexEntry *e = entry; e && depth <= INDEX_MAX_LEVEL; depth++) {
        chain[depth] = e;
        e = e->parent >= 0 ? &f->entries[e->parent] : nullptr;
    }
    for (int32_t i = depth - 1; i >= 0; i--) {
        WriteString(p, chain[i]->title);
        if (i > 0) WriteString(p, " > ");
    }
    WriteString(p, "\n\n");
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

static void WriteCells(PageWriter *p, const RecordTable *table, const IndexFile *f,
                       const IndexEntry *e) {
    const IndexItem *items = f->items + e->firstItem;
    for (int32_t col = 2; col <= f->columnCount; col++) {
        const char *code = nullptr;
        for (int32_t i = 0; i < e->itemCount && !code; i++)
            if (items[i].kind == INDEX_ITEM_CELL && items[i].column == col)
                code = IndexCellCode(items[i].text);
        WriteString(p, f->headings[col] ? f->headings[col] : "");
        WriteString(p, ": ");
        if (code)
            WriteCode(p, table, code);
        else
            WriteString(p, "none");
        WriteString(p, "\n");
    }
    WriteString(p, "\n");
}

// Writes the items of kind, each as a code (a link where a record holds it), between open and
// close, separated by one blank, after a blank when after is set; returns how many there were.
static int32_t WriteCodesOf(PageWriter *p, const RecordTable *table, const IndexFile *f,
                            const IndexEntry *e, uint8_t kind, const char *open,
                            const char *close, bool after) {
    int32_t written = 0;
    for (int32_t i = 0; i < e->itemCount; i++) {
        const IndexItem *item = &f->items[e->firstItem + i];
        if (item->kind != kind) continue;
        if (after || written > 0) WriteString(p, " ");
        WriteString(p, open);
        WriteCode(p, table, item->text);
        WriteString(p, close);
        written++;
    }
    return written;
}

// An entry with a code and a manifestation code reads as the printed index writes it
// ("E85.4 [I43]"), with what the brackets mean said in words: a coder unfamiliar with the
// convention would otherwise code only one of them.
static void WriteCodePair(PageWriter *p, const RecordTable *table, const IndexFile *f,
                          const IndexEntry *e) {
    WriteString(p, "Code: ");
    WriteCodesOf(p, table, f, e, INDEX_ITEM_CODE, "", "", false);
    WriteCodesOf(p, table, f, e, INDEX_ITEM_MANIF, "[", "]", true);
    WriteString(p, "\nBoth are coded: ");
    WriteCodesOf(p, table, f, e, INDEX_ITEM_CODE, "", "", false);
    WriteString(p, " for the underlying condition first, then ");
    WriteCodesOf(p, table, f, e, INDEX_ITEM_MANIF, "", "", false);
    WriteString(p, ", the bracketed manifestation code, second.\n");
}

static bool Has(const IndexFile *f, const IndexEntry *e, uint8_t kind) {
    for (int32_t i = 0; i < e->itemCount; i++)
        if (f->items[e->firstItem + i].kind == kind) return true;
    return false;
}

static void WriteItems(PageWriter *p, const IndexSet *set, const RecordTable *table,
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
        WriteString(p, Caption(item->kind));
        if (item->kind == INDEX_ITEM_SEE || item->kind == INDEX_ITEM_SEE_ALSO) {
            const int32_t target = IndexSeeTarget(set, kind, item->text);
            if (target >= 0)
                WriteLink(p, item->text, PAGE_KIND_INDEX, target);
            else
                WriteString(p, item->text);
        } else {
            WriteCode(p, table, item->text);
        }
        WriteString(p, "\n");
    }
    if (any) WriteString(p, "\n");
}

int32_t ComposeIndexPage(const IndexSet *set, const RecordTable *table, int32_t n,
                         IndexLinkMap *links, const PageSink *sink) {
    if (!set || !links || !sink) return ERR_NULLPTR;
    uint16_t kind = 0;
    const IndexEntry *e = IndexSetEntry(set, n, &kind);
    if (!e) return ERR_INVINDEX;
    const IndexFile *f = &set->files[kind];
    IndexLinkMapClear(links);
    PageWriter p = {sink, links, 0, 0};
    if (sink->setFont) sink->setFont(sink->context, PAGE_FONT_FACE, PAGE_HEADING_POINTS,
                                     PAGE_HEADING_WEIGHT);
    WriteHeading(&p, f, e);
    if (sink->setFont) sink->setFont(sink->context, PAGE_FONT_FACE, PAGE_BODY_POINTS,
                                     PAGE_BODY_WEIGHT);
    WriteString(&p, IndexBookTitle(kind));
    WriteString(&p, "\n\n");
    if (f->columnCount > 0) WriteCells(&p, table, f, e);
    WriteItems(&p, set, table, kind, e);
    if (e->firstChild >= 0) {
        WriteString(&p, "Subterms:\n");
        for (int32_t c = e->firstChild; c >= 0; c = f->entries[c].nextSibling) {
            WriteLink(&p, f->entries[c].title, PAGE_KIND_INDEX, set->base[kind] + c);
            WriteString(&p, "\n");
        }
    }
    return p.status;
}
