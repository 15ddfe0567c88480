// Word matching for the all-words searches: a typed word matches a text where it begins one of
// the text's words. Shared by "Find" and the index search, so both agree on what a word is.
// Nothing here allocates; the caller keeps the phrase and the spans alive.
#pragma once
#include <cstddef>
#include <cstdint>

// One word of a phrase: a run of bytes between blanks (' ' or '\t').
struct WordSpan {
    int32_t offset;  // first byte of the word in the phrase
    int32_t length;  // bytes in the word, 1 or more
};

// 1 for a byte that belongs to a word: an ASCII letter or digit, or any byte from 0x80 up
// (Windows-1252 letters); 0 for every other byte.
int32_t WordCharIs(unsigned char c);

// Splits phrase into its words, storing the first `capacity` of them in spans (which may be null
// when capacity is 0). Returns the number of words in the phrase, which may exceed capacity;
// ERR_NULLPTR for a null phrase, or null spans with a capacity above 0.
int32_t WordSplit(const char *phrase, WordSpan *spans, int32_t capacity);

// Offset of the first place in text[0..n) where word[0..m) begins a word: at offset 0 or right
// after a byte for which WordCharIs is 0, comparing with 'a'..'z' folded onto 'A'..'Z' as
// StrFindNoCase does. -1 when there is none, or for m == 0.
ptrdiff_t WordStartFind(const char *text, size_t n, const char *word, size_t m);
