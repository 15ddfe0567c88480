// The pak archive linked into the program's read-only data, and loading one whole entry of it
// into a fresh NUL-terminated buffer. Nothing keeps the archive open between calls.
#pragma once
#include <cstdint>

// Bounds of the linked archive image; end is one past its last byte. 0; ERR_NULLPTR;
// ERR_INVPTR when start >= end (the outputs are written either way).
int32_t EmbeddedArchiveBounds(const uint8_t **start, const uint8_t **end);

// Loads the named entry (case ignored) into a MemAlloc'd buffer of size + 1 bytes, the last one
// NUL, owned by the caller (MemFree). 0; ERR_NULLPTR; ERR_ALLOC; the reader's codes. On failure
// *buffer is untouched; *size may already hold the entry's size.
int32_t PakLoadEmbeddedEntry(const char *name, int32_t *size, char **buffer);
