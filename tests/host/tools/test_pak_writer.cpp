// Archive writer: what it builds reads back through the reader with the layout the build relies
// on (sorted directory, spare zeroed entries, data back to back), and what it refuses.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "archive/pak_file.h"
#include "archive/pak_writer.h"
#include "foundation/mem.h"
#include "foundation/status.h"

namespace {

struct Built {
    int32_t status = 0;
    int32_t badIndex = 0;
    std::vector<uint8_t> image;
};

Built Build(const std::vector<PakSource> &sources, int32_t spare = PAK_DEFAULT_SPARE)
{
    Built built;
    uint8_t *image = nullptr;
    int32_t size = 0;
    built.status = PakBuildImage(sources.data(), static_cast<int32_t>(sources.size()), spare,
                                 &image, &size, &built.badIndex);
    if (built.status == 0) {
        built.image.assign(image, image + size);
        MemFree(image);
    }
    return built;
}

PakSource Source(const char *name, const std::string &data)
{
    return PakSource{name, data.data(), static_cast<uint32_t>(data.size())};
}

const std::string kRecords = "A00;Cholera;\r\n";
const std::string kHelp = "Morbivue\r\n<LINK Create Icon>\r\n";
const std::string kByte = "\xFF";

TEST(PakWriter, RoundTripsThroughTheReader)
{
    Built built = Build({Source("HelpText.txt", kHelp), Source("engtextrecords.dat", kRecords),
                         Source("z", kByte)});
    ASSERT_EQ(built.status, 0);
    EXPECT_EQ(built.badIndex, -1);
    PakFile pak;
    ASSERT_EQ(PakFileOpen(built.image.data(), static_cast<int32_t>(built.image.size()), &pak), 0);
    for (const auto &[name, data] :
         {std::pair{"HELPTEXT.TXT", kHelp}, std::pair{"engtextrecords.dat", kRecords},
          std::pair{"Z", kByte}}) {
        std::vector<char> buffer(data.size());
        EXPECT_EQ(PakReadEntry(&pak, name, buffer.data(), static_cast<uint32_t>(buffer.size())), 0)
            << name;
        EXPECT_EQ(std::string(buffer.begin(), buffer.end()), data) << name;
    }
    PakClose(&pak);
}

TEST(PakWriter, LaysOutASortedDirectoryWithSpareZeroEntriesAndPackedData)
{
    Built built = Build({Source("b.txt", "bb"), Source("C.txt", "c"), Source("a.txt", "aaa")});
    ASSERT_EQ(built.status, 0);
    PakHeader header;
    memcpy(&header, built.image.data(), sizeof(header));
    EXPECT_EQ(header.magic, PAK_MAGIC);
    EXPECT_EQ(header.version, PAK_VERSION);
    EXPECT_EQ(header.used, 3);
    EXPECT_EQ(header.capacity, 9);  // 3 used + 6 spare
    EXPECT_EQ(header.reserved, 0);
    EXPECT_EQ(header.checksum, PakHeaderChecksum(&header));

    std::vector<PakEntry> dir(header.capacity);
    memcpy(dir.data(), built.image.data() + PAK_HEADER_SIZE, dir.size() * sizeof(PakEntry));
    EXPECT_STREQ(dir[0].name, "a.txt");
    EXPECT_STREQ(dir[1].name, "b.txt");
    EXPECT_STREQ(dir[2].name, "C.txt");
    uint32_t expectedOffset = PAK_HEADER_SIZE + 9 * PAK_ENTRY_SIZE;
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(dir[i].offset, expectedOffset) << i;
        EXPECT_EQ(dir[i].reserved, 0);
        expectedOffset += dir[i].size;
    }
    EXPECT_EQ(built.image.size(), expectedOffset);
    EXPECT_EQ(dir[0].checksum, 3 + 3 * 'a');
    const PakEntry zero = {};
    for (int i = 3; i < 9; i++) {
        EXPECT_EQ(memcmp(&dir[i], &zero, sizeof(zero)), 0) << i;
    }
    // Name fields are NUL-padded to the end.
    for (int k = 5; k < PAK_NAME_SIZE; k++) {
        EXPECT_EQ(dir[0].name[k], '\0');
    }
}

TEST(PakWriter, CapacityIsAtLeastEight)
{
    Built built = Build({Source("only", "1")}, 0);
    ASSERT_EQ(built.status, 0);
    EXPECT_EQ(built.image.size(), size_t{PAK_HEADER_SIZE + 8 * PAK_ENTRY_SIZE + 1});
    std::vector<std::string> names;
    std::vector<PakSource> many;
    for (int i = 0; i < 20; i++) {
        names.push_back("entry" + std::to_string(100 + i));
    }
    for (const auto &n : names) {
        many.push_back(Source(n.c_str(), n));
    }
    Built bigger = Build(many, 2);
    ASSERT_EQ(bigger.status, 0);
    PakHeader header;
    memcpy(&header, bigger.image.data(), sizeof(header));
    EXPECT_EQ(header.capacity, 22);
}

TEST(PakWriter, NamesUpToThirtyOneCharacters)
{
    std::string name31(31, 'x');
    std::string name32(32, 'y');
    EXPECT_EQ(Build({Source(name31.c_str(), "1")}).status, 0);
    Built refused = Build({Source("fine", "1"), Source(name32.c_str(), "2")});
    EXPECT_EQ(refused.status, ERR_TOOLONG);
    EXPECT_EQ(refused.badIndex, 1);
    EXPECT_EQ(Build({Source("", "1")}).status, ERR_INVPARAM);
}

TEST(PakWriter, RefusesNamesEqualIgnoringCase)
{
    Built refused =
        Build({Source("HelpText.txt", "1"), Source("other", "2"), Source("HELPTEXT.TXT", "3")});
    EXPECT_EQ(refused.status, ERR_INVDATA);
    EXPECT_TRUE(refused.badIndex == 0 || refused.badIndex == 2) << refused.badIndex;
}

TEST(PakWriter, RefusesEmptyEntries)
{
    Built refused = Build({Source("a", "1"), Source("empty", "")});
    EXPECT_EQ(refused.status, ERR_EMPTY);
    EXPECT_EQ(refused.badIndex, 1);
}

TEST(PakWriter, RefusesNoSourcesAndTooMany)
{
    PakSource one = Source("a", "1");
    uint8_t *image = nullptr;
    int32_t size = 0;
    int32_t bad = 0;
    EXPECT_EQ(PakBuildImage(&one, 0, 0, &image, &size, &bad), ERR_EMPTY);
    std::vector<PakSource> many(8193, Source("same", "1"));
    EXPECT_EQ(Build(many).status, ERR_TOOMANY);
}

TEST(PakWriter, RefusesImagesBeyondSignedThirtyTwoBits)
{
    // Refused from the sizes alone, before any data is touched.
    const char byte = 'x';
    std::vector<PakSource> huge = {{"a", &byte, 0x7FFFFFF0u}, {"b", &byte, 0x7FFFFFF0u}};
    EXPECT_EQ(Build(huge).status, ERR_OVERFLOW);
    std::vector<PakSource> edge = {
        {"a", &byte, 0x7FFFFFFFu - PAK_HEADER_SIZE - 8 * PAK_ENTRY_SIZE + 1}};
    EXPECT_EQ(Build(edge, 0).status, ERR_OVERFLOW);
}

TEST(PakWriter, NullArguments)
{
    PakSource source = Source("a", "1");
    uint8_t *image = nullptr;
    int32_t size = 0;
    int32_t bad = 0;
    EXPECT_EQ(PakBuildImage(nullptr, 1, 0, &image, &size, &bad), ERR_NULLPTR);
    EXPECT_EQ(PakBuildImage(&source, 1, 0, &image, &size, nullptr), ERR_NULLPTR);
    PakSource noName = {nullptr, "1", 1};
    EXPECT_EQ(PakBuildImage(&noName, 1, 0, &image, &size, &bad), ERR_NULLPTR);
    EXPECT_EQ(bad, 0);
}

}  // namespace
