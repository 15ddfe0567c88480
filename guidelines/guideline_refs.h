// What the guidelines' text refers to: codes and code ranges as coders write them ("E11",
// "E11.9", "Z68.-", "T36-T50", "F01 – F99", "QA1") and references to sections ("Section
// I.C.19.e.5(a)", "see I.C.1.d.4."). It reads text only; pages and maps use what it finds.
#pragma once
#include <cstdint>

#include "guidelines/guideline_file.h"

enum : int32_t {
    GUIDELINE_CODE_CHARS = 9,  // the longest code written, with its zero byte
};

// The codes a reference spans, as prefixes: "Z68.-" spans Z68 to Z68, "T36-T50" T36 to T50.
struct GuidelineCodeSpan {
    char low[GUIDELINE_CODE_CHARS];
    char high[GUIDELINE_CODE_CHARS];
};

// Length of the code or range at text[at] (length bytes in all), with its span in *span; 0 when
// none begins there (a code starts a word and ends one).
int32_t GuidelineCodeAt(const char *text, int32_t length, int32_t at, GuidelineCodeSpan *span);
// Length of a reference to a section of file at text[at], "Section ID" or, after "see", a bare
// ID with a dot; *section receives its number. 0 when none begins there.
int32_t GuidelineReferenceAt(const GuidelineFile *file, const char *text, int32_t length,
                             int32_t at, int32_t *section);
// Whether two spans share a code: a code and its category, a code and a range that covers it,
// a block and a code inside it.
bool GuidelineSpansMeet(const GuidelineCodeSpan *a, const GuidelineCodeSpan *b);
// The span of a record's code ("E11.22", "E11", "E08-E13"). False when code is no code.
bool GuidelineSpanOfCode(const char *code, GuidelineCodeSpan *span);
