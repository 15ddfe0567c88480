// The Official Guidelines' conflicts in a visit, as a table of rules: each names its codes as a
// note writes them, how they conflict, the section that states it and what it says. Adding a
// rule is adding a row; the tests that read the rules are the table's.
#pragma once
#include <cstdint>

#include "encounter.h"

enum GuidelineTest : int32_t {
    GUIDELINE_FIRST = 1,          // a code of `codes` is listed first
    GUIDELINE_NOT_FIRST = 2,      // a code of `codes` is listed, not first
    GUIDELINE_WITH = 3,           // a code of `codes` with another of `others`
    GUIDELINE_WITHOUT = 4,        // a code of `codes` with none of `others`
    GUIDELINE_BEFORE = 5,         // a code of `codes` listed before one of `others`
    GUIDELINE_SAME_CATEGORY = 6,  // a code titled with `title` and another of its category
    GUIDELINE_TRIMESTER = 7,      // a code titled with a trimester, a Z3A code's weeks outside it
};

struct GuidelineRule {
    GuidelineTest test;
    const char *codes;    // references as a note writes them, ", " between: "T36-T50 with fifth
                          // or sixth character 5", "Z79.4, Z79.84"; "" for the title tests
    const char *others;   // likewise, for the tests of two codes; else ""
    const char *title;    // GUIDELINE_SAME_CATEGORY: the words of the title; else ""
    const char *section;  // the section of the Official Guidelines that states it: "I.C.9.a"
    const char *note;     // what the section says, as the finding's note
};

// The rules, in the order they are applied; null past the last.
const GuidelineRule *EncounterGuidelineRuleAt(int32_t index);
// How many there are.
int32_t EncounterGuidelineRuleCount(void);
