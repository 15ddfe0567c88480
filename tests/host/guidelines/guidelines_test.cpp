// The Official Guidelines as embedded: the section tree, every word of the body in the pages in
// order, search, code references and the record page's section, and the entry reader's refusals.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/status.h"
#include "guidelines/guideline_codes.h"
#include "guidelines/guideline_file.h"
#include "guidelines/guideline_page.h"
#include "guidelines/guideline_search.h"

namespace {

struct Loaded {
    GuidelineFile file = {};
    GuidelineCodeMap map = {};
    Loaded() {
        EXPECT_EQ(0, GuidelineFileLoadEmbedded(&file));
        EXPECT_EQ(0, GuidelineCodeMapBuild(&map, &file));
    }
    ~Loaded() {
        GuidelineCodeMapFree(&map);
        GuidelineFileFree(&file);
    }
};

void Append(void *context, const char *text, int32_t length) {
    ((std::string *)context)->append(text, (size_t)length);
}

std::string Page(const GuidelineFile *file, const char *id) {
    std::string text;
    PageSink sink = {&text, nullptr, nullptr, nullptr, Append};
    EXPECT_EQ(0, ComposeGuideline(file, GuidelineFind(file, id), &sink));
    return text;
}

std::vector<std::string> Words(const std::string &text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text + " ") {
        if (isalnum((unsigned char)c)) {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

}  // namespace

TEST(Guidelines, SectionsByTheirIds) {
    Loaded g;
    for (const char *id : {"I", "I.A", "I.A.1", "I.C.4.a", "I.C.4.a.3", "I.C.19.e.5(a)",
                           "I.C.1.d", "I.B.13", "II", "II.H", "III.B", "IV.A.1", "AppI"})
        EXPECT_GE(GuidelineFind(&g.file, id), 0) << id;
    EXPECT_STREQ("Diabetes mellitus", g.file.sections[GuidelineFind(&g.file, "I.C.4.a")].heading);
}

// Every word of the body, from "Section I." on, comes back from the top sections' pages in
// order; only the labels the IDs replace ("a.", "1)", "Section I.") and the footers are left out.
TEST(Guidelines, EveryWordOfTheBodyInOrder) {
    Loaded g;
    FILE *f = fopen(MORBIVUE_GUIDELINES_TXT, "rb");
    ASSERT_NE(nullptr, f);
    std::string body, line;
    char buffer[4096];
    int lineNumber = 0, footer = 0;
    while (fgets(buffer, sizeof buffer, f)) {
        line = buffer;
        lineNumber++;
        if (line.rfind("ICD-10-CM Official Guidelines for Coding and Reporting\n", 0) == 0) footer = 3;
        if (footer > 0) {
            footer--;
            continue;
        }
        if (lineNumber >= 299) body += line;
    }
    fclose(f);
    std::string pages;
    for (const char *id : {"I", "II", "III", "IV", "AppI"}) {
        // The heading lines lead with the ID, which the body does not print.
        const std::string page = Page(&g.file, id);
        for (size_t at = 0; at < page.size();) {
            size_t end = page.find('\n', at);
            std::string l = page.substr(at, end - at);
            size_t gap = l.find("  ");
            if (gap != std::string::npos && GuidelineFind(&g.file, l.substr(0, gap).c_str()) >= 0)
                l = l.substr(gap + 2);
            pages += l + "\n";
            at = end + 1;
        }
    }
    const std::vector<std::string> want = Words(body), got = Words(pages);
    size_t k = 0;
    for (size_t w = 0; w < want.size() && k < got.size(); w++) {
        if (want[w] == got[k]) {
            k++;
        } else {
            ASSERT_TRUE(want[w].size() <= 4 || want[w] == "Section" || want[w] == "Appendix")
                << "word " << w << " \"" << want[w] << "\" missing before \"" << got[k] << "\"";
        }
    }
    EXPECT_EQ(got.size(), k);
}

TEST(Guidelines, SearchFindsTheSections) {
    Loaded g;
    const struct {
        const char *words, *id;
    } cases[] = {{"sepsis organ dysfunction", "I.C.1.d"}, {"insulin oral", "I.C.4.a"},
                 {"uncertain diagnosis", "II.H"}, {"laterality", "I.B.13"}};
    for (const auto &c : cases) {
        int32_t hits[2000], count = 0;
        ASSERT_EQ(0, GuidelineSearch(&g.file, c.words, hits, 2000, &count));
        bool found = false;
        for (int32_t k = 0; k < count; k++) found |= hits[k] == GuidelineFind(&g.file, c.id);
        EXPECT_TRUE(found) << c.words;
        for (int32_t k = 1; k < count; k++)
            EXPECT_GE(g.file.sections[hits[k - 1]].depth, g.file.sections[hits[k]].depth);
    }
}

TEST(Guidelines, CodesLeadToTheirSections) {
    Loaded g;
    const struct {
        const char *code, *id;
    } cases[] = {{"E11.22", "I.C.4.a"}, {"T36.0X1", "I.C.19.e"}, {"Z68.41", "I.B.14"},
                 {"A41.9", "I.C.1"}};
    for (const auto &c : cases) {
        int32_t out[GUIDELINE_SECTIONS_SHOWN];
        const int32_t count = GuidelineSectionsOf(&g.file, &g.map, c.code, out, GUIDELINE_SECTIONS_SHOWN);
        bool found = false;
        for (int32_t k = 0; k < count; k++) found |= out[k] == GuidelineFind(&g.file, c.id);
        EXPECT_TRUE(found) << c.code;
    }
}

TEST(Guidelines, ReaderRefusesMalformedEntries) {
    for (const char *bad : {"", "P\ttext before a section\n", "S\t0\tI\tA\nX\tno tag\n",
                            "S\t9\tI\tToo deep\n", "S\t0\tI\tA\nS\t0\tI\tTwice\n", "S\t0\tI\n"}) {
        GuidelineFile file = {};
        EXPECT_EQ(ERR_INVDATA, GuidelineFileParse(bad, strlen(bad), &file)) << bad;
    }
}
