// The characters a note asks of the codes a reference names, as written after it: "(E08-E13 with
// .42)", "with .51-.52", "with .14, .24, .94", "with fifth or sixth character 1-4 or 6", "with 7th
// character B or C", "with fifth to sixth characters 51", "with final characters -23". A suffix
// given only in words ("with open fracture 7th character") restricts nothing.
#pragma once
#include <cstdint>

enum : int32_t {
    NOTE_SUFFIX_ALTS = 6,   // alternatives kept; a note that writes more restricts nothing
    NOTE_SUFFIX_CHARS = 4,  // longest value of one alternative
};

// One alternative: the code's characters from position on (dot left out, 1 is the letter; 0:
// its final characters) begin with a value from lo to hi, compared as a reference's range is.
struct NoteSuffixAlt {
    int8_t position;
    char lo[NOTE_SUFFIX_CHARS + 1];
    char hi[NOTE_SUFFIX_CHARS + 1];
};

struct NoteSuffix {
    int8_t count;  // 0: no restriction
    NoteSuffixAlt alts[NOTE_SUFFIX_ALTS];
};

// Reads the suffix written at text, just after a "with" and its blanks, into suffix; the length
// read, or 0 (suffix emptied) when none is written there or text or suffix is null.
int32_t NoteSuffixAt(const char *text, NoteSuffix *suffix);

// 1 when suffix is empty or code (upper case, dot left out) meets one of its alternatives.
int32_t NoteSuffixMatches(const NoteSuffix *suffix, const char *code);

// 1 when both ask the same.
int32_t NoteSuffixSame(const NoteSuffix *a, const NoteSuffix *b);
