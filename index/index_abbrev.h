// Clinical abbreviations coders type, each with the words of the index entry it stands for
// (COPD: disease, lung, obstructive). Written for this program; matched as whole words only.
#pragma once
#include <cstdint>

struct IndexAbbreviation {
    const char *abbreviation;  // upper case, as typed in any case
    const char *words;         // the entry's words, comma-separated, as the list says them
};

// The abbreviation word[0..length) stands for, ignoring case, or null.
const IndexAbbreviation *IndexAbbreviationFind(const char *word, int32_t length);
// The whole table, for tests: its entries in *count.
const IndexAbbreviation *IndexAbbreviationTable(int32_t *count);
