// Index search: the entries of the index set whose path holds every typed word at the start of
// one of its words, ignoring case (the word matching of the all-words "Find"), in set order.
#pragma once
#include <cstdint>

#include "index/index_set.h"

struct IndexSearch {
    char *phrase;         // MemStrDup copy of the last phrase; null before the first search
    int32_t hitCount;     // entries found
    int32_t hitCapacity;  // entries allocated in hits
    int32_t *hits;        // set-wide entry numbers, in set order (MemRealloc); null when empty
};

// Called for each hit as it is found: its number from 0 and its entry.
typedef void (*IndexHitFn)(void *context, int32_t hitNumber, int32_t entry);

// Replaces the search's phrase and hits with those of phrase (hits first emptied). Each distinct
// word counts once, so a phrase of thousands of words costs no more than its distinct ones.
// 0 (also when nothing matches); ERR_EMPTY for a phrase without words (no hits then);
// ERR_NULLPTR; ERR_ALLOC (the hits found so far stay).
int32_t IndexSearchRun(IndexSearch *search, const IndexSet *set, const char *phrase,
                       IndexHitFn onHit, void *context);

// 1 when entry n's path holds every word of phrase as above; 0 when not (or no words).
int32_t IndexEntryMatches(const IndexSet *set, int32_t n, const char *phrase);

// Frees the phrase and the hits; leaves the search zero-filled. ERR_NULLPTR.
int32_t IndexSearchClear(IndexSearch *search);
