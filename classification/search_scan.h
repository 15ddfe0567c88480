// Scanning core shared by the searches: finds a word in a byte range ignoring ASCII case (SSE2
// tests sixteen candidate positions at once), anywhere or only where it begins a word, and walks
// a record's present fields as one run of its text block. Allocates nothing.
#pragma once
#include <cstddef>
#include <cstdint>

#include "record_table.h"

enum ScanMode : int32_t {
    SCAN_ANYWHERE = 0,    // every occurrence counts
    SCAN_WORD_START = 1,  // only one at offset 0 or right after a byte that is not a word character
};

// Offset (from text) of the first occurrence of word[0..m) that starts in text[from..n) and ends
// by n, comparing with 'a'..'z' folded onto 'A'..'Z'; -1 when there is none or m is 0. In
// SCAN_WORD_START mode the byte before a candidate is read even when it lies before from.
ptrdiff_t ScanFind(const unsigned char *text, size_t from, size_t n, const unsigned char *word,
                   size_t m, ScanMode mode);

// 1 when word[0..m) occurs (as mode says) inside one of record's present fields numbered below
// fieldLimit (at most MAX_RECORD_FIELDS), else 0. A record without text has no fields.
int32_t ScanRecord(const TextRecord *record, const unsigned char *word, size_t m, ScanMode mode,
                   uint32_t fieldLimit);
