// Typo suggestions for index search: the words of every title of the index set with how often
// they occur, and for a typed word that begins none of them, the words within a small edit
// distance, the most frequent first. Built once, when a search first finds nothing.
#pragma once
#include <cstdint>

#include "index/index_set.h"

struct IndexVocabulary;

// Builds the vocabulary of set. 0; ERR_NULLPTR; ERR_ALLOC (nothing made).
int32_t IndexVocabularyBuild(IndexVocabulary **vocabulary, const IndexSet *set);
void IndexVocabularyFree(IndexVocabulary **vocabulary);

// 1 when word[0..length) begins a word of some title, ignoring case.
int32_t IndexVocabularyHasPrefix(const IndexVocabulary *vocabulary, const char *word,
                                 int32_t length);
// Up to capacity words within edit distance 1 (words of 4 letters or fewer) or 2 of
// word[0..length), most frequent first, as lower-case strings owned by the vocabulary. Returns how
// many were written (0: no suggestion).
int32_t IndexVocabularySuggest(const IndexVocabulary *vocabulary, const char *word, int32_t length,
                               const char **out, int32_t capacity);
