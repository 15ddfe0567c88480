// Which index entries lead to each record: built once from the index set and the records, so
// that a record page lists its index entries, and the Index tab finds them by code, without
// scanning the indexes. It composes nothing (index_entries_page.h does).
#pragma once
#include <cstdint>

#include "classification/record_table.h"
#include "classification/seventh_chars.h"
#include "index/index_search.h"
#include "index/index_set.h"

struct IndexBackrefs {
    int32_t recordCount;  // records covered; 0 before a build
    int32_t *first;       // per record r, its entries are entries[first[r] .. first[r + 1]);
                          // recordCount + 1 numbers; owned
    int32_t *entries;     // set-wide entry numbers, each record's in book order and once; owned
    int32_t pairCount;    // numbers in entries
    int32_t codeCount;    // code items of the set read (codes, manifestations, cells, ...)
    int32_t unknownCount; // of them, those that name no record
};

// Builds the map into a zero-filled backrefs. An entry leads to a record when one of its codes,
// manifestation codes, subcategories, categories or table cells names the record or one of its
// complete codes (with a 7th character, S52.121A for S52.121), or a code below it (a header, a
// block and a chapter list the entries of every code they hold); and, as a code ending in "-"
// asks for a code below the one written (H93.29- for H93.291 or H93.292), to every record below
// the one it names. A code no record holds leads nowhere. sevenths may be null.
// 0; ERR_NULLPTR; ERR_ALLOC (nothing then stays allocated).
int32_t IndexBackrefsBuild(IndexBackrefs *refs, const IndexSet *set, const RecordTable *table,
                           const SeventhCharTable *sevenths);
// Frees the map and zero-fills it. ERR_NULLPTR.
int32_t IndexBackrefsFree(IndexBackrefs *refs);

// The entries that lead to the record at position, in book order, and their number in *count;
// null with *count 0 for a position outside the map.
const int32_t *IndexBackrefsOf(const IndexBackrefs *refs, int32_t position, int32_t *count);

// 1 when phrase is one word with the shape of a code (IndexTextIsCode), blanks around it allowed.
int32_t IndexWordIsCode(const char *phrase);

// Position of the record a typed code names (any case, with or without its dot, a complete code
// naming its leaf, a chapter or block by its range); -1 when phrase is not one such word.
int32_t IndexBackrefsRecordFor(const RecordTable *table, const SeventhCharTable *sevenths,
                               const char *phrase);

// Replaces the search's phrase and hits with the entries that lead to the record at position,
// in book order, each passed to onHit as IndexSearchRun does. 0; ERR_NULLPTR; ERR_INVINDEX;
// ERR_ALLOC.
int32_t IndexBackrefsSearch(IndexSearch *search, const IndexBackrefs *refs, int32_t position,
                            const char *phrase, IndexHitFn onHit, void *context);
