// Ranking index hits as a coder reads them: entries whose main term's head word (without its
// nonessential modifiers) begins with a typed word first, the main term's own entry before its subterms and shallower
// subterms before deeper, an entry that only refers elsewhere after those with codes or
// subterms; then the entries whose typed words sit closest together and highest in the path; the
// book's order among equals. Each index keeps its place in the book's order.
#pragma once
#include <cstdint>

#include "index/index_set.h"

// Reorders hits[0..count) (set-wide entry numbers in set order, as IndexSearchRun gives them)
// for phrase. 0; ERR_NULLPTR; ERR_ALLOC (hits left in set order).
int32_t IndexRankHits(const IndexSet *set, const char *phrase, int32_t *hits, int32_t count);
