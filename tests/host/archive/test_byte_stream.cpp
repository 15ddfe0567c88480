// Byte stream over memory: end-of-data rules, seeking limits, detach and close, invalid kinds.
#include <cstdio>

#include <gtest/gtest.h>

#include "archive/byte_stream.h"
#include "foundation/status.h"

namespace {

const uint8_t kFour[4] = {0x10, 0x20, 0x30, 0xFF};

ByteStream OpenFour()
{
    ByteStream s = {};
    EXPECT_EQ(StreamOpenMemory(&s, kFour, 4), 0);
    return s;
}

TEST(StreamOpenMemory, RefusesBadArgumentsAndLeavesTheRecordAlone)
{
    ByteStream s = {};
    s.kind = 99;
    EXPECT_EQ(StreamOpenMemory(&s, kFour, 0), ERR_INVPARAM);
    EXPECT_EQ(StreamOpenMemory(&s, kFour, -5), ERR_INVPARAM);
    EXPECT_EQ(StreamOpenMemory(&s, nullptr, 4), ERR_NULLPTR);
    EXPECT_EQ(StreamOpenMemory(nullptr, kFour, 4), ERR_NULLPTR);
    EXPECT_EQ(s.kind, 99);
}

TEST(StreamOpenMemory, ResetsEveryField)
{
    ByteStream s = {};
    s.pending = 7;
    s.atEnd = 1;
    s.pos = 3;
    ASSERT_EQ(StreamOpenMemory(&s, kFour, 4), 0);
    EXPECT_EQ(s.kind, STREAM_KIND_MEMORY);
    EXPECT_EQ(s.source, kFour);
    EXPECT_EQ(s.end, kFour + 4);
    EXPECT_EQ(s.size, 4);
    EXPECT_EQ(s.pos, 0);
    EXPECT_EQ(s.atEnd, 0);
    EXPECT_EQ(s.pending, 0);
}

TEST(StreamRead, LongReadDeliversTheRestThenNothing)
{
    ByteStream s = OpenFour();
    uint8_t buf[10] = {};
    EXPECT_EQ(StreamRead(&s, buf, 10), 4);
    EXPECT_EQ(buf[3], 0xFF);
    EXPECT_EQ(s.atEnd, 1);
    EXPECT_EQ(StreamRead(&s, buf, 10), 0);
    EXPECT_EQ(StreamGetByte(&s), -1);
}

TEST(StreamRead, ExactRemainderSetsTheEndAtOnce)
{
    ByteStream s = OpenFour();
    uint8_t buf[4] = {};
    EXPECT_EQ(StreamRead(&s, buf, 1), 1);
    EXPECT_EQ(s.atEnd, 0);
    EXPECT_EQ(StreamRead(&s, buf, 3), 3);
    EXPECT_EQ(buf[0], 0x20);
    EXPECT_EQ(buf[2], 0xFF);
    EXPECT_EQ(s.atEnd, 1);
}

TEST(StreamRead, ZeroCountSetsTheEndOnlyAtTheEnd)
{
    ByteStream s = OpenFour();
    uint8_t buf[4] = {};
    EXPECT_EQ(StreamRead(&s, buf, 0), 0);
    EXPECT_EQ(s.atEnd, 0);
    ASSERT_EQ(StreamSeek(&s, 4, SEEK_SET), 0);
    EXPECT_EQ(StreamRead(&s, buf, 0), 0);
    EXPECT_EQ(s.atEnd, 1);
}

TEST(StreamRead, RejectsNullsAndNegativeCounts)
{
    ByteStream s = OpenFour();
    uint8_t buf[4] = {};
    EXPECT_EQ(StreamRead(nullptr, buf, 1), ERR_NULLPTR);
    EXPECT_EQ(StreamRead(&s, nullptr, 1), ERR_NULLPTR);
    EXPECT_EQ(StreamRead(&s, buf, -1), ERR_INVPARAM);
    EXPECT_EQ(s.pos, 0);
}

TEST(StreamRead, PendingByteComesFirst)
{
    ByteStream s = OpenFour();
    s.pending = 0x41;
    uint8_t buf[3] = {};
    EXPECT_EQ(StreamRead(&s, buf, 3), 3);
    EXPECT_EQ(buf[0], 0x41);
    EXPECT_EQ(buf[1], 0x10);
    EXPECT_EQ(buf[2], 0x20);
    EXPECT_EQ(s.pending, 0);
    EXPECT_EQ(s.pos, 2);
}

TEST(StreamRead, PendingByteNeedsRoomForOne)
{
    ByteStream s = OpenFour();
    s.pending = 0x41;
    uint8_t buf[1] = {};
    EXPECT_EQ(StreamRead(&s, buf, 0), ERR_INVPARAM);
    EXPECT_EQ(s.pending, 0x41);
}

TEST(StreamGetByte, ReturnsUnsignedBytesThenMinusOne)
{
    ByteStream s = OpenFour();
    EXPECT_EQ(StreamGetByte(&s), 0x10);
    EXPECT_EQ(StreamGetByte(&s), 0x20);
    EXPECT_EQ(StreamGetByte(&s), 0x30);
    EXPECT_EQ(StreamGetByte(&s), 0xFF);
    EXPECT_EQ(StreamGetByte(&s), -1);
    EXPECT_EQ(StreamGetByte(nullptr), ERR_NULLPTR);
}

TEST(StreamGetByte, DeliversPendingWithoutTouchingTheSource)
{
    ByteStream s = OpenFour();
    s.pending = 0xC8;
    EXPECT_EQ(StreamGetByte(&s), 0xC8);
    EXPECT_EQ(s.pos, 0);
    EXPECT_EQ(StreamGetByte(&s), 0x10);
}

TEST(StreamSeek, AcceptsZeroToSizeFromTheStartOnly)
{
    ByteStream s = OpenFour();
    uint8_t buf[4] = {};
    EXPECT_EQ(StreamSeek(&s, 4, SEEK_SET), 0);
    EXPECT_EQ(StreamRead(&s, buf, 1), 0);
    ByteStream t = OpenFour();
    EXPECT_EQ(StreamSeek(&t, 5, SEEK_SET), ERR_OUTOFRANGE);
    EXPECT_EQ(StreamSeek(&t, -1, SEEK_SET), ERR_OUTOFRANGE);
    EXPECT_EQ(StreamSeek(&t, 0, SEEK_CUR), ERR_INVPARAM);
    EXPECT_EQ(StreamSeek(&t, 2, SEEK_END), ERR_INVPARAM);
    EXPECT_EQ(StreamSeek(nullptr, 0, SEEK_SET), ERR_NULLPTR);
    EXPECT_EQ(StreamSeek(&t, 2, SEEK_SET), 0);
    EXPECT_EQ(StreamGetByte(&t), 0x30);
}

TEST(StreamSeek, DoesNotReviveAStreamAtItsEnd)
{
    ByteStream s = OpenFour();
    uint8_t buf[4] = {};
    ASSERT_EQ(StreamRead(&s, buf, 4), 4);
    EXPECT_EQ(StreamSeek(&s, 0, SEEK_SET), 0);
    EXPECT_EQ(s.pos, 0);
    EXPECT_EQ(StreamRead(&s, buf, 4), 0);
    EXPECT_EQ(StreamGetByte(&s), -1);
}

TEST(StreamDetach, LaterReadsReportTheMissingSource)
{
    ByteStream s = OpenFour();
    uint8_t buf[4] = {};
    EXPECT_EQ(StreamDetach(&s), 0);
    EXPECT_EQ(s.source, nullptr);
    EXPECT_EQ(s.atEnd, 1);
    EXPECT_EQ(StreamRead(&s, buf, 1), ERR_NULLPTRIN);
    EXPECT_EQ(StreamGetByte(&s), ERR_NULLPTRIN);
    EXPECT_EQ(StreamDetach(nullptr), ERR_NULLPTR);
}

TEST(StreamClose, MemoryStreamKeepsItsBlockButReadsNothing)
{
    ByteStream s = OpenFour();
    uint8_t buf[4] = {};
    EXPECT_EQ(StreamClose(&s), 0);
    EXPECT_EQ(s.source, kFour);
    EXPECT_EQ(StreamRead(&s, buf, 4), 0);
    EXPECT_EQ(StreamGetByte(&s), -1);
    EXPECT_EQ(StreamClose(nullptr), ERR_NULLPTR);
}

TEST(StreamFileKind, CloseWithoutAFileIsEmpty)
{
    ByteStream s = {};
    s.kind = STREAM_KIND_FILE;
    EXPECT_EQ(StreamClose(&s), ERR_EMPTY);
    uint8_t buf[1] = {};
    EXPECT_EQ(StreamRead(&s, buf, 1), ERR_NULLPTRIN);
    EXPECT_EQ(StreamSeek(&s, 0, SEEK_SET), ERR_NULLPTRIN);
}

TEST(StreamFileKind, ReadsAFileAndSetsTheEndOnlyOnAnEmptyRead)
{
    FILE *file = tmpfile();
    ASSERT_NE(file, nullptr);
    fputs("abc", file);
    rewind(file);
    ByteStream s = {};
    s.kind = STREAM_KIND_FILE;
    s.source = file;
    uint8_t buf[8] = {};
    EXPECT_EQ(StreamRead(&s, buf, 8), 3);
    EXPECT_EQ(s.atEnd, 0);
    EXPECT_EQ(StreamRead(&s, buf, 8), 0);
    EXPECT_EQ(s.atEnd, 1);
    EXPECT_EQ(StreamSeek(&s, 1, SEEK_SET), 0);
    EXPECT_EQ(StreamGetByte(&s), 'b');
    EXPECT_EQ(StreamClose(&s), 0);
    EXPECT_EQ(s.source, nullptr);
    EXPECT_EQ(StreamClose(&s), ERR_EMPTY);
}

TEST(StreamInvalidKind, EveryOperationButOpenRefusesIt)
{
    for (int32_t kind : {0, 9, 12, -1}) {
        ByteStream s = {};
        s.kind = kind;
        s.source = kFour;
        s.size = 4;
        uint8_t buf[4] = {};
        EXPECT_EQ(StreamRead(&s, buf, 1), ERR_INVTYPE) << kind;
        EXPECT_EQ(StreamSeek(&s, 0, SEEK_SET), ERR_INVTYPE) << kind;
        EXPECT_EQ(StreamGetByte(&s), ERR_INVTYPE) << kind;
        EXPECT_EQ(StreamDetach(&s), ERR_INVTYPE) << kind;
        EXPECT_EQ(StreamClose(&s), ERR_INVTYPE) << kind;
        EXPECT_EQ(StreamOpenMemory(&s, kFour, 4), 0) << kind;
    }
}

}  // namespace
