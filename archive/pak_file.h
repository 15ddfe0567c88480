// Reader of the pak archive format over a memory block: header and directory checks, lookup by
// name ignoring case, size query and checksum-verified entry reads. It never writes the archive.
#pragma once
#include <bit>
#include <cstdint>

#include "archive/byte_stream.h"

constexpr uint32_t PAK_MAGIC = 0x9A47EB15u;
constexpr uint16_t PAK_VERSION = 0x0101;
constexpr uint16_t PAK_MIN_CAPACITY = 8;     // fewer directory entries make the archive invalid
constexpr uint16_t PAK_MAX_USED = 0x2000;    // more used entries than this are refused
constexpr int32_t PAK_NAME_SIZE = 32;        // name field, NUL-terminated: at most 31 characters
constexpr int32_t PAK_HEADER_SIZE = 14;
constexpr int32_t PAK_ENTRY_SIZE = 44;

// The structs are the archive's bytes as they are; both targets are little-endian.
static_assert(std::endian::native == std::endian::little, "pak records are little-endian");

#pragma pack(push, 1)
struct PakHeader {
    uint32_t magic;     // PAK_MAGIC; only checked through the checksum
    uint16_t version;   // PAK_VERSION; only checked through the checksum
    uint16_t used;      // directory entries in use, the first ones; <= capacity and <= 8192
    uint16_t capacity;  // directory entries stored, >= 8
    uint16_t reserved;  // 0; outside the checksum
    uint16_t checksum;  // low 16 bits of ~(sum of the five 16-bit words before reserved)
};

struct PakEntry {
    char name[PAK_NAME_SIZE];  // entry name, NUL-padded
    uint32_t size;             // data length in bytes; 0 means the entry is absent
    uint32_t offset;           // data start, from the first byte of the archive
    uint16_t reserved;         // 0; never checked
    uint16_t checksum;         // (size + sum of the data bytes) mod 65536
};
#pragma pack(pop)

static_assert(sizeof(PakHeader) == PAK_HEADER_SIZE, "PakHeader must be 14 bytes");
static_assert(sizeof(PakEntry) == PAK_ENTRY_SIZE, "PakEntry must be 44 bytes");

struct PakFile {
    char *name;         // MemStrDup copy, "_mem" for a memory archive; informational
    ByteStream stream;  // memory stream over the whole archive
    PakHeader header;   // the header bytes as read
    PakEntry *entries;  // the whole directory (capacity entries), MemAlloc'd, owned
};

// Checksum of a header as stored in its checksum field.
uint16_t PakHeaderChecksum(const PakHeader *header);
// Data checksum of count bytes: (count + sum of the bytes) mod 65536.
uint16_t PakDataChecksum(const void *data, uint32_t count);

// Opens the archive at base (size bytes, caller-owned) and reads its header and directory.
// 0; ERR_NULLPTR; ERR_INVPARAM for a size below 2; the header reader's codes.
int32_t PakFileOpen(const void *base, int32_t size, PakFile *pak);
// Releases the directory and the name. 0; ERR_NULLPTR; a negative stream close status.
int32_t PakClose(PakFile *pak);
// Index (>= 0) of the first used, non-empty entry called name (ASCII case ignored), copied to
// *entry. ERR_NULLPTR; ERR_NOTFOUND.
int32_t PakFindEntry(const PakFile *pak, const char *name, PakEntry *entry);
// With a buffer: reads min(size, length) bytes of the entry and checks them, 0 or a negative
// code. Without: the entry's size (>= 0) or a negative code.
int32_t PakReadSection(PakFile *pak, const char *name, void *buffer, uint32_t length);
// The entry's size, also stored in *size; or a negative code.
int32_t PakGetEntrySize(PakFile *pak, const char *name, int32_t *size);
// Reads the entry into buffer (length bytes at most). 0 or a negative code.
int32_t PakReadEntry(PakFile *pak, const char *name, void *buffer, uint32_t length);
