// Builders of in-memory record files and tables for the classification tests.
#include "record_fixture.h"

#include "classification/code_refs.h"

static void PutLe32(std::string &out, uint32_t v) {
    for (int i = 0; i < 4; i++) {
        out.push_back((char)((v >> (8 * i)) & 0xFF));
    }
}

std::string RecordHeader(uint8_t level, uint8_t marker, uint16_t flags, uint32_t index,
                         uint32_t parent) {
    std::string out;
    out.push_back((char)level);
    out.push_back((char)marker);
    out.push_back((char)(flags & 0xFF));
    out.push_back((char)(flags >> 8));
    PutLe32(out, index);
    PutLe32(out, parent);
    return out;
}

std::string RecordLine(uint32_t index, const std::string &line) {
    return RecordHeader(1, 0xE7, 0, index, 0) + line + "\n";
}

std::string EndRecord() { return RecordHeader(0, 0xE7, 0x8000, END_RECORD_INDEX, 0xFFFFFFFF); }

TestTable::TestTable(const std::vector<std::string> &lines, bool withIndex) {
    std::string bytes;
    for (size_t i = 0; i < lines.size(); i++) {
        bytes += RecordLine((uint32_t)i, lines[i]);
    }
    bytes += EndRecord();
    status = ParseTextRecords(bytes.data(), (int32_t)bytes.size(), &table.recordCount,
                              &table.records);
    if (status == 0 && withIndex) {
        status = CodeIndexBuild(&table);
    }
}

TestTable::~TestTable() { RecordTableFree(&table); }

LogCapture::LogCapture() : buffer_(1 << 16) {
    sink_.capacity = (uint32_t)buffer_.size();
    sink_.text = buffer_.data();
    previous_ = LogGetSink();
    LogSetSink(&sink_);
}

LogCapture::~LogCapture() { LogSetSink(previous_); }
