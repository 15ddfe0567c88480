// The guidelines' converter: a small text with each shape the real one has, texts it refuses
// with the heading or section named, and the real text's counts when the build found it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "foundation/status.h"
#include "tools/convert/guidelines_converter.h"

namespace {

#ifdef MORBIVUE_GUIDELINES_TXT_PATH
const char *const kRealText = MORBIVUE_GUIDELINES_TXT_PATH;
#else
const char *const kRealText = "";
#endif

const char kFooter[] = "ICD-10-CM Official Guidelines for Coding and Reporting\nFY 2026\nPage 1 of 3\n";

// Contents with a footer inside and a heading over two lines, a body with a footer mid-paragraph,
// the levels below the contents, symbol-font bullets, quoted text and the appendix.
std::string SmallText() {
    return std::string("Guidelines for testing\n"
                       "ICD-10-CM Official Guidelines for Coding and Reporting ........ 1\n"
                       "Section I. Conventions and rules ........ 2\n"
                       "A. Conventions ........ 2\n"
                       "1. The first rule ........ 2\n") +
           kFooter +
           "a. A lettered rule that goes on\nover two lines ........ 3\n"
           "Reserved for future guideline expansion .... 3\n"
           "Section II. Selection ......... 3\n"
           "Appendix I 3\n"
           "Present on Admission Reporting Guidelines ........ 3\n"
           "Section I. Conventions and rules\n"
           "A. Conventions\n"
           "1. The first rule\n"
           "Text of the first rule that runs on\n" +
           kFooter +
           "over the footer. Code E11.9 applies.\n"
           "a. A lettered rule that goes on over\ntwo lines\n"
           "1) A numbered level whose heading wraps and\ngoes on\n"
           "(a) Letter\n"
           "(i) Item one\n"
           "(ii)Item two\n"
           "\xEF\x82\xA7 clinical evaluation; or\n"
           "\xEF\x82\xA7 therapeutic treatment\n"
           "Reserved for future guideline expansion\n"
           "Section II. Selection\n"
           "Introduction\n"
           "These are words \xE2\x80\x9C" "quoted\xE2\x80\x9D.\n"
           "Appendix I\n"
           "Present on Admission Reporting Guidelines\n"
           "Last words.\n";
}

std::string Replace(std::string text, const std::string &from, const std::string &to) {
    const size_t at = text.rfind(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(GuidelinesConvert, SmallTextIntoSections) {
    std::string entry, error;
    GuidelinesConvertSummary summary;
    ASSERT_EQ(0, GuidelinesConvertText(SmallText(), &entry, &summary, &error)) << error;
    EXPECT_EQ(entry,
              "S\t0\tI\tConventions and rules\n"
              "S\t1\tI.A\tConventions\n"
              "S\t2\tI.A.1\tThe first rule\n"
              "P\tText of the first rule that runs on over the footer. Code E11.9 applies.\n"
              "S\t3\tI.A.1.a\tA lettered rule that goes on over two lines\n"
              "S\t4\tI.A.1.a.1\tA numbered level whose heading wraps and goes on\n"
              "S\t5\tI.A.1.a.1(a)\tLetter\n"
              "S\t6\tI.A.1.a.1(a)(i)\tItem one\n"
              "S\t6\tI.A.1.a.1(a)(ii)\tItem two\n"
              "B\tclinical evaluation; or\n"
              "B\ttherapeutic treatment\n"
              "P\tReserved for future guideline expansion\n"
              "S\t0\tII\tSelection\n"
              "P\tIntroduction\n"
              "P\tThese are words \x93quoted\x94.\n"
              "S\t0\tAppI\tPresent on Admission Reporting Guidelines\n"
              "P\tLast words.\n");
    EXPECT_EQ(summary.sections, 10);
    EXPECT_EQ(summary.contents, 6);
    EXPECT_EQ(summary.footers, 2);
}

TEST(GuidelinesConvert, RefusesWhatDoesNotMatch) {
    const struct {
        std::string text;
        const char *named;  // in the error
    } cases[] = {
        {Replace(SmallText(), "A. Conventions\n", "A. Conversions\n"), "\"A. Conventions\""},
        {Replace(SmallText(), "Section II. Selection\n", ""), "\"Section II. Selection\""},
        {Replace(SmallText(), "Reserved for future guideline expansion\n", ""),
         "\"Reserved for future guideline expansion\""},
        {Replace(SmallText(), "two lines\n", "two lines \xE4\xB8\x80\n"), "section I.A.1.a "},
        {"Section I. No contents\nText.\n", "no contents"},
    };
    for (const auto &c : cases) {
        std::string entry = "untouched", error;
        GuidelinesConvertSummary summary;
        EXPECT_EQ(ERR_INVDATA, GuidelinesConvertText(c.text, &entry, &summary, &error)) << c.named;
        EXPECT_NE(error.find(c.named), std::string::npos) << error;
        EXPECT_EQ(entry, "untouched");
    }
}

// Every contents heading, past the contents' first page too, is checked against the body.
TEST(GuidelinesConvert, RealTextWholeAndAHeadingMissing) {
    std::ifstream in(kRealText, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    if (text.empty()) GTEST_SKIP() << "no guidelines text at " << kRealText;
    std::string entry, error;
    GuidelinesConvertSummary summary;
    ASSERT_EQ(0, GuidelinesConvertText(text, &entry, &summary, &error)) << error;
    EXPECT_EQ(summary.contents, 227);
    EXPECT_EQ(summary.sections, 492);
    EXPECT_EQ(summary.footers, 120);
    EXPECT_EQ(summary.reworded, 1);
    EXPECT_EQ(summary.unlisted, 2);
    const std::string broken = Replace(text, "\na. Diabetes mellitus\n", "\na. Diabetic matters\n");
    ASSERT_NE(broken, text);
    EXPECT_EQ(ERR_INVDATA, GuidelinesConvertText(broken, &entry, &summary, &error));
    EXPECT_NE(error.find("\"a. Diabetes mellitus\""), std::string::npos) << error;
}
