// The archive the build links in: its bounds, and whole-entry loads compared with the files the
// build packed.
#include <fstream>
#include <iterator>
#include <string>
#include <strings.h>

#include <gtest/gtest.h>

#include "archive/embedded_archive.h"
#include "archive/pak_file.h"
#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "morbivue_data_files.h"

namespace {

std::string ReadFile(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ExpectEntryMatchesFile(const char *name, const char *path)
{
    std::string expected = ReadFile(path);
    int32_t size = -1;
    char *buffer = nullptr;
    ASSERT_EQ(PakLoadEmbeddedEntry(name, &size, &buffer), 0) << name;
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, static_cast<int32_t>(expected.size())) << name;
    EXPECT_TRUE(std::string(buffer, static_cast<size_t>(size)) == expected) << name;
    EXPECT_EQ(buffer[size], '\0');
    MemFree(buffer);
}

TEST(EmbeddedArchive, BoundsEncloseTheArchiveFile)
{
    const uint8_t *start = nullptr;
    const uint8_t *end = nullptr;
    ASSERT_EQ(EmbeddedArchiveBounds(&start, &end), 0);
    std::string file = ReadFile(MORBIVUE_ARCHIVE_PATH);
    ASSERT_EQ(end - start, static_cast<ptrdiff_t>(file.size()));
    EXPECT_TRUE(std::string(reinterpret_cast<const char *>(start), file.size()) == file);
    EXPECT_EQ(EmbeddedArchiveBounds(nullptr, &end), ERR_NULLPTR);
    EXPECT_EQ(EmbeddedArchiveBounds(&start, nullptr), ERR_NULLPTR);
}

// Every entry the programs read, in name order ignoring case, packed one after the other.
TEST(EmbeddedArchive, HoldsTheEntriesSortedWithSpareSlots)
{
    const uint8_t *start = nullptr;
    const uint8_t *end = nullptr;
    ASSERT_EQ(EmbeddedArchiveBounds(&start, &end), 0);
    PakFile pak;
    ASSERT_EQ(PakFileOpen(start, static_cast<int32_t>(end - start), &pak), 0);
    EXPECT_GE(pak.header.used, 4);
    EXPECT_GE(pak.header.capacity, pak.header.used + 6);
    EXPECT_EQ(pak.entries[0].offset, 14u + 44u * pak.header.capacity);
    for (uint16_t i = 1; i < pak.header.used; i++) {
        EXPECT_LT(strcasecmp(pak.entries[i - 1].name, pak.entries[i].name), 0) << i;
        EXPECT_EQ(pak.entries[i].offset, pak.entries[i - 1].offset + pak.entries[i - 1].size);
    }
    for (const char *name : {"changes.txt", "engtextrecords.dat", "HelpText.txt", "sevenchr.txt"}) {
        PakEntry entry = {};
        EXPECT_GE(PakFindEntry(&pak, name, &entry), 0) << name;
    }
    EXPECT_EQ(PakClose(&pak), 0);
}

TEST(EmbeddedArchive, HelpTextLoadsUnderAnyCase)
{
    ExpectEntryMatchesFile("HELPTEXT.TXT", MORBIVUE_HELP_TEXT_PATH);
    ExpectEntryMatchesFile("HelpText.txt", MORBIVUE_HELP_TEXT_PATH);
}

TEST(EmbeddedArchive, RecordFileLoads)
{
    ExpectEntryMatchesFile("engtextrecords.dat", MORBIVUE_RECORDS_PATH);
    ExpectEntryMatchesFile("sevenchr.txt", MORBIVUE_SEVENS_PATH);
}

TEST(EmbeddedArchive, ChangesEntryLoads)
{
    ExpectEntryMatchesFile("changes.txt", MORBIVUE_CHANGES_PATH);
}

TEST(EmbeddedArchive, MissingEntryLeavesTheBufferAloneAndLogsTwoLines)
{
    char text[1024] = {};
    LogSink sink = {};
    sink.capacity = sizeof(text);
    sink.text = text;
    LogSetSink(&sink);
    int32_t size = -1;
    char sentinel = 'x';
    char *buffer = &sentinel;
    EXPECT_EQ(PakLoadEmbeddedEntry("readme.txt", &size, &buffer), ERR_NOTFOUND);
    LogSetSink(nullptr);
    EXPECT_EQ(buffer, &sentinel);
    std::string log(text);
    std::erase(log, '\r');
    EXPECT_EQ(log,
              "failed to read pak section \"readme.txt\": ERR_NOTFOUND\n"
              "pak: ERR_NOTFOUND\n");
}

TEST(EmbeddedArchive, NullArguments)
{
    int32_t size = 0;
    char *buffer = nullptr;
    EXPECT_EQ(PakLoadEmbeddedEntry(nullptr, &size, &buffer), ERR_NULLPTR);
    EXPECT_EQ(PakLoadEmbeddedEntry("HelpText.txt", nullptr, &buffer), ERR_NULLPTR);
    EXPECT_EQ(PakLoadEmbeddedEntry("HelpText.txt", &size, nullptr), ERR_NULLPTR);
}

}  // namespace
