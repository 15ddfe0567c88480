// Byte stream over memory or a stdio file. Every call is constant-time apart from the one block
// copy of a read, because the record loader takes its 4.8 MB almost entirely byte by byte.
#include "archive/byte_stream.h"

#include <cstdio>
#include <cstring>

#include "foundation/status.h"

static FILE *StreamFile(const ByteStream *stream)
{
    return static_cast<FILE *>(const_cast<void *>(stream->source));
}

int32_t StreamOpenMemory(ByteStream *stream, const void *base, int32_t size)
{
    if (stream == nullptr || base == nullptr) {
        return ERR_NULLPTR;
    }
    if (size < 1) {
        return ERR_INVPARAM;
    }
    stream->kind = STREAM_KIND_MEMORY;
    stream->source = base;
    stream->end = static_cast<const uint8_t *>(base) + size;
    stream->size = size;
    stream->pos = 0;
    stream->atEnd = 0;
    stream->pending = 0;
    return 0;
}

int32_t StreamRead(ByteStream *stream, void *destination, int32_t count)
{
    if (stream == nullptr || destination == nullptr) {
        return ERR_NULLPTR;
    }
    if (count < 0) {
        return ERR_INVPARAM;
    }
    auto *out = static_cast<uint8_t *>(destination);
    int32_t delivered = 0;
    if (stream->pending != 0) {
        if (count < 1) {
            return ERR_INVPARAM;
        }
        out[0] = static_cast<uint8_t>(stream->pending);
        stream->pending = 0;
        delivered = 1;
    }
    int32_t remaining = count - delivered;

    if (stream->kind == STREAM_KIND_FILE) {
        if (stream->source == nullptr) {
            return ERR_NULLPTRIN;
        }
        size_t got = fread(out + delivered, 1, static_cast<size_t>(remaining), StreamFile(stream));
        delivered += static_cast<int32_t>(got);
        if (remaining > 0 && delivered == 0) {
            stream->atEnd = 1;
        }
        return delivered;
    }
    if (stream->kind == STREAM_KIND_MEMORY) {
        if (stream->source == nullptr) {
            return ERR_NULLPTRIN;
        }
        if (stream->atEnd) {
            return delivered;
        }
        int32_t n = stream->size - stream->pos;
        if (remaining < n) {
            n = remaining;
        }
        memcpy(out + delivered, static_cast<const uint8_t *>(stream->source) + stream->pos,
               static_cast<size_t>(n));
        stream->pos += n;
        delivered += n;
        // Set as soon as the last byte goes out, so the next read already answers 0.
        if (stream->pos >= stream->size) {
            stream->atEnd = 1;
        }
        return delivered;
    }
    return ERR_INVTYPE;
}

int32_t StreamSeek(ByteStream *stream, int32_t offset, int32_t origin)
{
    if (stream == nullptr) {
        return ERR_NULLPTR;
    }
    if (stream->kind == STREAM_KIND_FILE) {
        // A closed or detached file stream has no file to hand to fseek.
        if (stream->source == nullptr) {
            return ERR_NULLPTRIN;
        }
        return fseek(StreamFile(stream), offset, origin);
    }
    if (stream->kind == STREAM_KIND_MEMORY) {
        if (origin != SEEK_SET) {
            return ERR_INVPARAM;
        }
        if (offset < 0 || offset > stream->size) {
            return ERR_OUTOFRANGE;
        }
        stream->pos = offset;
        return 0;
    }
    return ERR_INVTYPE;
}

int32_t StreamGetByte(ByteStream *stream)
{
    if (stream == nullptr) {
        return ERR_NULLPTR;
    }
    if (stream->pending != 0) {
        int32_t value = stream->pending;
        stream->pending = 0;
        return value;
    }
    uint8_t byte = 0;
    int32_t got = StreamRead(stream, &byte, 1);
    if (got < 0) {
        return got;
    }
    if (got == 0) {
        return -1;
    }
    return byte;
}

int32_t StreamDetach(ByteStream *stream)
{
    if (stream == nullptr) {
        return ERR_NULLPTR;
    }
    if (stream->kind != STREAM_KIND_FILE && stream->kind != STREAM_KIND_MEMORY) {
        return ERR_INVTYPE;
    }
    // An open file stays open: whoever opened it still owns it.
    stream->source = nullptr;
    stream->atEnd = 1;
    return 0;
}

int32_t StreamClose(ByteStream *stream)
{
    if (stream == nullptr) {
        return ERR_NULLPTR;
    }
    if (stream->kind == STREAM_KIND_FILE) {
        if (stream->source == nullptr) {
            return ERR_EMPTY;
        }
        fclose(StreamFile(stream));
        stream->source = nullptr;
        stream->atEnd = 1;
        return 0;
    }
    if (stream->kind == STREAM_KIND_MEMORY) {
        stream->atEnd = 1;
        return 0;
    }
    return ERR_INVTYPE;
}
