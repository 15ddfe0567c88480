// Sequential reader over a caller-owned memory block (or an open stdio file): read, seek, take one
// byte at a time. Allocates nothing and owns nothing; the block stays the caller's.
#pragma once
#include <cstdint>

enum : int32_t {
    STREAM_KIND_FILE = 10,    // source is an open FILE*
    STREAM_KIND_MEMORY = 11,  // source is the first byte of a memory block
};

struct ByteStream {
    int32_t kind;        // STREAM_KIND_FILE or STREAM_KIND_MEMORY; anything else is invalid
    const void *source;  // FILE* or first byte of the block; null after detach (and file close)
    const void *end;     // memory: one past the last byte; informational only
    int32_t size;        // memory: block length in bytes, >= 1
    int32_t pos;         // memory: read position, 0 <= pos <= size
    int32_t atEnd;       // 1 once the end of the data was reached, or after detach or close
    int32_t pending;     // byte (1..255) delivered before the next source byte; 0 for none
};

// 0; ERR_NULLPTR for a null stream or base; ERR_INVPARAM for a size below 1.
int32_t StreamOpenMemory(ByteStream *stream, const void *base, int32_t size);
// Bytes delivered (0..count); a short read is not an error.
int32_t StreamRead(ByteStream *stream, void *destination, int32_t count);
// 0. Memory streams only accept SEEK_SET and offsets 0..size; the end flag is left as it was.
int32_t StreamSeek(ByteStream *stream, int32_t offset, int32_t origin);
// The next byte (0..255); -1 at the end of the data; another negative status on error.
int32_t StreamGetByte(ByteStream *stream);
// Forgets the source without closing it; later reads answer ERR_NULLPTRIN.
int32_t StreamDetach(ByteStream *stream);
// Marks the stream as ended; closes a file stream's file. A memory block is never released.
int32_t StreamClose(ByteStream *stream);
