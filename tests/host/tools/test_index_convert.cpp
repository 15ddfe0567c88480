// Tests of the index XML converter on small documents written here (every element kind, and
// each way a document is refused), and on the FY2023 files when the build found them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/status.h"
#include "tools/convert/index_converter.h"

namespace {

struct Converted {
    int32_t status;
    std::string out;
    std::string error;
    IndexConvertSummary summary;
};

Converted Convert(const std::string &xml, const char *kind = "external")
{
    Converted c;
    c.status = ConvertIndexXml(xml.data(), xml.size(), kind, &c.out, &c.summary, &c.error);
    return c;
}

std::string Doc(const std::string &body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ICD10CM.index>\n" + body +
           "</ICD10CM.index>\n";
}

}  // namespace

TEST(IndexConvert, WritesEveryElementKindInItsLine)
{
    Converted c = Convert(Doc(
        "<version>2023</version>\n"
        "<title>Some Index</title>\n"
        "<indexHeading><head col=\"1\">Substance</head><head col=\"2\">Poisoning  A</head>"
        "</indexHeading>\n"
        "<letter><title>A</title>\n"
        " <mainTerm><title>Aspirin<nemod>(aluminum)</nemod> NEC</title>\n"
        "  <cell col=\"2\">T39.011</cell><cell col=\"3\">--</cell>\n"
        "  <term level=\"1\"><title>sedatives; hypnotics</title><see>Drug, sedative</see>\n"
        "   <seeAlso>Other<nemod>(x)</nemod></seeAlso><code>X58</code><seecat>T71</seecat>\n"
        "   <term level=\"2\"><title>deep</title><subcat>T75.0</subcat><manif>tongue</manif>"
        "</term>\n"
        "  </term>\n"
        " </mainTerm>\n"
        "</letter>\n"),
        "drug");
    ASSERT_EQ(c.status, 0) << c.error;
    EXPECT_EQ(c.out,
              "MORBIVUE-INDEX\t1\tdrug\n"
              "V\t2023\n"
              "D\tSome Index\n"
              "H\t1\tSubstance\n"
              "H\t2\tPoisoning A\n"
              "L\tA\n"
              "E\t0\tAspirin \x01(aluminum)\x02 NEC\n"
              "X\t2\tT39.011\n"
              "X\t3\t--\n"
              "E\t1\tsedatives; hypnotics\n"
              "S\tDrug, sedative\n"
              "A\tOther \x01(x)\x02\n"
              "C\tX58\n"
              "K\tT71\n"
              "E\t2\tdeep\n"
              "B\tT75.0\n"
              "M\ttongue\n");
    EXPECT_EQ(c.summary.letters, 1u);
    EXPECT_EQ(c.summary.mainTerms, 1u);
    EXPECT_EQ(c.summary.terms, 2u);
    EXPECT_EQ(c.summary.deepestLevel, 2u);
    EXPECT_EQ(c.summary.cells, 2u);
    EXPECT_EQ(c.summary.nemods, 2u);
    EXPECT_EQ(c.summary.outputBytes, c.out.size());
}

TEST(IndexConvert, TermElementsComeBeforeSubtermsWhereverTheyStand)
{
    Converted c = Convert(Doc("<letter><title>B</title><mainTerm><title>Bite</title>"
                              "<term level=\"1\"><title>dog</title><code>W54.0</code></term>"
                              "<code>W50.3</code></mainTerm></letter>"));
    ASSERT_EQ(c.status, 0) << c.error;
    EXPECT_EQ(c.out, "MORBIVUE-INDEX\t1\texternal\nL\tB\nE\t0\tBite\nC\tW50.3\n"
                     "E\t1\tdog\nC\tW54.0\n");
}

TEST(IndexConvert, LatinLettersBecomeWindows1252AndEmptyModifiersStay)
{
    Converted c = Convert(Doc("<letter><title>C</title><mainTerm><title>Caf\xC3\xA9<nemod/>"
                              "</title></mainTerm></letter>"));
    ASSERT_EQ(c.status, 0) << c.error;
    EXPECT_EQ(c.out, "MORBIVUE-INDEX\t1\texternal\nL\tC\nE\t0\tCaf\xE9 \x01\x02\n");
}

TEST(IndexConvert, RefusesWhatItDoesNotKnowNamingTheLine)
{
    struct Case {
        const char *body;
        int32_t status;
        const char *message;
    } cases[] = {
        {"<letter><title>A</title>\n<mainTerm><title>Ab</title>\n<tab>x</tab></mainTerm>"
         "</letter>",
         ERR_INVFORMAT, "line 5: unknown element <tab> in <mainTerm>"},
        {"<letter><title>A</title><mainTerm><title>Ab<i>x</i></title></mainTerm></letter>",
         ERR_INVFORMAT, "line 3: unknown element <i> in <title>"},
        {"<letter><title>A</title><mainTerm><title>Ab<nemod>(a<b/>)</nemod></title>"
         "</mainTerm></letter>",
         ERR_INVFORMAT, "unknown element <b> in <nemod>"},
        {"<colophon/>", ERR_INVFORMAT, "line 3: unknown element <colophon> in <ICD10CM.index>"},
        {"<letter><title>A</title><mainTerm><title>Ab</title><term level=\"2\"><title>x</title>"
         "</term></mainTerm></letter>",
         ERR_INVVALUE, "<term> at depth 1 has level=\"2\""},
        {"<letter><title>A</title><mainTerm><title>Ab</title><cell col=\"x\">A00</cell>"
         "</mainTerm></letter>",
         ERR_INVVALUE, "<cell> needs a col of 1 to 99"},
        {"<letter><title>A</title><mainTerm lang=\"en\"><title>Ab</title></mainTerm></letter>",
         ERR_INVFORMAT, "unknown attribute lang of <mainTerm>"},
        {"<letter><title>A</title><mainTerm><title>Ab</title>stray</mainTerm></letter>",
         ERR_INVFORMAT, "text directly inside <mainTerm>"},
        {"<letter><title>A</title><mainTerm><code>A00</code></mainTerm></letter>",
         ERR_INVFORMAT, "<mainTerm> needs exactly one <title>"},
        {"<letter><title>A</title><mainTerm><title>\xE2\x80\xA8</title></mainTerm></letter>",
         ERR_INVVALUE, "U+2028"},
        {"<letter><title>A</title><mainTerm><title>\xC3</title></mainTerm></letter>",
         ERR_INVDATA, "malformed UTF-8"},
    };
    for (const Case &k : cases) {
        Converted c = Convert(Doc(k.body));
        EXPECT_EQ(c.status, k.status) << k.body;
        EXPECT_NE(c.error.find(k.message), std::string::npos) << c.error;
        EXPECT_EQ(c.out, "");
    }
    Converted deep = Convert(Doc([] {
        std::string s = "<letter><title>A</title><mainTerm><title>A</title>";
        for (int i = 1; i <= 16; i++) {
            s += "<term level=\"" + std::to_string(i) + "\"><title>t</title>";
        }
        for (int i = 1; i <= 16; i++) {
            s += "</term>";
        }
        return s + "</mainTerm></letter>";
    }()));
    EXPECT_EQ(deep.status, ERR_INVVALUE);
    EXPECT_NE(deep.error.find("deeper than level 15"), std::string::npos) << deep.error;
}

TEST(IndexConvert, RefusesOtherDocumentsAndKinds)
{
    Converted notXml = Convert("<ICD10CM.index>\n<letter>");
    EXPECT_EQ(notXml.status, ERR_INVFORMAT);
    EXPECT_NE(notXml.error.find("XML error"), std::string::npos);
    Converted tabular = Convert("<ICD10CM.tabular/>");
    EXPECT_EQ(tabular.status, ERR_INVFORMAT);
    EXPECT_NE(tabular.error.find("not <ICD10CM.index>"), std::string::npos);
    EXPECT_EQ(Convert(Doc(""), "diseases").status, ERR_INVPARAM);
    EXPECT_EQ(Convert(Doc(""), "index").status, 0);
}

TEST(IndexConvert, FileConversionNamesTheInputAndWritesNothingOnFailure)
{
    std::string in = testing::TempDir() + "index_convert_in.xml";
    std::string out = testing::TempDir() + "index_convert_out.dat";
    remove(out.c_str());
    FILE *f = fopen(in.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("<ICD10CM.index><letter><title>A</title><box/></letter></ICD10CM.index>", f);
    fclose(f);
    IndexConvertSummary summary = {};
    std::string error;
    EXPECT_EQ(ConvertIndexFile(in.c_str(), "index", out.c_str(), &summary, &error),
              ERR_INVFORMAT);
    EXPECT_EQ(error, in + ": line 1: unknown element <box> in <letter>");
    EXPECT_EQ(fopen(out.c_str(), "rb"), nullptr);
    EXPECT_EQ(ConvertIndexFile((in + ".missing").c_str(), "index", out.c_str(), &summary, &error),
              ERR_OPEN);
}

#ifdef MORBIVUE_EINDEX_XML_PATH
TEST(IndexConvert, ReleaseFilesConvertWithTheirPublishedCounts)
{
    IndexConvertSummary s = {};
    std::string error;
    std::string out = testing::TempDir() + "index_convert_release.dat";
    ASSERT_EQ(ConvertIndexFile(MORBIVUE_EINDEX_XML_PATH, "external", out.c_str(), &s, &error), 0)
        << error;
    EXPECT_EQ(s.letters, 22u);
    EXPECT_EQ(s.mainTerms, 314u);
    EXPECT_EQ(s.terms, 7687u);
    EXPECT_EQ(s.deepestLevel, 8u);
    EXPECT_EQ(s.codes, 6591u);
    EXPECT_EQ(s.sees, 791u);
    EXPECT_EQ(s.seeAlsos, 98u);
    EXPECT_EQ(s.subcats, 11u);
    EXPECT_EQ(s.seecats, 3u);
    // The Index to Diseases as published: CR LF line ends, level 9, a manif without a code.
    ASSERT_EQ(ConvertIndexFile(MORBIVUE_INDEX_XML_PATH, "index", out.c_str(), &s, &error), 0)
        << error;
    EXPECT_EQ(s.letters, 26u);
    EXPECT_EQ(s.mainTerms, 8060u);
    EXPECT_EQ(s.terms, 72058u);
    EXPECT_EQ(s.deepestLevel, 9u);
    EXPECT_EQ(s.codes, 61983u);
    EXPECT_EQ(s.sees, 12077u);
    EXPECT_EQ(s.seeAlsos, 1997u);
    EXPECT_EQ(s.manifs, 760u);
    EXPECT_EQ(s.subcats, 130u);
    EXPECT_EQ(s.seecats, 15u);
    EXPECT_EQ(s.nemods, 12493u);
    ASSERT_EQ(ConvertIndexFile(MORBIVUE_NEOPLASM_XML_PATH, "neoplasm", out.c_str(), &s, &error), 0)
        << error;
    EXPECT_EQ(s.terms, 1938u);
    EXPECT_EQ(s.cells, 10916u);
    EXPECT_EQ(s.manifs, 1u);
    EXPECT_EQ(s.headings, 7u);
    ASSERT_EQ(ConvertIndexFile(MORBIVUE_DRUG_XML_PATH, "drug", out.c_str(), &s, &error), 0)
        << error;
    EXPECT_EQ(s.mainTerms, 5175u);
    EXPECT_EQ(s.terms, 2248u);
    EXPECT_EQ(s.cells, 43182u);
    remove(out.c_str());
}

// A copy cut short stops with its file and line, and writes nothing.
TEST(IndexConvert, TruncatedReleaseFileIsRefused)
{
    FILE *in = fopen(MORBIVUE_INDEX_XML_PATH, "rb");
    ASSERT_NE(in, nullptr);
    std::string xml(4000000, '\0');
    xml.resize(fread(&xml[0], 1, xml.size(), in));
    fclose(in);
    std::string cut = testing::TempDir() + "index_convert_cut.xml";
    std::string out = testing::TempDir() + "index_convert_cut.dat";
    remove(out.c_str());
    FILE *f = fopen(cut.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(xml.data(), 1, xml.size(), f);
    fclose(f);
    IndexConvertSummary s = {};
    std::string error;
    EXPECT_EQ(ConvertIndexFile(cut.c_str(), "index", out.c_str(), &s, &error), ERR_INVFORMAT);
    EXPECT_EQ(error.rfind(cut + ": line ", 0), 0u) << error;
    EXPECT_NE(error.find("XML error"), std::string::npos) << error;
    EXPECT_EQ(fopen(out.c_str(), "rb"), nullptr);
    remove(cut.c_str());
}
#endif
