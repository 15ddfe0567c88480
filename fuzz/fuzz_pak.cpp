// libFuzzer target: arbitrary bytes opened as a pak archive, then every used entry looked up by
// its name, sized and read through the same PakFile. Any crash or sanitizer report is a bug.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "archive/pak_file.h"
#include "foundation/mem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > INT32_MAX) {
        return 0;
    }
    PakFile pak;
    if (PakFileOpen(data, static_cast<int32_t>(size), &pak) != 0) {
        return 0;
    }
    for (int32_t i = 0; i < pak.header.used; i++) {
        // The stored name need not be terminated; the lookup sees at most its 32 bytes.
        char name[PAK_NAME_SIZE + 1] = {};
        memcpy(name, pak.entries[i].name, PAK_NAME_SIZE);
        PakEntry entry;
        PakFindEntry(&pak, name, &entry);
        int32_t entrySize = 0;
        if (PakGetEntrySize(&pak, name, &entrySize) < 0) {
            continue;
        }
        // A size beyond the input cannot read back; a buffer of the input's size still runs the
        // bounds checks without letting a forged size allocate gigabytes.
        int32_t length =
            entrySize <= static_cast<int32_t>(size) ? entrySize : static_cast<int32_t>(size);
        auto *buffer = static_cast<uint8_t *>(MemAlloc(length + 1));
        if (buffer != nullptr) {
            PakReadEntry(&pak, name, buffer, static_cast<uint32_t>(length));
            MemFree(buffer);
        }
    }
    PakClose(&pak);
    return 0;
}
