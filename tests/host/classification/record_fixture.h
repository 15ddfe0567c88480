// Record files and record tables built in memory for the classification tests, and a capture of
// the diagnostic log.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "classification/record_table.h"
#include "foundation/log.h"

// A 12-byte header.
std::string RecordHeader(uint8_t level, uint8_t marker, uint16_t flags, uint32_t index,
                         uint32_t parent);
// A header for record index (level 1, flags 0, parent 0) followed by line and a line feed.
std::string RecordLine(uint32_t index, const std::string &line);
// The end record's header.
std::string EndRecord();

// A table parsed from one record per line (record 0 first), owned and freed by the object.
class TestTable {
public:
    explicit TestTable(const std::vector<std::string> &lines, bool withIndex = false);
    ~TestTable();
    TestTable(const TestTable &) = delete;
    TestTable &operator=(const TestTable &) = delete;
    RecordTable table = {};
    int32_t status = 0;
};

// Collects everything logged while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::string Text() const { return std::string(sink_.text, sink_.writePos); }

private:
    std::vector<char> buffer_;
    LogSink sink_ = {};
    LogSink *previous_ = nullptr;
};
