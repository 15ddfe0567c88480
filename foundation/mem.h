// Traced allocator: the only allocation functions of the program's own code. While the tracer
// runs, each block is recorded in a slot table and guarded by one byte behind the caller's bytes.
#pragma once
#include <cstddef>
#include <cstdint>

int32_t StartMemoryTracer(uint32_t slotCount);
int32_t StopMemoryTracer();

void *MemAlloc(int32_t size);               // zero-filled; null on failure or a negative size
void *MemRealloc(void *p, int32_t size);    // like realloc; null on failure or a negative size
void MemFree(void *p);                      // null is ignored
char *MemStrDup(const char *s);             // null in, null out
void MemStrFree(char *s);                   // for strings from MemStrDup; null is ignored
