// Writes the record file: 12-byte little-endian headers, each followed by its ';'-separated line
// and a line feed, closed by the end record. Replaces a file only once it is complete.
#pragma once
#include <cstdint>
#include <string>

constexpr uint8_t RECORD_MARKER = 0xE7;
constexpr uint16_t RECORD_FLAG_LEAF = 0x0002;
constexpr uint16_t RECORD_FLAG_END = 0x8000;
constexpr uint32_t END_RECORD_INDEX = 99999999;
constexpr uint32_t RECORD_NO_PARENT = 0xFFFFFFFF;
constexpr uint32_t MAX_LINE_CHARS = 65530;  // the loader cuts longer lines

// One record's header values.
struct RecordHeader {
    uint8_t level;    // depth: 0 for the root
    uint16_t flags;   // RECORD_FLAG_LEAF when the record has no children
    uint32_t index;   // position in the file
    uint32_t parent;  // index of the parent, RECORD_NO_PARENT for the root
};

// Appends header and line (plus the line feed) to out. The line must hold no line feed, carriage
// return or zero byte and at most MAX_LINE_CHARS characters: ERR_INVDATA, ERR_TOOLONG otherwise.
int32_t RecordWriterAppend(std::string *out, const RecordHeader *header, const std::string &line);

// Appends the end record: level 0, flags 0x8000, index END_RECORD_INDEX, no parent, no line.
int32_t RecordWriterEnd(std::string *out);

// Writes bytes to a temporary file beside path and renames it over path, so a failure never
// leaves a half-written file at path. ERR_WRITE with a message in error on failure.
int32_t RecordWriterSaveFile(const char *path, const std::string &bytes, std::string *error);
