// The code-to-section map: the codes, code ranges and codes with a final "-" that each section's
// heading and text name, gathered once, and the sections that concern one code. It knows nothing
// of records: a code is its text ("E11.22", "E11", "E08-E13").
#pragma once
#include <cstdint>

#include "classification/page_compose.h"
#include "guidelines/guideline_file.h"
#include "guidelines/guideline_refs.h"

enum : int32_t {
    GUIDELINE_SECTIONS_SHOWN = 12,  // sections listed on a record page
};

struct GuidelineCodeRef {
    GuidelineCodeSpan span;
    int32_t section;
};

struct GuidelineCodeMap {
    int32_t count;
    GuidelineCodeRef *refs;  // in document order; owned
};

// Gathers the code references of every section. 0; ERR_NULLPTR; ERR_ALLOC.
int32_t GuidelineCodeMapBuild(GuidelineCodeMap *map, const GuidelineFile *file);
void GuidelineCodeMapFree(GuidelineCodeMap *map);
// The sections whose heading or text names code, its category, or a range or "-" code that
// covers it (for a category or block, any code inside it): deepest first, then in document
// order, at most capacity in out, the chapter's section (I.C.N) kept among them. Returns how
// many were written; ERR_NULLPTR; ERR_ALLOC.
int32_t GuidelineSectionsOf(const GuidelineFile *file, const GuidelineCodeMap *map,
                            const char *code, int32_t *out, int32_t capacity);
// Appends "Guidelines:" and a line feed, then each section of code (at most
// GUIDELINE_SECTIONS_SHOWN) as "ID Heading" in link style and a line feed, or "none", and an
// empty line as the sections before it end.
// 0; ERR_NULLPTR.
int32_t ComposeGuidelineSections(const GuidelineFile *file, const GuidelineCodeMap *map,
                                 const char *code, const PageSink *sink);
