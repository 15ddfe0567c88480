// Builds a pak archive image from named blobs, following every rule the reader relies on. Used by
// the build's archive tool; the program itself only reads archives.
#pragma once
#include <cstdint>

constexpr int32_t PAK_DEFAULT_SPARE = 6;  // zeroed directory entries kept after the used ones

struct PakSource {
    const char *name;  // entry name: 1 to 31 bytes, distinct from the others ignoring ASCII case
    const void *data;  // the entry's bytes, caller-owned
    uint32_t size;     // number of bytes, >= 1
};

// Packs count sources into a fresh MemAlloc'd image (*image, *imageSize; caller frees): directory
// sorted by name ignoring case, capacity = max(8, count + spare), data back to back after it.
// On a refused source *badIndex names it (for a duplicate, one of the pair), else it is -1.
// 0; ERR_NULLPTR; ERR_EMPTY (no sources, or an empty one); ERR_TOOMANY (> 8192 sources);
// ERR_INVPARAM (negative spare, empty name); ERR_TOOLONG (name over 31 bytes); ERR_INVDATA
// (two names equal ignoring case); ERR_OVERFLOW (image over INT32_MAX bytes); ERR_ALLOC.
int32_t PakBuildImage(const PakSource *sources, int32_t count, int32_t spare, uint8_t **image,
                      int32_t *imageSize, int32_t *badIndex);

// Compares two names ignoring ASCII case, like the reader's lookup: <0, 0 or >0.
int32_t PakCompareNames(const char *a, const char *b);
