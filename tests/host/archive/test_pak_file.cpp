// Pak reader on archives built in the test: header checks and their order, lookup rules, checksum
// and bounds failures, the messages they log, and reading several entries through one PakFile.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "archive/pak_file.h"
#include "foundation/log.h"
#include "foundation/status.h"
#include "pak_test_archive.h"

namespace {

class PakFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sink_.capacity = sizeof(text_);
        sink_.text = text_;
        LogSetSink(&sink_);
    }
    void TearDown() override { LogSetSink(nullptr); }

    // The log text with line ends reduced to LF, so lines compare whatever CRs the log adds.
    std::string Log() const
    {
        std::string log;
        for (uint32_t i = 0; i < sink_.writePos; i++) {
            if (text_[i] != '\r') {
                log += text_[i];
            }
        }
        return log;
    }

    int32_t Open(const std::vector<uint8_t> &bytes)
    {
        return PakFileOpen(bytes.data(), static_cast<int32_t>(bytes.size()), &pak_);
    }

    // Reads a whole entry; the status, and the bytes in *out.
    int32_t Read(const char *name, std::string *out)
    {
        int32_t size = 0;
        int32_t status = PakGetEntrySize(&pak_, name, &size);
        if (status < 0) {
            return status;
        }
        std::vector<char> buffer(static_cast<size_t>(size) + 1);
        status = PakReadEntry(&pak_, name, buffer.data(), static_cast<uint32_t>(size));
        out->assign(buffer.data(), static_cast<size_t>(size));
        return status;
    }

    LogSink sink_ = {};
    char text_[4096] = {};
    PakFile pak_ = {};
};

const std::vector<TestEntry> kTwo = {{"engtextrecords.dat", "records"},
                                     {"HelpText.txt", "help me"}};

TEST(PakChecksums, HeaderOfTheShippedLayout)
{
    PakHeader h = {PAK_MAGIC, PAK_VERSION, 42, 48, 0, 0};
    EXPECT_EQ(PakHeaderChecksum(&h), 0x7948);
}

TEST(PakChecksums, DataCountsTheLengthAndUnsignedBytes)
{
    EXPECT_EQ(PakDataChecksum("abc", 3), 0x0129);
    const uint8_t high[2] = {0xFF, 0xFF};
    EXPECT_EQ(PakDataChecksum(high, 2), 2 + 0xFF + 0xFF);
    EXPECT_EQ(PakDataChecksum(high, 0), 0);
}

TEST_F(PakFileTest, OpensAndKeepsHeaderAndDirectory)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    ASSERT_EQ(Open(bytes), 0);
    EXPECT_STREQ(pak_.name, "_mem");
    EXPECT_EQ(pak_.header.magic, PAK_MAGIC);
    EXPECT_EQ(pak_.header.used, 2);
    EXPECT_EQ(pak_.header.capacity, 8);
    ASSERT_NE(pak_.entries, nullptr);
    EXPECT_STREQ(pak_.entries[1].name, "HelpText.txt");
    EXPECT_EQ(pak_.entries[1].size, 7u);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(PakClose(&pak_), 0);
    EXPECT_EQ(pak_.entries, nullptr);
    EXPECT_EQ(pak_.name, nullptr);
}

TEST_F(PakFileTest, ReadsEntriesIgnoringCase)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    ASSERT_EQ(Open(bytes), 0);
    std::string data;
    EXPECT_EQ(Read("HELPTEXT.TXT", &data), 0);
    EXPECT_EQ(data, "help me");
    EXPECT_EQ(Read("EngTextRecords.DAT", &data), 0);
    EXPECT_EQ(data, "records");
    PakClose(&pak_);
}

TEST_F(PakFileTest, EveryEntryReadsThroughOnePakFileInAnyOrder)
{
    // The help text is the last entry, so reading it leaves the stream at the archive's end.
    auto bytes = BuildTestArchive(kTwo, 8);
    ASSERT_EQ(Open(bytes), 0);
    std::string data;
    EXPECT_EQ(Read("HelpText.txt", &data), 0);
    EXPECT_EQ(Read("engtextrecords.dat", &data), 0);
    EXPECT_EQ(data, "records");
    EXPECT_EQ(Read("HelpText.txt", &data), 0);
    EXPECT_EQ(data, "help me");
    PakClose(&pak_);
}

TEST_F(PakFileTest, OpenRefusesBadArgumentsSilently)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    EXPECT_EQ(PakFileOpen(nullptr, 100, &pak_), ERR_NULLPTR);
    EXPECT_EQ(PakFileOpen(bytes.data(), 100, nullptr), ERR_NULLPTR);
    EXPECT_EQ(PakFileOpen(bytes.data(), 1, &pak_), ERR_INVPARAM);
    EXPECT_EQ(PakFileOpen(bytes.data(), -3, &pak_), ERR_INVPARAM);
    EXPECT_EQ(Log(), "");
}

TEST_F(PakFileTest, TwoBytesFailOnTheHeaderReadWithBothMessages)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    EXPECT_EQ(PakFileOpen(bytes.data(), 2, &pak_), ERR_READ);
    EXPECT_EQ(Log(),
              "failed to read pak hdr and entries: ERR_READ\n"
              "PakFileOpen failed: ERR_READ\n");
    EXPECT_EQ(pak_.entries, nullptr);
    EXPECT_EQ(pak_.name, nullptr);
}

TEST_F(PakFileTest, DirectoryCutShortIsAReadFailure)
{
    auto bytes = BuildTestArchive({}, 8);
    bytes.resize(14 + 44 * 8 - 1);
    EXPECT_EQ(Open(bytes), ERR_READ);
    EXPECT_EQ(pak_.entries, nullptr);
}

TEST_F(PakFileTest, CapacityBelowEightIsInvalidWhateverTheChecksum)
{
    auto bytes = BuildTestArchive({}, 7);
    EXPECT_EQ(Open(bytes), ERR_INVDATA);
    Put16(bytes, 12, 0);
    EXPECT_EQ(Open(bytes), ERR_INVDATA);
    EXPECT_NE(Log().find("failed to read pak hdr and entries: ERR_INVDATA\n"), std::string::npos);
}

TEST_F(PakFileTest, UsedLimits)
{
    std::vector<TestEntry> eight;
    for (char c = 'a'; c < 'i'; c++) {
        eight.push_back({std::string(1, c), std::string(1, c)});
    }
    auto full = BuildTestArchive(eight, 8);
    EXPECT_EQ(Open(full), 0);
    PakClose(&pak_);

    auto over = BuildTestArchive({}, 8, 9);
    EXPECT_EQ(Open(over), ERR_INVDATA);

    auto many = BuildTestArchive({}, 9000, 8193);
    EXPECT_EQ(Open(many), ERR_TOOMANY);
    auto most = BuildTestArchive({}, 9000, 8192);
    EXPECT_EQ(Open(most), 0);
    PakClose(&pak_);
}

TEST_F(PakFileTest, ReservedHeaderWordIsOutsideTheChecksum)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    Put16(bytes, 10, 0xBEEF);
    EXPECT_EQ(Open(bytes), 0);
    PakClose(&pak_);
}

TEST_F(PakFileTest, ChangedCheckedWordsFailTheChecksum)
{
    for (size_t at : {0, 2, 4, 6, 8}) {
        auto bytes = BuildTestArchive(kTwo, 9);
        uint32_t changed = at == 6 ? 1 : at == 8 ? 10 : Get16(bytes, at) ^ 0x0100;
        Put16(bytes, at, changed);
        bytes.resize(bytes.size() + 44);
        EXPECT_EQ(Open(bytes), ERR_CHECKSUM) << "word at " << at;
    }
    EXPECT_NE(Log().find("PakFileOpen failed: ERR_CHECKSUM\n"), std::string::npos);
}

TEST_F(PakFileTest, EmptyEntriesAndEntriesPastUsedAreNeverFound)
{
    auto bytes = BuildTestArchive({{"gone", ""}, {"kept", "x"}, {"hidden", "y"}}, 8, 2);
    ASSERT_EQ(Open(bytes), 0);
    PakEntry entry;
    EXPECT_EQ(PakFindEntry(&pak_, "gone", &entry), ERR_NOTFOUND);
    EXPECT_EQ(PakFindEntry(&pak_, "kept", &entry), 1);
    EXPECT_EQ(PakFindEntry(&pak_, "hidden", &entry), ERR_NOTFOUND);
    int32_t size = 77;
    EXPECT_EQ(PakGetEntrySize(&pak_, "gone", &size), ERR_NOTFOUND);
    EXPECT_EQ(size, 77);
    EXPECT_NE(Log().find("failed to read pak section \"gone\": ERR_NOTFOUND\n"), std::string::npos);
    PakClose(&pak_);
}

TEST_F(PakFileTest, LowerIndexWinsAmongEqualNames)
{
    auto bytes = BuildTestArchive({{"Same", "first"}, {"SAME", "second"}}, 8);
    ASSERT_EQ(Open(bytes), 0);
    PakEntry entry;
    EXPECT_EQ(PakFindEntry(&pak_, "same", &entry), 0);
    EXPECT_EQ(entry.size, 5u);
    std::string data;
    EXPECT_EQ(Read("same", &data), 0);
    EXPECT_EQ(data, "first");
    PakClose(&pak_);
}

TEST_F(PakFileTest, NameFillingTheWholeFieldIsNotReadBeyondIt)
{
    std::string full(32, 'n');
    auto bytes = BuildTestArchive({{full, "z"}}, 8);
    ASSERT_EQ(Open(bytes), 0);
    PakEntry entry;
    EXPECT_EQ(PakFindEntry(&pak_, (full + "x").c_str(), &entry), ERR_NOTFOUND);
    EXPECT_EQ(PakFindEntry(&pak_, full.substr(0, 31).c_str(), &entry), ERR_NOTFOUND);
    EXPECT_EQ(PakFindEntry(&pak_, full.c_str(), &entry), 0);
    PakClose(&pak_);
}

TEST_F(PakFileTest, FlippedDataByteFailsOnlyItsEntry)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    bytes[Get32(bytes, EntryAt(0, 36)) + 2] ^= 0x01;
    ASSERT_EQ(Open(bytes), 0);
    std::string data;
    EXPECT_EQ(Read("engtextrecords.dat", &data), ERR_CHECKSUM);
    EXPECT_NE(Log().find("failed to read pak section \"engtextrecords.dat\": ERR_CHECKSUM\n"),
              std::string::npos);
    EXPECT_EQ(Read("HelpText.txt", &data), 0);
    PakClose(&pak_);
}

TEST_F(PakFileTest, DataPastTheEndIsAReadFailureAndOffsetPastItASeekFailure)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    uint32_t length = static_cast<uint32_t>(bytes.size());
    Put32(bytes, EntryAt(0, 32), length);  // runs past the end
    Put32(bytes, EntryAt(1, 36), length + 1);
    ASSERT_EQ(Open(bytes), 0);
    char buffer[64];
    EXPECT_EQ(PakReadEntry(&pak_, "engtextrecords.dat", buffer, sizeof(buffer)), ERR_READ);
    EXPECT_EQ(PakReadEntry(&pak_, "HelpText.txt", buffer, sizeof(buffer)), ERR_SEEK);
    EXPECT_NE(Log().find("failed to read pak section \"HelpText.txt\": ERR_SEEK\n"),
              std::string::npos);
    PakClose(&pak_);
}

TEST_F(PakFileTest, OffsetAtTheVeryEndSeeksButReadsNothing)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    Put32(bytes, EntryAt(1, 36), static_cast<uint32_t>(bytes.size()));
    ASSERT_EQ(Open(bytes), 0);
    char buffer[16];
    EXPECT_EQ(PakReadEntry(&pak_, "HelpText.txt", buffer, sizeof(buffer)), ERR_READ);
    PakClose(&pak_);
}

TEST_F(PakFileTest, HugeSizesAndOffsetsFailInsteadOfWrapping)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    Put32(bytes, EntryAt(0, 32), 0x80000000u);
    Put32(bytes, EntryAt(1, 36), 0xFFFFFFF0u);
    ASSERT_EQ(Open(bytes), 0);
    int32_t size = 5;
    EXPECT_EQ(PakGetEntrySize(&pak_, "engtextrecords.dat", &size), ERR_READ);
    EXPECT_EQ(size, 5);
    char buffer[16];
    EXPECT_EQ(PakReadEntry(&pak_, "engtextrecords.dat", buffer, 0xFFFFFFFFu), ERR_READ);
    EXPECT_EQ(PakReadEntry(&pak_, "HelpText.txt", buffer, sizeof(buffer)), ERR_SEEK);
    PakClose(&pak_);
}

TEST_F(PakFileTest, ShortLengthIsCheckedAgainstTheWholeEntry)
{
    auto bytes = BuildTestArchive({{"abc", "abc"}}, 8);
    ASSERT_EQ(Open(bytes), 0);
    char buffer[3];
    EXPECT_EQ(PakReadEntry(&pak_, "abc", buffer, 2), ERR_CHECKSUM);
    EXPECT_EQ(PakReadEntry(&pak_, "abc", buffer, 3), 0);
    EXPECT_EQ(Get16(bytes, EntryAt(0, 42)), 0x0129u);
    PakClose(&pak_);
}

TEST_F(PakFileTest, SizeQueryReadsNothingAndLogsNothing)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    bytes.back() ^= 0xFF;  // the help text is now corrupt, which only a read notices
    ASSERT_EQ(Open(bytes), 0);
    EXPECT_EQ(PakReadSection(&pak_, "helptext.txt", nullptr, 0), 7);
    int32_t size = 0;
    EXPECT_EQ(PakGetEntrySize(&pak_, "HelpText.txt", &size), 7);
    EXPECT_EQ(size, 7);
    EXPECT_EQ(Log(), "");
    PakClose(&pak_);
}

TEST_F(PakFileTest, NullArguments)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    ASSERT_EQ(Open(bytes), 0);
    char buffer[8];
    int32_t size = 0;
    PakEntry entry;
    EXPECT_EQ(PakFindEntry(&pak_, nullptr, &entry), ERR_NULLPTR);
    EXPECT_EQ(PakReadSection(nullptr, "HelpText.txt", buffer, 8), ERR_NULLPTR);
    EXPECT_EQ(PakReadSection(&pak_, nullptr, buffer, 8), ERR_NULLPTR);
    EXPECT_EQ(PakGetEntrySize(&pak_, "HelpText.txt", nullptr), ERR_NULLPTR);
    EXPECT_EQ(PakGetEntrySize(nullptr, "HelpText.txt", &size), ERR_NULLPTR);
    EXPECT_EQ(PakReadEntry(&pak_, "HelpText.txt", nullptr, 8), ERR_NULLPTR);
    EXPECT_EQ(PakReadEntry(&pak_, nullptr, buffer, 8), ERR_NULLPTR);
    EXPECT_EQ(PakClose(nullptr), ERR_NULLPTR);
    EXPECT_EQ(Log(), "");
    PakClose(&pak_);
}

TEST_F(PakFileTest, ClosedPakFileFindsNothingAndClosesAgain)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    ASSERT_EQ(Open(bytes), 0);
    ASSERT_EQ(PakClose(&pak_), 0);
    PakEntry entry;
    EXPECT_EQ(PakFindEntry(&pak_, "HelpText.txt", &entry), ERR_NULLPTRIN);
    EXPECT_EQ(PakClose(&pak_), 0);
}

TEST_F(PakFileTest, UnalignedArchiveReads)
{
    auto bytes = BuildTestArchive(kTwo, 8);
    std::vector<uint8_t> shifted(bytes.size() + 1);
    memcpy(shifted.data() + 1, bytes.data(), bytes.size());
    ASSERT_EQ(PakFileOpen(shifted.data() + 1, static_cast<int32_t>(bytes.size()), &pak_), 0);
    std::string data;
    EXPECT_EQ(Read("HelpText.txt", &data), 0);
    EXPECT_EQ(data, "help me");
    PakClose(&pak_);
}

}  // namespace
