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

// Makes room in *array for `need` elements of `size` bytes, doubling *capacity from at least
// `first`. 0; ERR_INVPARAM for a size below 1; ERR_OVERFLOW past INT32_MAX / 2 bytes; ERR_ALLOC
// (the array and its capacity stay as they were).
int32_t MemReserve(void **array, int32_t *capacity, int64_t need, int32_t size, int32_t first);
