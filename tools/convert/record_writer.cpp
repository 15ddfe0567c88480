// Writes the record file: 12-byte little-endian headers, each followed by its ';'-separated line
// and a line feed, closed by the end record. Replaces a file only once it is complete.
#include "tools/convert/record_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "foundation/status.h"

static void PutU32(std::string *out, uint32_t v)
{
    for (int i = 0; i < 4; i++) {
        out->push_back((char)((v >> (8 * i)) & 0xFF));
    }
}

static void PutHeader(std::string *out, uint8_t level, uint16_t flags, uint32_t index,
                      uint32_t parent)
{
    out->push_back((char)level);
    out->push_back((char)RECORD_MARKER);
    out->push_back((char)(flags & 0xFF));
    out->push_back((char)(flags >> 8));
    PutU32(out, index);
    PutU32(out, parent);
}

int32_t RecordWriterAppend(std::string *out, const RecordHeader *header, const std::string &line)
{
    if (out == nullptr || header == nullptr) {
        return ERR_NULLPTR;
    }
    if (line.size() > MAX_LINE_CHARS) {
        return ERR_TOOLONG;
    }
    if (line.find_first_of(std::string("\n\r\0", 3)) != std::string::npos) {
        return ERR_INVDATA;
    }
    // The loader reads this index as the end of the file.
    if (header->index == END_RECORD_INDEX) {
        return ERR_TOOMANY;
    }
    PutHeader(out, header->level, header->flags, header->index, header->parent);
    out->append(line);
    out->push_back('\n');
    return 0;
}

int32_t RecordWriterEnd(std::string *out)
{
    if (out == nullptr) {
        return ERR_NULLPTR;
    }
    PutHeader(out, 0, RECORD_FLAG_END, END_RECORD_INDEX, RECORD_NO_PARENT);
    return 0;
}

int32_t RecordWriterSaveFile(const char *path, const std::string &bytes, std::string *error)
{
    if (path == nullptr || error == nullptr) {
        return ERR_NULLPTR;
    }
    std::string temp = std::string(path) + ".tmp" + std::to_string((long)getpid());
    FILE *f = fopen(temp.c_str(), "wb");
    if (f == nullptr) {
        *error = "cannot create " + temp + ": " + strerror(errno);
        return ERR_WRITE;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int savedErrno = errno;
    if (fclose(f) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) {
        *error = "cannot write " + temp + ": " + strerror(savedErrno);
        remove(temp.c_str());
        return ERR_WRITE;
    }
    if (rename(temp.c_str(), path) != 0) {
        *error = std::string("cannot rename ") + temp + " to " + path + ": " + strerror(errno);
        remove(temp.c_str());
        return ERR_WRITE;
    }
    return 0;
}
