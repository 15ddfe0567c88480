// Output of the index's page composers: text handed to a PageSink in pieces the viewer takes,
// counted in characters so that every link is recorded in an IndexLinkMap by where it stands.
#pragma once
#include <cstddef>
#include <cstdint>

#include "classification/page_compose.h"
#include "index/index_page.h"

struct IndexPageWriter {
    const PageSink *sink;
    IndexLinkMap *links;  // receives every link
    int32_t position;     // characters on the page so far (a line feed counts one)
    int32_t status;       // first failure, 0 while none
};

// Appends length bytes of text.
void IndexPageWrite(IndexPageWriter *p, const char *text, size_t length);
void IndexPageWriteString(IndexPageWriter *p, const char *text);
// Appends text as a link of kind to target, or as plain text when the map cannot take it (the
// writer's status is then ERR_ALLOC).
void IndexPageWriteLink(IndexPageWriter *p, const char *text, uint16_t kind, int32_t target);
// Appends set-wide entry n's path, its titles from the main term down joined by " > ", as one
// link to the entry when asLink is set.
void IndexPageWritePath(IndexPageWriter *p, const IndexSet *set, int32_t n, int32_t asLink);
