// "Find" as the user meets it, the same in the window and the console tool: the text as one
// phrase first; without a hit, a typed code that names a record (E1122, s52121a); otherwise,
// for two words or more, all words in any order. Also the line shown when nothing is found.
#pragma once
#include <cstdint>

#include "record_table.h"
#include "release_changes.h"
#include "search.h"
#include "seventh_chars.h"

enum : int32_t {
    NOTHING_FOUND_QUOTE_CHARS = 120,  // longest part of the text quoted in the nothing-found line
    NOTHING_FOUND_CHARS = 200,        // room the nothing-found line needs, terminator excluded
};

// Runs the three rules in turn; each later one only when the earlier found nothing. The state
// keeps a copy of text and, in rule, which rule gave the hits; onHit (may be null) is called
// after each stored hit, in hit order, and only for the rule whose hits stay. chars may be null
// (no code then needs a 7th character). 0; ERR_NULLPTR (state, table or text); ERR_EMPTY for an
// empty text; ERR_ALLOC when text is the state's own copy and it cannot be copied (nothing
// changes then), or when the typed code's hit or the words cannot be stored (no hits then).
int32_t SearchFind(SearchState *state, const RecordTable *table, const SeventhCharTable *chars,
                   const char *text, SearchHitFn onHit, void *context);

// Position of the record that text names as a typed code (any case, with or without its dot,
// blanks around it ignored; a complete 7-character code names its leaf), or -1.
int32_t SearchTypedCode(const RecordTable *table, const SeventhCharTable *chars, const char *text);

// The line telling that text found nothing, into buffer (capacity + 1 bytes, capacity at least
// NOTHING_FOUND_CHARS for the whole line): No record contains "TEXT". with the text's blanks
// around it left out and a text longer than NOTHING_FOUND_QUOTE_CHARS cut with "...". Returns
// buffer; "" for a null text. A typed code that only a later release has (changes, may be null)
// gets that release's line instead: "D13.91 is not in this release: added in FY2024, ...".
const char *SearchNothingFoundText(const ReleaseChanges *changes, const char *text, char *buffer,
                                   int32_t capacity);
