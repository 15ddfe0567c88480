// What a coder types, turned into an index search: each word that is a clinical abbreviation
// stands for its entry's words, a plural or simple inflection for its stem; the hits ranked
// (index_rank.h), the abbreviation's literal matches after; when nothing matches, the words
// corrected to the nearest index words. IndexSearchRun stays the literal, book-order search.
#pragma once
#include <cstdint>

#include "index/index_search.h"
#include "index/index_typo.h"

enum : int32_t {
    INDEX_QUERY_NOTE_CHARS = 255,  // longest expansion or suggestion line
};

// What the query did besides searching, for the list to say.
struct IndexQueryNote {
    char expansion[INDEX_QUERY_NOTE_CHARS + 1];  // "COPD: disease, lung, obstructive", or ""
    char corrected[INDEX_QUERY_NOTE_CHARS + 1];  // the words searched for instead, or ""
    char others[INDEX_QUERY_NOTE_CHARS + 1];     // other suggestions, comma-separated, or ""
};

// Runs the coder's query for typed into search (its phrase the words searched for), ranked.
// *vocabulary is built on the first query that finds nothing and kept (free it with
// IndexVocabularyFree). 0 (also when nothing matches); ERR_EMPTY; ERR_NULLPTR; ERR_ALLOC.
int32_t IndexQueryRun(IndexSearch *search, const IndexSet *set, const char *typed,
                      IndexVocabulary **vocabulary, IndexQueryNote *note);

// The stem a typed word's plural or simple inflection is matched by ("fractures" -> "fracture",
// "injuries" -> "injur"): its length, length itself when it has none.
int32_t IndexWordStem(const char *word, int32_t length);
