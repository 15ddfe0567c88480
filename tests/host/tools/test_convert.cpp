// Tests of the tabular XML converter on small documents written here, and on the real release
// when the build found one.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/status.h"
#include "tools/convert/convert_file.h"
#include "tools/convert/record_writer.h"
#include "tools/convert/tabular_converter.h"
#include "tools/convert/text_encoding.h"

namespace {

struct ParsedRecord {
    uint8_t level;
    uint16_t flags;
    uint32_t index;
    uint32_t parent;
    std::vector<std::string> fields;
};

uint32_t U32At(const std::string &b, size_t at)
{
    return (uint32_t)(uint8_t)b[at] | (uint32_t)(uint8_t)b[at + 1] << 8 |
           (uint32_t)(uint8_t)b[at + 2] << 16 | (uint32_t)(uint8_t)b[at + 3] << 24;
}

// Reads the record file back as the program's loader would; fails the test on a format fault.
std::vector<ParsedRecord> ParseRecords(const std::string &b)
{
    std::vector<ParsedRecord> records;
    size_t at = 0;
    for (;;) {
        EXPECT_LE(at + 12, b.size());
        if (at + 12 > b.size()) {
            return records;
        }
        EXPECT_EQ((uint8_t)b[at + 1], 0xE7);
        ParsedRecord r;
        r.level = (uint8_t)b[at];
        r.flags = (uint16_t)((uint8_t)b[at + 2] | (uint8_t)b[at + 3] << 8);
        r.index = U32At(b, at + 4);
        r.parent = U32At(b, at + 8);
        at += 12;
        if (r.index == END_RECORD_INDEX) {
            EXPECT_EQ(at, b.size());
            return records;
        }
        size_t end = b.find('\n', at);
        EXPECT_NE(end, std::string::npos);
        std::string line = b.substr(at, end - at);
        at = end + 1;
        size_t start = 0;
        for (;;) {
            size_t semi = line.find(';', start);
            r.fields.push_back(line.substr(start, semi - start));
            if (semi == std::string::npos) {
                break;
            }
            start = semi + 1;
        }
        records.push_back(r);
    }
}

// Wraps chapter content in a complete document.
std::string Doc(const std::string &body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ICD10CM.tabular><version>2023</version>" +
           body + "</ICD10CM.tabular>";
}

const char kChapterA[] =
    "<chapter><name>1</name><desc>Certain infectious diseases (A00-B99)</desc>"
    "<section id=\"A00-A09\"><desc>Intestinal infectious diseases (A00-A09)</desc>"
    "<diag><name>A00</name><desc>Cholera</desc>"
    "<diag><name>A00.0</name><desc>Cholera due to Vibrio cholerae 01</desc></diag>"
    "<diag><name>A00.1</name><desc>Cholera eltor</desc></diag></diag>"
    "<diag><name>A01</name><desc>Typhoid</desc></diag></section>"
    "<section id=\"B10\"><desc>Other human herpesviruses (B10)</desc>"
    "<diag><name>B10</name><desc>Other human herpesviruses</desc></diag></section></chapter>";

struct Conversion {
    int32_t status;
    std::string bytes;
    ConvertSummary summary;
    std::string error;
    std::vector<ParsedRecord> records;
};

Conversion Convert(const std::string &xml)
{
    Conversion c;
    c.status = ConvertTabularXml(xml.data(), xml.size(), &c.bytes, &c.summary, &c.error);
    if (c.status == 0) {
        c.records = ParseRecords(c.bytes);
    }
    return c;
}

// Converts one <diag> under a chapter and a section and returns its record (index 3).
ParsedRecord ConvertDiag(const std::string &diagXml)
{
    Conversion c = Convert(Doc("<chapter><name>1</name><desc>X (A00-B99)</desc>"
                               "<section id=\"A00-A09\"><desc>S</desc>" +
                               diagXml + "</section></chapter>"));
    EXPECT_EQ(c.status, 0) << c.error;
    EXPECT_GE(c.records.size(), 4u);
    return c.records.size() >= 4 ? c.records[3] : ParsedRecord{};
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

// --- Records and their headers ----------------------------------------------------------------

TEST(ConvertRecords, RootComesFirstWithItsFixedCodeAndNoParent)
{
    Conversion c = Convert(Doc(kChapterA));
    ASSERT_EQ(c.status, 0) << c.error;
    ASSERT_FALSE(c.records.empty());
    EXPECT_EQ(c.records[0].level, 0);
    EXPECT_EQ(c.records[0].parent, 0xFFFFFFFFu);
    EXPECT_EQ(c.records[0].fields[0], "ICD10CM.tabular");
    EXPECT_EQ(c.records[0].fields[1], "");
    EXPECT_EQ(c.records[0].fields.size(), 9u);
}

TEST(ConvertRecords, HeadersMatchTheLoadersLayout)
{
    Conversion c = Convert(Doc(kChapterA));
    ASSERT_EQ(c.status, 0) << c.error;
    // Record 3 is A00, level 3, parent 2, with children.
    const std::string header("\x03\xE7\x00\x00\x03\x00\x00\x00\x02\x00\x00\x00", 12);
    size_t at = c.bytes.find(header);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(c.bytes.substr(at + 12, 19), "A00;Cholera;;;;;;;\n");
}

TEST(ConvertRecords, FileEndsInTheEndRecord)
{
    Conversion c = Convert(Doc(kChapterA));
    ASSERT_EQ(c.status, 0) << c.error;
    ASSERT_GE(c.bytes.size(), 12u);
    EXPECT_EQ(c.bytes.substr(c.bytes.size() - 12),
              std::string("\x00\xE7\x00\x80\xFF\xE0\xF5\x05\xFF\xFF\xFF\xFF", 12));
    EXPECT_EQ(c.summary.outputBytes, c.bytes.size());
}

TEST(ConvertRecords, ParentsPrecedeChildrenAndLevelsFollowNesting)
{
    Conversion c = Convert(Doc(kChapterA));
    ASSERT_EQ(c.status, 0) << c.error;
    std::vector<std::string> codes;
    std::vector<uint32_t> parents;
    std::vector<int> levels;
    for (const ParsedRecord &r : c.records) {
        codes.push_back(r.fields[0]);
        parents.push_back(r.parent);
        levels.push_back(r.level);
        EXPECT_EQ(r.index, codes.size() - 1);
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"ICD10CM.tabular", "A00-B99", "A00-A09", "A00",
                                                "A00.0", "A00.1", "A01", "B10-B10", "B10"}));
    EXPECT_EQ(parents, (std::vector<uint32_t>{0xFFFFFFFF, 0, 1, 2, 3, 3, 2, 1, 7}));
    EXPECT_EQ(levels, (std::vector<int>{0, 1, 2, 3, 4, 4, 3, 2, 3}));
}

TEST(ConvertRecords, LeafFlagMarksExactlyTheRecordsWithoutChildren)
{
    Conversion c = Convert(Doc(kChapterA + std::string("<chapter><name>2</name>"
                                                       "<desc>Empty (C00-D49)</desc></chapter>")));
    ASSERT_EQ(c.status, 0) << c.error;
    std::vector<uint16_t> flags;
    for (const ParsedRecord &r : c.records) {
        flags.push_back(r.flags);
    }
    // root, chapter, section, A00, A00.0, A00.1, A01, B10-B10, B10, empty chapter
    EXPECT_EQ(flags, (std::vector<uint16_t>{0, 0, 0, 0, 2, 2, 2, 0, 2, 2}));
    EXPECT_EQ(c.summary.leafCount, 5u);
}

TEST(ConvertRecords, SummaryCountsKindsAndLevels)
{
    Conversion c = Convert(Doc(kChapterA));
    ASSERT_EQ(c.status, 0) << c.error;
    EXPECT_EQ(c.summary.recordCount, 9u);
    EXPECT_EQ(c.summary.chapterCount, 1u);
    EXPECT_EQ(c.summary.sectionCount, 2u);
    EXPECT_EQ(c.summary.codeCount, 5u);
    EXPECT_EQ(c.summary.levelCounts[3], 3u);
    EXPECT_EQ(c.summary.levelCounts[4], 2u);
}

// --- Codes and titles --------------------------------------------------------------------------

TEST(ConvertCodes, ChapterCodeIsTheRangeClosingItsDesc)
{
    Conversion c = Convert(Doc(kChapterA));
    ASSERT_EQ(c.status, 0) << c.error;
    EXPECT_EQ(c.records[1].fields[0], "A00-B99");
    EXPECT_EQ(c.records[1].fields[1], "Certain infectious diseases (A00-B99)");
}

TEST(ConvertCodes, ChapterWithoutRangeIsRefused)
{
    Conversion c = Convert(Doc("<chapter><name>7</name><desc>No range here</desc></chapter>"));
    EXPECT_EQ(c.status, ERR_INVFORMAT);
    EXPECT_NE(c.error.find("chapter 7"), std::string::npos) << c.error;
}

TEST(ConvertCodes, SectionOfOneCategoryGetsARangeOfThatCategory)
{
    Conversion c = Convert(Doc(kChapterA));
    ASSERT_EQ(c.status, 0) << c.error;
    EXPECT_EQ(c.records[2].fields[0], "A00-A09");
    EXPECT_EQ(c.records[7].fields[0], "B10-B10");
    EXPECT_EQ(c.records[8].fields[0], "B10");
}

TEST(ConvertCodes, DiagWithoutNameIsRefused)
{
    Conversion c = Convert(Doc("<chapter><name>1</name><desc>X (A00-B99)</desc>"
                               "<section id=\"A00-A09\"><desc>S</desc>"
                               "<diag><desc>nameless</desc></diag></section></chapter>"));
    EXPECT_EQ(c.status, ERR_INVFORMAT);
}

TEST(ConvertCodes, RepeatedCodeIsCountedAndReported)
{
    Conversion c = Convert(Doc("<chapter><name>1</name><desc>X (A00-B99)</desc>"
                               "<section id=\"A00-A09\"><desc>S</desc>"
                               "<diag><name>A00</name><desc>a</desc></diag>"
                               "<diag><name>A00</name><desc>b</desc></diag></section></chapter>"));
    ASSERT_EQ(c.status, 0) << c.error;
    EXPECT_EQ(c.summary.duplicateCodes, 1u);
    ASSERT_EQ(c.summary.warnings.size(), 1u);
    EXPECT_NE(c.summary.warnings[0].find("record 4"), std::string::npos);
}

// --- Notes -------------------------------------------------------------------------------------

TEST(ConvertNotes, ContainersMapToTheirFields)
{
    ParsedRecord r = ConvertDiag(
        "<diag><name>A00</name><desc>T</desc>"
        "<codeAlso><note>also</note></codeAlso><codeFirst><note>first</note></codeFirst>"
        "<excludes2><note>ex2</note></excludes2><excludes1><note>ex1</note></excludes1>"
        "<useAdditionalCode><note>use</note></useAdditionalCode>"
        "<includes><note>inc</note></includes></diag>");
    EXPECT_EQ(r.fields, (std::vector<std::string>{"A00", "T", "inc./", "use./", "ex1./", "ex2./",
                                                   "first./", "also./", ""}));
}

TEST(ConvertNotes, NotesFieldKeepsItsGroupOrderWhateverTheXmlOrder)
{
    ParsedRecord r = ConvertDiag(
        "<diag><name>A00</name><desc>T</desc>"
        "<sevenChrDef><extension char=\"A\">initial encounter</extension></sevenChrDef>"
        "<sevenChrNote><note>seventh</note></sevenChrNote>"
        "<notes><note>n1</note><note>n2</note></notes>"
        "<inclusionTerm><note>i1</note><note>i2</note></inclusionTerm></diag>");
    EXPECT_EQ(r.fields[8], "i1./i2./n1./n2./seventh./A initial encounter./");
}

TEST(ConvertNotes, SeventhCharactersAreCharacterThenText)
{
    ParsedRecord r = ConvertDiag(
        "<diag><name>H34.81</name><desc>T</desc><sevenChrDef>"
        "<extension char=\"0\">with macular edema</extension>"
        "<extension char=\"2\">stable</extension><note>Old occlusion</note>"
        "<extension char=\"9\">unspecified</extension></sevenChrDef></diag>");
    EXPECT_EQ(r.fields[8], "0 with macular edema./2 stable./Old occlusion./9 unspecified./");
}

TEST(ConvertNotes, ChildNotesAreNotInherited)
{
    Conversion c = Convert(Doc("<chapter><name>1</name><desc>X (A00-B99)</desc>"
                               "<excludes1><note>chapter note</note></excludes1>"
                               "<section id=\"A00-A09\"><desc>S</desc>"
                               "<diag><name>A00</name><desc>a</desc>"
                               "<excludes1><note>own</note></excludes1>"
                               "<diag><name>A00.0</name><desc>b</desc></diag></diag>"
                               "</section></chapter>"));
    ASSERT_EQ(c.status, 0) << c.error;
    EXPECT_EQ(c.records[1].fields[4], "chapter note./");
    EXPECT_EQ(c.records[2].fields[4], "");
    EXPECT_EQ(c.records[3].fields[4], "own./");
    EXPECT_EQ(c.records[4].fields[4], "");
}

TEST(ConvertNotes, SentenceEndBeforeItemEndGivesTwoDots)
{
    ParsedRecord r = ConvertDiag("<diag><name>A00</name><desc>T</desc>"
                                 "<notes><note>Ends a sentence.</note></notes></diag>");
    EXPECT_EQ(r.fields[8], "Ends a sentence../");
}

TEST(ConvertNotes, WhiteSpaceRunsBecomeOneBlankAndEmptyNotesVanish)
{
    ParsedRecord r = ConvertDiag("<diag><name> A00 </name><desc>\n  Long\n\t title  </desc>"
                                 "<includes><note>  a \r\n\t b  </note><note> \n </note>"
                                 "<note>c</note></includes></diag>");
    EXPECT_EQ(r.fields[0], "A00");
    EXPECT_EQ(r.fields[1], "Long title");
    EXPECT_EQ(r.fields[2], "a b./c./");
}

TEST(ConvertNotes, SemicolonIsWrittenAsCommaSoNoFieldSplits)
{
    Conversion c = Convert(Doc("<chapter><name>1</name><desc>X (A00-B99)</desc>"
                               "<section id=\"A00-A09\"><desc>S</desc>"
                               "<diag><name>C92.0</name><desc>AML; acute</desc><inclusionTerm>"
                               "<note>with t(8;21)</note><note>t(9;22) (q34;q11)</note>"
                               "</inclusionTerm></diag></section></chapter>"));
    ASSERT_EQ(c.status, 0) << c.error;
    ASSERT_EQ(c.records[3].fields.size(), 9u);
    EXPECT_EQ(c.records[3].fields[1], "AML, acute");
    EXPECT_EQ(c.records[3].fields[8], "with t(8,21)./t(9,22) (q34,q11)./");
    EXPECT_EQ(c.summary.semicolonTexts, 3u);
    EXPECT_EQ(c.summary.semicolonChars, 4u);
}

TEST(ConvertNotes, UnknownElementStopsTheConversionWithItsLine)
{
    Conversion c = Convert(Doc("<chapter><name>1</name><desc>X (A00-B99)</desc>\n"
                               "<section id=\"A00-A09\"><desc>S</desc>\n<oddity/></section>"
                               "</chapter>"));
    EXPECT_EQ(c.status, ERR_INVFORMAT);
    EXPECT_NE(c.error.find("line 4"), std::string::npos) << c.error;
    EXPECT_NE(c.error.find("<oddity>"), std::string::npos) << c.error;
    EXPECT_NE(c.error.find("A00-A09"), std::string::npos) << c.error;
    // Under the root too, and inside a 7th-character definition.
    c = Convert(Doc("<oddity/>"));
    EXPECT_EQ(c.status, ERR_INVFORMAT);
    c = Convert(Doc("<chapter><name>1</name><desc>X (A00-B99)</desc><section id=\"A00-A09\">"
                    "<desc>S</desc><diag><name>A00</name><desc>T</desc><sevenChrDef>"
                    "<extension char=\"A\">initial</extension><odd/></sevenChrDef></diag>"
                    "</section></chapter>"));
    EXPECT_EQ(c.status, ERR_INVFORMAT);
    EXPECT_NE(c.error.find("<odd>"), std::string::npos) << c.error;
}

// --- 7th-character entry ----------------------------------------------------------------------

static int32_t ConvertSevens(const std::string &diags, std::string *sevens, std::string *error)
{
    std::string xml = Doc("<chapter><name>1</name><desc>X (A00-B99)</desc>"
                          "<section id=\"S00-S09\"><desc>S</desc>" + diags +
                          "</section></chapter>");
    std::string bytes;
    ConvertSummary summary;
    return ConvertTabularXml(xml.data(), xml.size(), &bytes, &summary, error, sevens);
}

TEST(ConvertSevenths, EachDefinitionIsOneLineOfCharactersAndMeanings)
{
    std::string sevens, error;
    ASSERT_EQ(0, ConvertSevens("<diag><name>S06</name><desc>Head</desc><sevenChrDef>"
                               "<extension char=\"A\">initial encounter</extension>"
                               "<note>an inclusion</note>"
                               "<extension char=\"d\">subsequent  encounter</extension>"
                               "</sevenChrDef><diag><name>S06.0</name><desc>C</desc></diag></diag>"
                               "<diag><name>S07</name><desc>Crush</desc></diag>",
                               &sevens, &error)) << error;
    EXPECT_EQ(sevens, "D\tS06\tA\tinitial encounter\tD\tsubsequent encounter\n");
}

TEST(ConvertSevenths, RuleThatSomeCharactersDoNotApplyBecomesAnExclusionLine)
{
    std::string sevens, error;
    ASSERT_EQ(0, ConvertSevens("<diag><name>S06</name><desc>Head</desc><sevenChrDef>"
                               "<extension char=\"A\">initial encounter</extension>"
                               "<extension char=\"D\">subsequent encounter</extension>"
                               "<extension char=\"S\">sequela</extension></sevenChrDef>"
                               "<notes><note>7th characters D and S do not apply to codes in "
                               "category S06 with 6th character 7 - death due to brain injury, "
                               "or 8 - death due to other cause.</note></notes></diag>",
                               &sevens, &error)) << error;
    EXPECT_NE(sevens.find("X\tS06\t78\tDS\n"), std::string::npos) << sevens;
    // The same kind of rule in words the converter cannot read stops it.
    std::string bad = "<diag><name>S06</name><desc>Head</desc><notes><note>Note that 7th "
                      "character S does not apply here</note></notes></diag>";
    EXPECT_EQ(ERR_INVFORMAT, ConvertSevens(bad, &sevens, &error));
    EXPECT_NE(error.find("7th-character rule"), std::string::npos) << error;
}

TEST(ConvertSevenths, DefinitionWithoutCharactersOrWithABadCharacterIsRefused)
{
    std::string sevens, error;
    EXPECT_EQ(ERR_INVFORMAT, ConvertSevens("<diag><name>S06</name><desc>H</desc><sevenChrDef>"
                                           "</sevenChrDef></diag>", &sevens, &error));
    EXPECT_EQ(ERR_INVFORMAT, ConvertSevens("<diag><name>S06</name><desc>H</desc><sevenChrDef>"
                                           "<extension char=\"AB\">x</extension></sevenChrDef>"
                                           "</diag>", &sevens, &error));
    EXPECT_EQ(ERR_INVFORMAT, ConvertSevens("<diag><name>S06</name><desc>H</desc><sevenChrDef>"
                                           "<extension char=\"A\"> </extension></sevenChrDef>"
                                           "</diag>", &sevens, &error));
}

// --- Character set -----------------------------------------------------------------------------

TEST(ConvertCharacters, Latin1LettersBecomeSingleBytes)
{
    ParsedRecord r = ConvertDiag("<diag><name>A00</name><desc>Ménière Sjögren</desc></diag>");
    EXPECT_EQ(r.fields[1], "M\xE9ni\xE8re Sj\xF6gren");
}

TEST(ConvertCharacters, TypographicMarksUseTheCodePagesHighBlock)
{
    ParsedRecord r = ConvertDiag("<diag><name>A00</name><desc>it\xE2\x80\x99s \xE2\x80\x93 "
                                 "\xE2\x82\xAC</desc></diag>");
    EXPECT_EQ(r.fields[1], "it\x92s \x96 \x80");
}

TEST(ConvertCharacters, CharacterOutsideTheCodePageIsRefusedNamingRecordAndCharacter)
{
    Conversion c = Convert(Doc("<chapter><name>1</name><desc>X (A00-B99)</desc>"
                               "<section id=\"A00-A09\"><desc>S</desc>"
                               "<diag><name>A01.2</name><desc>T</desc><notes>"
                               "<note>caf&#x100;</note></notes></diag></section></chapter>"));
    EXPECT_EQ(c.status, ERR_INVVALUE);
    EXPECT_NE(c.error.find("A01.2"), std::string::npos) << c.error;
    EXPECT_NE(c.error.find("U+0100"), std::string::npos) << c.error;
    EXPECT_TRUE(c.bytes.empty());
}

TEST(ConvertCharacters, C1ControlCharacterIsRefused)
{
    Conversion c = Convert(Doc("<chapter><name>1</name><desc>X&#x85; (A00-A09)</desc></chapter>"));
    EXPECT_EQ(c.status, ERR_INVVALUE);
    EXPECT_NE(c.error.find("U+0085"), std::string::npos) << c.error;
}

TEST(ConvertCharacters, MalformedUtf8IsRefused)
{
    std::string result;
    TextEncodeResult info = {};
    EXPECT_EQ(TextEncode("ab\xC3(", &result, &info), ERR_INVDATA);
    EXPECT_EQ(info.badCodePoint, 0xC3u);
    EXPECT_EQ(TextEncode("\xC0\xA9", &result, &info), ERR_INVDATA);  // overlong
    EXPECT_EQ(TextEncode("\xED\xA0\x80", &result, &info), ERR_INVDATA);  // surrogate
}

TEST(ConvertCharacters, Latin1DeclaredDocumentIsReadInItsEncoding)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><ICD10CM.tabular>"
                      "<chapter><name>1</name><desc>M\xE9ni\xE8re (A00-A09)</desc></chapter>"
                      "</ICD10CM.tabular>";
    Conversion c = Convert(xml);
    ASSERT_EQ(c.status, 0) << c.error;
    EXPECT_EQ(c.records[1].fields[1], "M\xE9ni\xE8re (A00-A09)");
}

// --- Refused input and the output file ---------------------------------------------------------

TEST(ConvertInput, MalformedXmlIsRefusedWithItsLine)
{
    Conversion c = Convert("<ICD10CM.tabular>\n<chapter>\n</ICD10CM.tabular>");
    EXPECT_EQ(c.status, ERR_INVFORMAT);
    EXPECT_NE(c.error.find("line 3"), std::string::npos) << c.error;
}

TEST(ConvertInput, OtherRootElementIsRefused)
{
    Conversion c = Convert("<ICD10CM.index><letter/></ICD10CM.index>");
    EXPECT_EQ(c.status, ERR_INVFORMAT);
}

TEST(ConvertInput, LineTheLoaderWouldCutIsRefused)
{
    std::string notes;
    for (int i = 0; i < 700; i++) {
        notes += "<note>" + std::string(100, 'x') + "</note>";
    }
    Conversion c = Convert(Doc("<chapter><name>1</name><desc>X (A00-B99)</desc><notes>" + notes +
                               "</notes></chapter>"));
    EXPECT_EQ(c.status, ERR_TOOLONG);
    EXPECT_NE(c.error.find("record 1"), std::string::npos) << c.error;
}

TEST(ConvertFile, FailureLeavesTheOldOutputInPlace)
{
    std::string dir = testing::TempDir();
    std::string input = dir + "convert_bad.xml";
    std::string output = dir + "convert_out.dat";
    FILE *f = fopen(input.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("<ICD10CM.tabular><chapter><name>1</name><desc>&#x3B1; (A00-A09)</desc></chapter>"
          "</ICD10CM.tabular>", f);
    fclose(f);
    f = fopen(output.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("old", f);
    fclose(f);

    ConvertSummary summary;
    std::string error;
    EXPECT_EQ(ConvertTabularFile(input.c_str(), output.c_str(), &summary, &error), ERR_INVVALUE);
    EXPECT_EQ(ReadFile(output), "old");
    EXPECT_EQ(ConvertTabularFile((dir + "convert_missing.xml").c_str(), output.c_str(), &summary,
                                 &error), ERR_OPEN);
    EXPECT_EQ(ReadFile(output), "old");
    remove(input.c_str());
    remove(output.c_str());
}

TEST(ConvertFile, SuccessReplacesTheOutputWholly)
{
    std::string dir = testing::TempDir();
    std::string input = dir + "convert_good.xml";
    std::string output = dir + "convert_good.dat";
    std::string xml = Doc(kChapterA);
    FILE *f = fopen(input.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(xml.data(), 1, xml.size(), f);
    fclose(f);
    f = fopen(output.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs(std::string(100000, 'z').c_str(), f);
    fclose(f);

    ConvertSummary summary;
    std::string error;
    ASSERT_EQ(ConvertTabularFile(input.c_str(), output.c_str(), &summary, &error), 0) << error;
    Conversion direct = Convert(xml);
    EXPECT_EQ(ReadFile(output), direct.bytes);
    EXPECT_EQ(ConvertTabularFile(input.c_str(), (dir + "no/such/dir/x.dat").c_str(), &summary,
                                 &error), ERR_WRITE);
    remove(input.c_str());
    remove(output.c_str());
}

// --- The real release --------------------------------------------------------------------------

TEST(ConvertRelease, Fy2023GivesTheExpectedRecords)
{
#ifdef MORBIVUE_TABULAR_XML_PATH
    std::string xml = ReadFile(MORBIVUE_TABULAR_XML_PATH);
#else
    std::string xml;
#endif
    if (xml.find("<version>2023</version>") == std::string::npos) {
        GTEST_SKIP() << "the FY2023 tabular XML is not the configured release";
    }
    Conversion c = Convert(xml);
    ASSERT_EQ(c.status, 0) << c.error;
    EXPECT_EQ(c.records.size(), 46188u);
    EXPECT_EQ(c.summary.chapterCount, 22u);
    EXPECT_EQ(c.summary.sectionCount, 296u);
    EXPECT_EQ(c.summary.codeCount, 45869u);
    EXPECT_EQ(c.summary.duplicateCodes, 0u);
    EXPECT_EQ(c.summary.semicolonTexts, 16u);
    EXPECT_LT(c.summary.longestLine, 7400u);
    EXPECT_LE(c.summary.longestField, 8192u);
    EXPECT_NEAR((double)c.bytes.size(), 4.79e6, 0.01e6);
    EXPECT_TRUE(c.summary.warnings.empty());
    std::string sevens, error;
    ConvertSummary summary;
    ASSERT_EQ(0, ConvertTabularXml(xml.data(), xml.size(), &c.bytes, &summary, &error, &sevens));
    size_t defs = 0, rules = 0;
    for (size_t at = 0; at < sevens.size(); at = sevens.find('\n', at) + 1) {
        defs += sevens.compare(at, 2, "D\t") == 0;
        rules += sevens.compare(at, 2, "X\t") == 0;
    }
    EXPECT_EQ(defs, 507u);
    EXPECT_EQ(rules, 1u);
    EXPECT_NE(sevens.find("D\tS52\tA\tinitial encounter for closed fracture\tB\t"),
              std::string::npos);
    for (const ParsedRecord &r : c.records) {
        ASSERT_EQ(r.fields.size(), 9u) << r.fields[0];
        ASSERT_TRUE(r.parent == 0xFFFFFFFF || r.parent < r.index) << r.fields[0];
        EXPECT_EQ(r.fields[0].find(' '), std::string::npos) << r.fields[0];
    }
}
