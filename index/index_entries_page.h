// The "Index entries:" section that ends a record page: the index entries that lead to the
// record, as links to their pages, written through the same PageSink after the rest of the page,
// with its links mapped by position. What leads where is index_backrefs.h's business.
#pragma once
#include <cstdint>

#include "classification/page_compose.h"
#include "index/index_backrefs.h"
#include "index/index_page.h"
#include "index/index_set.h"

enum : int32_t {
    INDEX_ENTRIES_SHOWN = 50,  // entries listed on a page; the rest are counted
};
enum : uint16_t {
    // A link that lists every entry of its record on the Index tab; its target is the record's
    // position (the page kinds of page_ref.h are 1 and 2).
    INDEX_LINK_ALL_ENTRIES = 3,
};

// A sink that hands every step on to another and counts the characters written, for a section
// that follows a page composed by someone else.
struct PageCounter {
    PageSink sink;          // the counting sink to compose into
    const PageSink *inner;  // where the steps go
    int32_t position;       // characters written through sink so far
};
// Sets counter up over inner (which stays the caller's). ERR_NULLPTR.
int32_t PageCounterInit(PageCounter *counter, const PageSink *inner);

// Appends the section of the record at position to a page of start characters: "Index
// entries:" and a line feed, then each entry that leads to the record (at most
// INDEX_ENTRIES_SHOWN, in book order) as its path in link style and a line feed, or "none"; when
// more lead there, a last line "and N more: list them all on the Index tab" as a link of kind
// INDEX_LINK_ALL_ENTRIES. The map is emptied first and receives every link, at page positions.
// 0; ERR_NULLPTR; ERR_INVINDEX for a position outside the map; ERR_ALLOC (a link then written
// as plain text).
int32_t ComposeIndexEntries(const IndexSet *set, const IndexBackrefs *refs, int32_t position,
                            int32_t start, IndexLinkMap *links, const PageSink *sink);
