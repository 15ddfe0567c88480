// A note read as a coder reads it: its items grouped into requests, each asking for one code of
// its references, and whether a request is conditional or names examples. Whether a visit meets
// a request is the encounter's business, not this module's.
#pragma once
#include <cstdint>

#include "note_refs.h"

enum : int32_t {
    NOTE_REQUESTS_MAX = 32,  // requests kept per note; the items after the last one join it
};

struct NoteRequest {
    int32_t offset;    // its first item (a heading, when it has one) in the note's text
    int32_t end;       // just after its last item's text (its "./" not included)
    int32_t refFirst;  // its references: refs[refFirst .. refFirst + refCount)
    int32_t refCount;
    uint8_t conditional;  // "if applicable", "where applicable", "if known", "if present", "any"
    uint8_t examples;     // "such as": its references are examples, not a closed set
};

// Splits note (a field's text) with its references refs[0..count) in the order written
// (NoteRefCacheGet's) into requests, in order, into out[0..capacity): an item ending in ':'
// heads the items after it up to the next heading, and they are one request of alternatives;
// every other item is a request of its own; with whole set, the note is one request. A request
// inherits the conditional and example words of its heading; without words set they are not
// read (left 0). Returns the count, 0 for null arguments.
int32_t NoteRequestsRead(const char *note, const NoteRef *refs, int32_t count, bool whole,
                         bool words, NoteRequest *out, int32_t capacity);
