// Access to the archive image that the build links in between two symbols, and whole-entry loads
// from it. Each load opens and closes a PakFile of its own.
#include "archive/embedded_archive.h"

#include "archive/pak_file.h"
#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"

// Defined in embedded_archive_data.S around the .incbin of the archive.
extern "C" const uint8_t morbivue_archive_start[];
extern "C" const uint8_t morbivue_archive_end[];

int32_t EmbeddedArchiveBounds(const uint8_t **start, const uint8_t **end)
{
    if (start == nullptr || end == nullptr) {
        return ERR_NULLPTR;
    }
    *start = morbivue_archive_start;
    *end = morbivue_archive_end;
    return *start < *end ? 0 : ERR_INVPTR;
}

int32_t PakLoadEmbeddedEntry(const char *name, int32_t *size, char **buffer)
{
    if (name == nullptr || size == nullptr || buffer == nullptr) {
        return ERR_NULLPTR;
    }
    const uint8_t *start = nullptr;
    const uint8_t *end = nullptr;
    int32_t status = EmbeddedArchiveBounds(&start, &end);
    if (status < 0) {
        return status;
    }
    // The archive writer keeps archives within signed 32 bits; anything larger is not ours.
    if (end - start > INT32_MAX) {
        return ERR_OUTOFRANGE;
    }
    PakFile pak;
    status = PakFileOpen(start, static_cast<int32_t>(end - start), &pak);
    if (status < 0) {
        return status;
    }
    int32_t entrySize = 0;
    status = PakGetEntrySize(&pak, name, &entrySize);
    if (status < 0) {
        ErrorPrint("pak: %.32s", StatusName(status));
        PakClose(&pak);
        return status;
    }
    *size = entrySize;
    // One byte more for the NUL; an entry of INT32_MAX bytes cannot have it.
    char *data = entrySize < INT32_MAX ? static_cast<char *>(MemAlloc(entrySize + 1)) : nullptr;
    if (data == nullptr) {
        PakClose(&pak);
        return ERR_ALLOC;
    }
    status = PakReadEntry(&pak, name, data, static_cast<uint32_t>(entrySize));
    PakClose(&pak);
    if (status < 0) {
        MemFree(data);
        return status;
    }
    *buffer = data;
    return 0;
}
