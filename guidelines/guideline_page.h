// A guideline section's page: its ID and heading, its paragraphs and list items, then each
// subsection the same way, with codes and cross-references in link style. It does not resolve
// what the links point at (the viewer does, from the link's text).
#pragma once
#include <cstdint>

#include "classification/page_compose.h"
#include "guidelines/guideline_file.h"

// Writes section n whole, subsections included, through sink. 0; ERR_NULLPTR; ERR_INVINDEX.
int32_t ComposeGuideline(const GuidelineFile *file, int32_t n, const PageSink *sink);
// Loads the embedded guidelines entry into file. 0 or the loader's or parser's status.
int32_t GuidelineFileLoadEmbedded(GuidelineFile *file);
