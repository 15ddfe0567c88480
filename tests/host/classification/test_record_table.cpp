// Record file parsing, field access and the bounded string operations.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "classification/record_table.h"
#include "classification/str_bounded.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "record_fixture.h"

namespace {

struct Parsed {
    explicit Parsed(const std::string &bytes) {
        status = ParseTextRecords(bytes.data(), (int32_t)bytes.size(), &count, &records);
    }
    ~Parsed() {
        if (status == 0) {
            FreeRecordTexts(count, records);
            MemFree(records);
        }
    }
    int32_t status = 0;
    uint32_t count = 12345;
    TextRecord *records = reinterpret_cast<TextRecord *>(0x1);
};

}  // namespace

TEST(RecordParse, OnlyAnEndRecordGivesNoRecords) {
    Parsed p(EndRecord());
    ASSERT_EQ(p.status, 0);
    EXPECT_EQ(p.count, 0u);
}

TEST(RecordParse, RecordsKeepHeaderValuesAndTheirPosition) {
    std::string bytes = RecordHeader(0, 0xE7, 0, 0, 0xFFFFFFFF) + "ICD10CM.tabular;\n" +
                        RecordHeader(3, 0xE7, RECORD_FLAG_LEAF, 77, 0) + "A00;Cholera;;;\n" +
                        EndRecord();
    Parsed p(bytes);
    ASSERT_EQ(p.status, 0);
    ASSERT_EQ(p.count, 2u);
    EXPECT_EQ(p.records[0].parent, 0xFFFFFFFFu);
    EXPECT_EQ(p.records[1].level, 3);
    EXPECT_EQ(p.records[1].flags, RECORD_FLAG_LEAF);
    EXPECT_EQ(p.records[1].marker, RECORD_MARKER);
    EXPECT_EQ(p.records[1].index, 1u) << "the position, not the header's 77";
    EXPECT_EQ(p.records[1].parent, 0u);
    EXPECT_EQ(p.records[1].treeItem, nullptr);
}

TEST(RecordParse, MissingHeaderFailsWithReadAndNamesThePosition) {
    for (size_t extra = 0; extra < 12; extra++) {
        LogCapture log;
        std::string bytes = RecordLine(0, "A00;x") + RecordLine(1, "A01;y") +
                            EndRecord().substr(0, extra);
        if (bytes.empty()) {
            continue;
        }
        Parsed p(bytes);
        EXPECT_EQ(p.status, ERR_READ) << extra;
        EXPECT_EQ(p.count, 12345u) << "out-parameters untouched";
        EXPECT_NE(log.Text().find("failed to read binrecord( 2 )"), std::string::npos) << log.Text();
        EXPECT_NE(log.Text().find("failed to load text record data: ERR_READ"), std::string::npos);
    }
}

TEST(RecordParse, BadMarkerFailsWithInvdataAndShowsPositionAndByte) {
    std::string bytes;
    for (uint32_t i = 0; i < 5; i++) {
        bytes += RecordLine(i, "X" + std::to_string(i));
    }
    bytes += RecordHeader(1, 0x00, 0, 5, 0) + "bad\n" + EndRecord();
    LogCapture log;
    Parsed p(bytes);
    EXPECT_EQ(p.status, ERR_INVDATA);
    EXPECT_NE(log.Text().find("invalid record start( 5: 00 )"), std::string::npos) << log.Text();
}

TEST(RecordParse, EndRecordWithoutMarkerIsAFormatError) {
    std::string bytes = RecordLine(0, "A") + RecordHeader(0, 0x00, 0x8000, END_RECORD_INDEX, 0);
    Parsed p(bytes);
    EXPECT_EQ(p.status, ERR_INVDATA);
}

TEST(RecordParse, CarriageReturnIsAFormatError) {
    LogCapture log;
    Parsed p(RecordHeader(0, 0xE7, 0, 0, 0) + "A00;Cholera\r\n" + EndRecord());
    EXPECT_EQ(p.status, ERR_INVDATA);
    EXPECT_NE(log.Text().find("invalid cr in data( 0 )"), std::string::npos) << log.Text();
    EXPECT_NE(log.Text().find("failed to load text record data: ERR_INVDATA"), std::string::npos);
}

TEST(RecordParse, CarriageReturnInAnUnendedLineIsStillAnError) {
    Parsed p(RecordHeader(0, 0xE7, 0, 0, 0) + "A00\rxx");
    EXPECT_EQ(p.status, ERR_INVDATA);
}

TEST(RecordParse, DataEndingAfterAHeaderGivesARecordWithoutText) {
    Parsed p(RecordLine(0, "A00;x") + RecordHeader(2, 0xE7, 2, 41, 0));
    ASSERT_EQ(p.status, 0);
    ASSERT_EQ(p.count, 2u);
    EXPECT_EQ(p.records[1].text, nullptr);
    EXPECT_EQ(p.records[1].index, 41u) << "keeps the header's index";
    EXPECT_EQ(p.records[1].level, 2);
    for (uint32_t j = 0; j < MAX_RECORD_FIELDS; j++) {
        EXPECT_STREQ(RecordField(&p.records[1], j), "");
        EXPECT_EQ(RecordFieldPresent(&p.records[1], j), 0);
    }
}

TEST(RecordParse, DataEndingInsideALineGivesARecordWithoutText) {
    Parsed p(RecordLine(0, "A00;x") + RecordHeader(1, 0xE7, 0, 1, 0) + "B00;never ended");
    ASSERT_EQ(p.status, 0);
    ASSERT_EQ(p.count, 2u);
    EXPECT_EQ(p.records[1].text, nullptr);
    EXPECT_STREQ(RecordField(&p.records[1], 0), "");
    EXPECT_STREQ(RecordField(&p.records[1], 1), "");
}

TEST(RecordParse, FieldsSplitAtSemicolons) {
    TestTable t({"A00;Cholera", "A00;;x", ""});
    ASSERT_EQ(t.status, 0);
    const TextRecord *r = t.table.records;
    EXPECT_STREQ(RecordField(&r[0], 0), "A00");
    EXPECT_STREQ(RecordField(&r[0], 1), "Cholera");
    for (uint32_t j = 2; j < MAX_RECORD_FIELDS; j++) {
        EXPECT_EQ(r[0].fieldOffsets[j], -1) << j;
    }
    EXPECT_EQ(RecordFieldPresent(&r[1], 1), 1);
    EXPECT_STREQ(RecordField(&r[1], 1), "");
    EXPECT_STREQ(RecordField(&r[1], 2), "x");
    EXPECT_EQ(RecordFieldPresent(&r[2], 0), 1);
    EXPECT_STREQ(RecordField(&r[2], 0), "");
    EXPECT_EQ(RecordFieldPresent(&r[2], 1), 0);
}

TEST(RecordParse, TextBlockEndsInTwoZeroBytes) {
    TestTable t({"A;B"});
    ASSERT_EQ(t.status, 0);
    EXPECT_EQ(std::memcmp(t.table.records[0].text, "A\0B\0\0", 5), 0);
}

TEST(RecordParse, FortiethSemicolonEndsFieldThirtyNine) {
    std::string line = "f0";
    for (int j = 1; j <= 45; j++) {
        line += ";f" + std::to_string(j);
    }
    TestTable t({line});
    ASSERT_EQ(t.status, 0);
    const TextRecord *r = &t.table.records[0];
    EXPECT_STREQ(RecordField(r, 39), "f39");
    EXPECT_STREQ(RecordField(r, 40), "-");
}

TEST(RecordParse, LongLinesAreCutAtTheLineLimit) {
    std::string line(70000, 'x');
    line[65529] = ';';
    line[65530] = ';';
    TestTable t({line});
    ASSERT_EQ(t.status, 0);
    const TextRecord *r = &t.table.records[0];
    EXPECT_EQ(std::strlen(RecordField(r, 0)), 65529u);
    EXPECT_EQ(RecordFieldPresent(r, 1), 1) << "';' at 65,529: present and empty";
    EXPECT_STREQ(RecordField(r, 1), "");
    EXPECT_EQ(RecordFieldPresent(r, 2), 0) << "';' at 65,530: absent";

    TestTable plain({std::string(70000, 'y')});
    EXPECT_EQ(std::strlen(RecordField(&plain.table.records[0], 0)), (size_t)MAX_LINE_CHARS);
}

TEST(RecordParse, ManyRecordsGrowTheArray) {
    std::vector<std::string> lines;
    for (int i = 0; i < 1500; i++) {
        lines.push_back("C" + std::to_string(i) + ";title");
    }
    TestTable t(lines);
    ASSERT_EQ(t.status, 0);
    ASSERT_EQ(t.table.recordCount, 1500u);
    EXPECT_STREQ(RecordField(&t.table.records[1499], 0), "C1499");
    EXPECT_EQ(t.table.records[1499].index, 1499u);
}

TEST(RecordParse, BadArgumentsAreRefused) {
    uint32_t count = 0;
    TextRecord *records = nullptr;
    EXPECT_EQ(ParseTextRecords(nullptr, 5, &count, &records), ERR_NULLPTR);
    EXPECT_EQ(ParseTextRecords("x", 1, nullptr, &records), ERR_NULLPTR);
    EXPECT_EQ(ParseTextRecords("x", 1, &count, nullptr), ERR_NULLPTR);
    EXPECT_EQ(ParseTextRecords("x", 0, &count, &records), ERR_INVPARAM);
    EXPECT_EQ(LoadTextRecords(nullptr, &count, &records), ERR_NULLPTR);
    EXPECT_EQ(FreeRecordTexts(3, nullptr), ERR_NULLPTR);
}

TEST(RecordField, ConstantsForBadRecordsAndNumbers) {
    TestTable t({"A00;Cholera"});
    const TextRecord *r = &t.table.records[0];
    char buffer[16] = "unchanged";
    EXPECT_STREQ(RecordField(nullptr, 0), "#");
    EXPECT_STREQ(RecordField(r, 40), "-");
    EXPECT_STREQ(RecordField(r, 3), "");
    EXPECT_STREQ(RecordField(r, 65536), "A00") << "field number taken as its low 16 bits";
    EXPECT_STREQ(CopyRecordField(nullptr, 0, buffer, 15), "#");
    EXPECT_STREQ(CopyRecordField(r, 0, nullptr, 15), "#");
    EXPECT_STREQ(CopyRecordField(r, 40, buffer, 15), "#");
    EXPECT_STREQ(CopyRecordField(r, 3, buffer, 15), "-");
    EXPECT_STREQ(buffer, "unchanged");
    EXPECT_EQ(CopyRecordField(r, 1, buffer, 4), buffer);
    EXPECT_STREQ(buffer, "Chol");
}

TEST(RecordField, CaptionsInFieldOrder) {
    EXPECT_STREQ(RecordFieldCaption(0), "IcdCode");
    EXPECT_STREQ(RecordFieldCaption(1), "LongName");
    EXPECT_STREQ(RecordFieldCaption(4), "Excludes1");
    EXPECT_STREQ(RecordFieldCaption(8), "Notes");
    EXPECT_STREQ(RecordFieldCaption(9), "");
}

TEST(StrBounded, CopyCutsPadsAndTerminates) {
    char buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_STREQ(StrCopyBounded(buffer, "abcdef", 3), "abc");
    std::memset(buffer, 'z', sizeof buffer);
    StrCopyBounded(buffer, "ab", 6);
    EXPECT_EQ(std::memcmp(buffer, "ab\0\0\0\0\0z", 8), 0) << "padded up to n, then terminated";
}

TEST(StrBounded, AppendStopsAtTheSize) {
    char buffer[8] = "abc";
    EXPECT_STREQ(StrAppendBounded(buffer, "def", 4), "abcd");
    char full[8] = "abc";
    EXPECT_STREQ(StrAppendBounded(full, "def", 3), "abc");
    char roomy[16] = "abc";
    EXPECT_STREQ(StrAppendBounded(roomy, "def", 10), "abcdef");
}
