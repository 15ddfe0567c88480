// All-words search: a record is a hit when every word of the phrase begins a word somewhere in
// its present fields, in any order and any field. Records where each word does so in the code or
// the title come first; each group in table order. Word boundaries are word_match's.
#pragma once
#include <cstdint>

#include "record_table.h"
#include "search.h"

// Clears the previous results, keeps a copy of phrase (as SearchRecords does), sets the rule to
// SEARCH_RULE_ALL_WORDS and adds one PAGE_KIND_RECORD hit per matching record carrying the
// marker, calling onHit (may be null) after each stored hit. 0; ERR_NULLPTR (state, table or
// phrase); ERR_EMPTY for a phrase without words; ERR_ALLOC when the words cannot be listed
// (nothing changes then) or when a hit cannot be stored (no hits are left then).
int32_t SearchAllWords(SearchState *state, const RecordTable *table, const char *phrase,
                       SearchHitFn onHit, void *context);

// 1 when every word of phrase begins a word in one of record's present fields numbered below
// fieldLimit; 0 otherwise, also for a phrase without words or a null record or phrase.
// ERR_ALLOC when the words cannot be listed.
int32_t SearchWordsMatch(const TextRecord *record, const char *phrase, uint32_t fieldLimit);
