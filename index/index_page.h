// Index page composition: what an index entry's page says (its path as the heading, its codes
// or table cells, its see references and its subterms), as the same output steps as a record
// page, plus the map of its links by position. The links of a page are unbounded in number.
#pragma once
#include <cstdint>

#include "classification/page_compose.h"
#include "classification/record_table.h"
#include "index/index_set.h"

// One link of an index page: the characters it covers and where it leads.
struct IndexLink {
    int32_t start;   // first character of the link in the page text (a line feed counts one)
    int32_t length;  // characters of the link
    uint16_t kind;   // PAGE_KIND_RECORD or PAGE_KIND_INDEX
    int32_t target;  // record position, or set-wide entry number
};

struct IndexLinkMap {
    int32_t linkCount;  // links in use, in page order
    int32_t capacity;   // links allocated
    IndexLink *links;   // MemRealloc'd; owned
};

// Forgets the links, keeping the memory. ERR_NULLPTR.
int32_t IndexLinkMapClear(IndexLinkMap *map);
// Frees the links and zero-fills the map. ERR_NULLPTR.
int32_t IndexLinkMapFree(IndexLinkMap *map);
// The link covering character position, or null.
const IndexLink *IndexLinkAt(const IndexLinkMap *map, int32_t position);

// Composes the page of set-wide entry n: body font; the path in the heading font and two line
// feeds; the index's book title; for a table each column's heading, ": " and its code or "none";
// each code, subcategory, category and manifestation under its caption, except that codes and
// manifestation codes of one entry make one line "Code: E85.4 [I43]" and a line saying both are
// coded, the bracketed one second; "See: " and "See also: "
// with the reference; "Subterms:" and one line per subterm. Codes a record holds link to it,
// references that name an entry link to it, subterms link to theirs; anything else is plain
// text. The map is emptied first and receives every link (table may be null: no code links).
// 0; ERR_NULLPTR; ERR_INVINDEX for n outside the set; ERR_ALLOC (the page is then cut short,
// never a link left out of the map).
int32_t ComposeIndexPage(const IndexSet *set, const RecordTable *table, int32_t n,
                         IndexLinkMap *links, const PageSink *sink);
