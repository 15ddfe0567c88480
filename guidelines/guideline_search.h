// Word search over the guidelines: the sections whose text, subsections included, holds a word
// beginning with each word given, any case, deepest first. It does not rank beyond that.
#pragma once
#include <cstdint>

#include "guidelines/guideline_file.h"

enum : int32_t {
    GUIDELINE_SEARCH_MAX_WORDS = 32,
    GUIDELINE_SEARCH_CHARS = 1024,  // the words' letters together
};

// Splits text into words at blanks and fills hits (capacity of them) with the matching section
// numbers, deepest first, then in document order; *count receives how many match (more than
// capacity when hits is too small). 0; ERR_NULLPTR; ERR_EMPTY for no word; ERR_INVPARAM for more
// than GUIDELINE_SEARCH_MAX_WORDS words or GUIDELINE_SEARCH_CHARS letters; ERR_ALLOC.
int32_t GuidelineSearch(const GuidelineFile *file, const char *text, int32_t *hits,
                        int32_t capacity, int32_t *count);
