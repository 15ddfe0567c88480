// Pak archive reader: validates the header, keeps a copy of the directory and reads entries with
// their checksums. Entry data is read straight from the caller's block; nothing else is copied.
#include "archive/pak_file.h"

#include <cstdio>
#include <cstring>

#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static int32_t LowerAscii(int32_t c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// A name field filled to the last byte has no NUL; it is never read beyond its 32 bytes.
static bool EntryNameEquals(const PakEntry *entry, const char *name)
{
    for (int32_t i = 0; i < PAK_NAME_SIZE; i++) {
        int32_t a = static_cast<uint8_t>(entry->name[i]);
        int32_t b = static_cast<uint8_t>(name[i]);
        if (LowerAscii(a) != LowerAscii(b)) {
            return false;
        }
        if (a == 0) {
            return true;
        }
    }
    return name[PAK_NAME_SIZE] == '\0';
}

uint16_t PakHeaderChecksum(const PakHeader *header)
{
    uint32_t sum = (header->magic & 0xFFFFu) + (header->magic >> 16) + header->version +
                   header->used + header->capacity;
    return static_cast<uint16_t>(~sum);
}

uint16_t PakDataChecksum(const void *data, uint32_t count)
{
    const auto *bytes = static_cast<const uint8_t *>(data);
    uint32_t sum = count;
    for (uint32_t i = 0; i < count; i++) {
        sum += bytes[i];
    }
    return static_cast<uint16_t>(sum);
}

static int32_t ReadHeaderChecked(PakFile *pak)
{
    if (StreamRead(&pak->stream, &pak->header, PAK_HEADER_SIZE) != PAK_HEADER_SIZE) {
        return ERR_READ;
    }
    const PakHeader &h = pak->header;
    if (h.capacity < PAK_MIN_CAPACITY) {
        return ERR_INVDATA;
    }
    if (h.used > h.capacity) {
        return ERR_INVDATA;
    }
    if (h.used > PAK_MAX_USED) {
        return ERR_TOOMANY;
    }
    if (PakHeaderChecksum(&h) != h.checksum) {
        return ERR_CHECKSUM;
    }
    int32_t bytes = static_cast<int32_t>(h.capacity) * PAK_ENTRY_SIZE;
    pak->entries = static_cast<PakEntry *>(MemAlloc(bytes));
    if (pak->entries == nullptr) {
        return ERR_ALLOC;
    }
    // On a short read the table stays with the record; PakClose releases it.
    if (StreamRead(&pak->stream, pak->entries, bytes) != bytes) {
        return ERR_READ;
    }
    return 0;
}

static int32_t PakReadHeader(PakFile *pak)
{
    int32_t status = ReadHeaderChecked(pak);
    if (status < 0) {
        ErrorPrint("failed to read pak hdr and entries: %.32s", StatusName(status));
    }
    return status;
}

int32_t PakFileOpen(const void *base, int32_t size, PakFile *pak)
{
    if (base == nullptr || pak == nullptr) {
        return ERR_NULLPTR;
    }
    if (size < 2) {
        return ERR_INVPARAM;
    }
    memset(pak, 0, sizeof(*pak));
    int32_t status = StreamOpenMemory(&pak->stream, base, size);
    if (status == 0) {
        // Out of memory here must not pass for an archive opened whole.
        pak->name = MemStrDup("_mem");
        status = pak->name == nullptr ? ERR_ALLOC : PakReadHeader(pak);
        if (status == 0) {
            return 0;
        }
        PakClose(pak);
    }
    ErrorPrint("PakFileOpen failed: %.32s", StatusName(status));
    return status;
}

int32_t PakClose(PakFile *pak)
{
    if (pak == nullptr) {
        return ERR_NULLPTR;
    }
    int32_t status = StreamClose(&pak->stream);
    // Released even when the stream objects, so a failed close leaks nothing.
    MemFree(pak->entries);
    pak->entries = nullptr;
    MemStrFree(pak->name);
    pak->name = nullptr;
    return status < 0 ? status : 0;
}

int32_t PakFindEntry(const PakFile *pak, const char *name, PakEntry *entry)
{
    if (pak == nullptr || name == nullptr || entry == nullptr) {
        return ERR_NULLPTR;
    }
    // A closed record has no directory left to search.
    if (pak->entries == nullptr) {
        return ERR_NULLPTRIN;
    }
    for (int32_t i = 0; i < pak->header.used; i++) {
        const PakEntry *e = &pak->entries[i];
        if (e->size != 0 && EntryNameEquals(e, name)) {
            *entry = *e;
            return i;
        }
    }
    return ERR_NOTFOUND;
}

static int32_t ReadSection(PakFile *pak, const char *name, void *buffer, uint32_t length)
{
    PakEntry entry;
    int32_t found = PakFindEntry(pak, name, &entry);
    if (found < 0) {
        return found;
    }
    // No archive block exceeds INT32_MAX bytes, so a larger entry runs past its end; it must not
    // come back from the size query as a negative number that looks like a status.
    if (buffer == nullptr) {
        return entry.size > INT32_MAX ? ERR_READ : static_cast<int32_t>(entry.size);
    }
    // The stream stops at the end of the block until it is reopened, which would make every read
    // after one that ended on the archive's last byte fail.
    if (pak->stream.atEnd && pak->stream.kind == STREAM_KIND_MEMORY &&
        pak->stream.source != nullptr) {
        StreamOpenMemory(&pak->stream, pak->stream.source, pak->stream.size);
    }
    if (entry.offset > INT32_MAX ||
        StreamSeek(&pak->stream, static_cast<int32_t>(entry.offset), SEEK_SET) != 0) {
        return ERR_SEEK;
    }
    uint32_t n = entry.size < length ? entry.size : length;
    if (n > INT32_MAX || StreamRead(&pak->stream, buffer, static_cast<int32_t>(n)) !=
                             static_cast<int32_t>(n)) {
        return ERR_READ;
    }
    if (PakDataChecksum(buffer, n) != entry.checksum) {
        return ERR_CHECKSUM;
    }
    return 0;
}

int32_t PakReadSection(PakFile *pak, const char *name, void *buffer, uint32_t length)
{
    if (pak == nullptr || name == nullptr) {
        return ERR_NULLPTR;
    }
    int32_t status = ReadSection(pak, name, buffer, length);
    if (status < 0) {
        ErrorPrint("failed to read pak section \"%.48s\": %.32s", name, StatusName(status));
    }
    return status;
}

int32_t PakGetEntrySize(PakFile *pak, const char *name, int32_t *size)
{
    if (pak == nullptr || name == nullptr || size == nullptr) {
        return ERR_NULLPTR;
    }
    int32_t result = PakReadSection(pak, name, nullptr, 0);
    if (result >= 0) {
        *size = result;
    }
    return result;
}

int32_t PakReadEntry(PakFile *pak, const char *name, void *buffer, uint32_t length)
{
    if (pak == nullptr || name == nullptr || buffer == nullptr) {
        return ERR_NULLPTR;
    }
    return PakReadSection(pak, name, buffer, length);
}
