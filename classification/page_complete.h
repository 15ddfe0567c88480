// The top of a complete code's page (T46.4X5A typed in "Find", followed from a link or asked of
// the console): the complete code and its full title as the heading, and that it is billable,
// before the page of the leaf it completes, whose notes apply to it.
#pragma once
#include <cstdint>

#include "page_compose.h"

#define PAGE_COMPLETE_STATUS "Billable: a complete code, valid on a claim.\n\n"

// Writes "CODE TITLE" and a blank line in the heading font, then PAGE_COMPLETE_STATUS in the body
// font. 0; ERR_NULLPTR.
int32_t ComposeCompleteHeading(const char *code, const char *title, PageWorkspace *workspace,
                               const PageSink *sink);
