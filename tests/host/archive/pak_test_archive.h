// Builds pak archives byte by byte for the tests, independently of the reader's structs and of
// the archive writer, so that broken archives can be made on purpose.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TestEntry {
    std::string name;  // at most 32 bytes are stored
    std::string data;  // the entry's bytes
};

inline void Put16(std::vector<uint8_t> &bytes, size_t at, uint32_t value)
{
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

inline void Put32(std::vector<uint8_t> &bytes, size_t at, uint32_t value)
{
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

inline uint32_t Get16(const std::vector<uint8_t> &bytes, size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8);
}

inline uint32_t Get32(const std::vector<uint8_t> &bytes, size_t at)
{
    return Get16(bytes, at) | (Get16(bytes, at + 2) << 16);
}

// Offset of a directory entry's field in the archive.
inline size_t EntryAt(int index, size_t field = 0)
{
    return 14 + 44 * static_cast<size_t>(index) + field;
}

inline void FixHeaderChecksum(std::vector<uint8_t> &bytes)
{
    uint32_t sum = 0;
    for (size_t at = 0; at < 10; at += 2) {
        sum += Get16(bytes, at);
    }
    Put16(bytes, 12, ~sum & 0xFFFF);
}

// Header, capacity entries (the given ones first, the rest zero) and the data back to back.
inline std::vector<uint8_t> BuildTestArchive(const std::vector<TestEntry> &entries,
                                             uint32_t capacity, int used = -1)
{
    std::vector<uint8_t> bytes(14 + 44 * static_cast<size_t>(capacity), 0);
    Put32(bytes, 0, 0x9A47EB15u);
    Put16(bytes, 4, 0x0101);
    Put16(bytes, 6, used < 0 ? static_cast<uint32_t>(entries.size()) : static_cast<uint32_t>(used));
    Put16(bytes, 8, capacity);
    FixHeaderChecksum(bytes);
    for (size_t i = 0; i < entries.size(); i++) {
        const TestEntry &e = entries[i];
        size_t at = EntryAt(static_cast<int>(i));
        for (size_t k = 0; k < e.name.size() && k < 32; k++) {
            bytes[at + k] = static_cast<uint8_t>(e.name[k]);
        }
        uint32_t sum = static_cast<uint32_t>(e.data.size());
        for (unsigned char c : e.data) {
            sum += c;
        }
        Put32(bytes, at + 32, static_cast<uint32_t>(e.data.size()));
        Put32(bytes, at + 36, static_cast<uint32_t>(bytes.size()));
        Put16(bytes, at + 42, sum & 0xFFFF);
        bytes.insert(bytes.end(), e.data.begin(), e.data.end());
    }
    return bytes;
}
