// Pak archive writer: validates the sources, lays out header, sorted directory and data, and
// fills in both checksums. Works on memory only; the tool around it does the file handling.
#include "archive/pak_writer.h"

#include <algorithm>
#include <cstring>

#include "archive/pak_file.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static int32_t LowerAscii(int32_t c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int32_t PakCompareNames(const char *a, const char *b)
{
    for (size_t i = 0;; i++) {
        int32_t ca = LowerAscii(static_cast<uint8_t>(a[i]));
        int32_t cb = LowerAscii(static_cast<uint8_t>(b[i]));
        if (ca != cb || ca == 0) {
            return ca - cb;
        }
    }
}

static int32_t CheckSource(const PakSource *source)
{
    if (source->name == nullptr || source->data == nullptr) {
        return ERR_NULLPTR;
    }
    size_t length = strlen(source->name);
    if (length == 0) {
        return ERR_INVPARAM;
    }
    if (length >= static_cast<size_t>(PAK_NAME_SIZE)) {
        return ERR_TOOLONG;
    }
    // The reader treats an entry of size 0 as absent.
    if (source->size == 0) {
        return ERR_EMPTY;
    }
    return 0;
}

// Directory order: by name ignoring case; the sources are left in the caller's order.
static int32_t *SortedOrder(const PakSource *sources, int32_t count)
{
    auto *order = static_cast<int32_t *>(MemAlloc(count * static_cast<int32_t>(sizeof(int32_t))));
    if (order == nullptr) {
        return nullptr;
    }
    for (int32_t i = 0; i < count; i++) {
        order[i] = i;
    }
    std::sort(order, order + count, [sources](int32_t a, int32_t b) {
        return PakCompareNames(sources[a].name, sources[b].name) < 0;
    });
    return order;
}

static void WriteImage(const PakSource *sources, const int32_t *order, int32_t count,
                       uint16_t capacity, uint8_t *image)
{
    PakHeader header = {};
    header.magic = PAK_MAGIC;
    header.version = PAK_VERSION;
    header.used = static_cast<uint16_t>(count);
    header.capacity = capacity;
    header.checksum = PakHeaderChecksum(&header);
    memcpy(image, &header, sizeof(header));

    uint32_t offset = PAK_HEADER_SIZE + static_cast<uint32_t>(capacity) * PAK_ENTRY_SIZE;
    for (int32_t i = 0; i < count; i++) {
        const PakSource *source = &sources[order[i]];
        PakEntry entry = {};
        memcpy(entry.name, source->name, strlen(source->name));
        entry.size = source->size;
        entry.offset = offset;
        entry.checksum = PakDataChecksum(source->data, source->size);
        memcpy(image + PAK_HEADER_SIZE + i * PAK_ENTRY_SIZE, &entry, sizeof(entry));
        memcpy(image + offset, source->data, source->size);
        offset += source->size;
    }
    // Spare entries stay as MemAlloc left them: all zero.
}

int32_t PakBuildImage(const PakSource *sources, int32_t count, int32_t spare, uint8_t **image,
                      int32_t *imageSize, int32_t *badIndex)
{
    if (sources == nullptr || image == nullptr || imageSize == nullptr || badIndex == nullptr) {
        return ERR_NULLPTR;
    }
    *badIndex = -1;
    if (count < 1) {
        return ERR_EMPTY;
    }
    if (count > PAK_MAX_USED) {
        return ERR_TOOMANY;
    }
    if (spare < 0 || spare > PAK_MAX_USED) {
        return ERR_INVPARAM;
    }
    uint64_t total = PAK_HEADER_SIZE;
    for (int32_t i = 0; i < count; i++) {
        int32_t status = CheckSource(&sources[i]);
        if (status < 0) {
            *badIndex = i;
            return status;
        }
        total += sources[i].size;
    }
    int32_t *order = SortedOrder(sources, count);
    if (order == nullptr) {
        return ERR_ALLOC;
    }
    // Sorted, so names equal ignoring case are neighbours; the reader would only ever find one.
    for (int32_t i = 1; i < count; i++) {
        if (PakCompareNames(sources[order[i - 1]].name, sources[order[i]].name) == 0) {
            *badIndex = order[i];
            MemFree(order);
            return ERR_INVDATA;
        }
    }
    auto capacity = static_cast<uint16_t>(std::max<int32_t>(PAK_MIN_CAPACITY, count + spare));
    total += static_cast<uint64_t>(capacity) * PAK_ENTRY_SIZE;
    // Reader sizes and offsets are signed 32-bit.
    if (total > INT32_MAX) {
        MemFree(order);
        return ERR_OVERFLOW;
    }
    auto *bytes = static_cast<uint8_t *>(MemAlloc(static_cast<int32_t>(total)));
    if (bytes == nullptr) {
        MemFree(order);
        return ERR_ALLOC;
    }
    WriteImage(sources, order, count, capacity, bytes);
    MemFree(order);
    *image = bytes;
    *imageSize = static_cast<int32_t>(total);
    return 0;
}
