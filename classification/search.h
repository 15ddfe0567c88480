// Full-text search core: every present field of every record is searched for a word, ignoring
// ASCII case, and each matching record becomes one hit. The list view and cursors stay with the
// caller, which acts on each new hit through a callback.
#pragma once
#include <cstdint>

#include "page_ref.h"
#include "record_table.h"

enum : int32_t {
    HIT_GROWTH = 128,        // the hit array grows by this many entries
    MIN_SEARCH_CHARS = 3,    // shorter words are not searched by the window or the console tool
};

// Which rule of "Find" gave the current hits: it decides what pages mark.
enum SearchRule : int32_t {
    SEARCH_RULE_PHRASE = 0,     // the text as one phrase (also when nothing was found)
    SEARCH_RULE_CODE = 1,       // a typed code: the one record it names
    SEARCH_RULE_ALL_WORDS = 2,  // every word of the text begins a word of the record
};

struct SearchState {
    char *searchWord;     // MemStrDup copy of the last word; null before the first search
    int32_t hitCount;     // number of hits
    int32_t hitCapacity;  // entries allocated in hits
    PageRef *hits;        // the hits in table order (MemRealloc); null when empty
    int32_t rule;         // SearchRule of the hits; SEARCH_RULE_PHRASE once cleared
};

// Called once per stored hit, in hit order, with the new hit's number (its index in hits).
typedef void (*SearchHitFn)(void *context, int32_t hitNumber, const PageRef *hit);

// Frees searchWord (MemStrFree) and hits (MemFree), zeroes the counts and the rule. 0, ERR_NULLPTR.
int32_t ClearSearchResults(SearchState *state);

// Appends a hit, growing the array by HIT_GROWTH when full. The hit's number, or ERR_ALLOC with
// nothing changed, or ERR_NULLPTR.
int32_t AddSearchHit(SearchState *state, PageRef hit);

// Leftmost occurrence of word in text, comparing with 'a'..'z' folded onto 'A'..'Z' and every
// other byte as it is; null for an empty word or text.
const char *StrFindNoCase(const char *text, const char *word);

// Clears the previous results, keeps a copy of word (a failed copy only leaves searchWord null),
// then adds one PAGE_KIND_RECORD hit per record carrying the marker that contains word in one of
// its present fields 0 to 39, in table order. onHit (may be null) is called after each stored
// hit. 0; ERR_NULLPTR (state, table or word); ERR_EMPTY for an empty word (nothing changes);
// ERR_ALLOC when the word or a hit cannot be stored: the results are then cleared, never partial.
int32_t SearchRecords(SearchState *state, const RecordTable *table, const char *word,
                      SearchHitFn onHit, void *context);
