// The Official Guidelines as embedded: the section tree, the body's every character in the
// pages in order, section pages against the text, links, the code-to-section map, search, and
// the entry reader's refusals.
#include <gtest/gtest.h>

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
    int32_t Find(const char *id) const { return GuidelineFind(&file, id); }
};

// What a page shows: its text, and the text of each link.
struct Shown {
    std::string text, link;
    std::vector<std::string> links;
    bool inLink = false;
};

void Append(void *context, const char *text, int32_t length) {
    Shown *shown = (Shown *)context;
    shown->text.append(text, (size_t)length);
    if (shown->inLink) shown->link.append(text, (size_t)length);
}

void SetLink(void *context, int32_t on) {
    Shown *shown = (Shown *)context;
    if (!on && shown->inLink) shown->links.push_back(shown->link);
    shown->inLink = on != 0;
    shown->link.clear();
}

Shown Page(const Loaded &g, const char *id) {
    Shown shown;
    PageSink sink = {&shown, nullptr, nullptr, SetLink, Append};
    EXPECT_EQ(0, ComposeGuideline(&g.file, g.Find(id), &sink)) << id;
    return shown;
}

// The text without its blanks and the symbol font's bullet as a bullet: what the converter may
// not change.
std::string Ink(const std::string &utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); i++) {
        const char c = utf8[i];
        if (c == ' ' || c == '\n' || c == '\t' || c == '\r') continue;
        if (utf8.compare(i, 3, "\xEF\x82\xA7") == 0) {
            out += "\xE2\x80\xA2";
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

// A page's Windows-1252 read back as the source's UTF-8 (the few characters it has).
std::string FromWindows1252(const std::string &text) {
    static const char *const kUtf8[] = {"\xE2\x80\x98", "\xE2\x80\x99", "\xE2\x80\x9C",
                                        "\xE2\x80\x9D", "\xE2\x80\xA2", "\xE2\x80\x93"};
    std::string out;
    for (const char c : text) {
        const unsigned char u = (unsigned char)c;
        if (u >= 0x91 && u <= 0x96) out += kUtf8[u - 0x91];
        else out += c;
    }
    return out;
}

// A section's label as the body prints it before its heading.
std::string Label(const GuidelineSection &s) {
    const std::string id = s.id;
    if (id == "AppI") return "Appendix I";
    if (s.depth == 0) return "Section " + id + ".";
    const size_t cut = id.find_last_of(".(");
    std::string last = id.substr(cut + 1);
    if (s.depth == 4) return last + ")";
    if (s.depth >= 5) return "(" + last;
    return last + ".";
}

// Section n's page as the body prints it: each heading line's ID given back as its label.
std::string AsPrinted(const Loaded &g, int32_t n) {
    const std::string page = Page(g, g.file.sections[n].id).text;
    std::string out;
    for (size_t at = 0; at < page.size();) {
        size_t end = page.find('\n', at);
        std::string line = page.substr(at, end - at);
        const size_t gap = line.find("  ");
        const int32_t section =
            gap == std::string::npos ? -1 : g.Find(line.substr(0, gap).c_str());
        if (section >= 0 && line.compare(0, gap, g.file.sections[section].id) == 0)
            line = Label(g.file.sections[section]) + " " + line.substr(gap + 2);
        if (line.compare(0, 1, "\x95") == 0) line = "\x95" + line.substr(2);
        out += line + "\n";
        at = end + 1;
    }
    return FromWindows1252(out);
}

// The source's body, from the heading of Section I on, footers dropped.
std::string SourceBody() {
    FILE *f = fopen(MORBIVUE_GUIDELINES_TXT, "rb");
    EXPECT_NE(nullptr, f) << MORBIVUE_GUIDELINES_TXT;
    std::string body;
    if (!f) return body;
    char buffer[4096];
    int footer = 0, seen = 0;
    while (fgets(buffer, sizeof buffer, f)) {
        const std::string line = buffer;
        if (line.rfind("Section I. Conventions", 0) == 0) seen++;
        if (line == "ICD-10-CM Official Guidelines for Coding and Reporting\n") footer = 3;
        if (footer > 0) {
            footer--;
        } else if (seen >= 2) {  // the first is the contents'
            body += line;
        }
    }
    fclose(f);
    return body;
}

}  // namespace

TEST(Guidelines, SectionsByTheirIds) {
    Loaded g;
    EXPECT_EQ(492, g.file.sectionCount);
    const struct {
        const char *id, *heading;
    } cases[] = {
        {"I", "Conventions, general coding guidelines and chapter specific guidelines"},
        {"I.A", "Conventions for the ICD-10-CM"},
        {"I.A.1", "The Alphabetic Index and Tabular List"},
        {"I.B.13", "Laterality"},
        {"I.B.20", "Multiple Sites Coding"},  // the body has it, the contents do not
        {"I.C.4.a", "Diabetes mellitus"},
        {"I.C.4.a.3", "Diabetes mellitus and the use of insulin, oral hypoglycemics, and "
                      "injectable non-insulin drugs"},
        {"I.C.19.e.5(a)", "Adverse Effect"},
        {"I.C.19.e.5(b)(i)", "Error was made in drug prescription"},
        {"I.C.19.e.5(b)(iii)", "Nonprescribed drug taken with correctly prescribed and properly "
                               "administered drug"},
        {"I.C.1.a.2(i)", "Encounters for HIV testing"},  // the letter after (h)
        {"I.C.1.d.1(a)(i)", "Negative or inconclusive blood cultures and sepsis"},
        {"II", "Selection of Principal Diagnosis"},
        {"II.H", "Uncertain Diagnosis"},
        {"III.B", "Abnormal findings"},
        {"IV.A.1", "Outpatient Surgery"},
        {"AppI", "Present on Admission Reporting Guidelines"},
    };
    for (const auto &c : cases) {
        const int32_t n = g.Find(c.id);
        ASSERT_GE(n, 0) << c.id;
        EXPECT_STREQ(c.id, g.file.sections[n].id);
        EXPECT_STREQ(c.heading, g.file.sections[n].heading) << c.id;
    }
}

// Printing the top sections gives the body back: every character but the blanks, in order,
// with only the footers left out and the IDs standing for the labels.
TEST(Guidelines, TopSectionsGiveTheBodyWhole) {
    Loaded g;
    std::string pages;
    for (const char *id : {"I", "II", "III", "IV", "AppI"}) pages += AsPrinted(g, g.Find(id));
    const std::string want = Ink(SourceBody()), got = Ink(pages);
    size_t same = 0;
    while (same < want.size() && same < got.size() && want[same] == got[same]) same++;
    EXPECT_EQ(same, want.size()) << "differs at \"" << want.substr(same, 60) << "\" / \""
                                 << got.substr(same, 60) << "\"";
    EXPECT_EQ(got.size(), want.size());
}

// A section's page is the body from its heading to the next section's, no more.
TEST(Guidelines, PagesAgainstTheText) {
    Loaded g;
    const std::string body = Ink(SourceBody());
    for (const char *id : {"I.C.4.a.3", "I.C.19.e.5(a)", "II.H"}) {
        const int32_t n = g.Find(id);
        const GuidelineSection &next = g.file.sections[g.file.sections[n].end];
        const std::string page = Ink(AsPrinted(g, n));
        const std::string following = Ink(Label(next) + next.heading);
        EXPECT_NE(body.find(page + following), std::string::npos) << id;
        EXPECT_GT(page.size(), 200u) << id;
    }
}

TEST(Guidelines, CodesAndReferencesAreLinks) {
    Loaded g;
    const struct {
        const char *id;
        std::vector<std::string> links;  // in order, among the page's links
    } cases[] = {
        {"I.A.1", {"Section I.C.2", "Section I.C.19"}},
        {"I.C.4.a.3", {"E11-", "Z79", "Z79.4", "Z79.84", "Z79.85"}},
        {"I.C.19.e.5(a)", {"T36-T50", "T36.0X5-"}},
        {"I.C.10.e", {"Section I.C.1.g.1.c.i"}},  // the dots for (c)(i)
        {"I.C.19.g.3(a)", {"I.C.1.d.4"}},         // "See I.C.1.d.4." without "Section"
        {"I.C.2.m", {"Z85.0 \x96 Z85.85"}},
    };
    for (const auto &c : cases) {
        const Shown shown = Page(g, c.id);
        size_t k = 0;
        for (const std::string &link : shown.links) k += k < c.links.size() && link == c.links[k];
        EXPECT_EQ(k, c.links.size()) << c.id << ": " << testing::PrintToString(shown.links);
    }
}

TEST(Guidelines, CodesLeadToTheirSections) {
    Loaded g;
    const struct {
        const char *code;
        std::vector<std::string> ids;  // among the sections, deepest first
    } cases[] = {
        {"E11.22", {"I.C.4.a.3", "I.C.4.a", "I.C.4"}},
        {"T36.0X1A", {"I.C.19.e.5(b)", "I.C.19.e", "I.C.19"}},
        {"Z68.41", {"I.C.21.c.3", "I.C.21"}},
        {"QA0.0", {"I.C.17"}},                            // a category of two letters
        {"E08-E13", {"I.C.4.a"}},                         // a block: the codes inside it
        {"R65.20", {"I.C.1.d.1(b)", "I.C.18"}},           // more than shown: the chapter kept
        {"U07.1", {"I.C.1.g.1(a)", "I.C.1", "I.C.22"}},
    };
    for (const auto &c : cases) {
        int32_t out[GUIDELINE_SECTIONS_SHOWN];
        const int32_t count =
            GuidelineSectionsOf(&g.file, &g.map, c.code, out, GUIDELINE_SECTIONS_SHOWN);
        std::vector<std::string> got;
        for (int32_t k = 0; k < count; k++) got.push_back(g.file.sections[out[k]].id);
        size_t k = 0;
        for (const std::string &id : got) k += k < c.ids.size() && id == c.ids[k];
        EXPECT_EQ(k, c.ids.size()) << c.code << ": " << testing::PrintToString(got);
        for (int32_t k = 1; k < count; k++)
            EXPECT_GE(g.file.sections[out[k - 1]].depth, g.file.sections[out[k]].depth) << c.code;
    }
}

TEST(Guidelines, SearchFindsTheSections) {
    Loaded g;
    const struct {
        const char *words, *id;  // id null: no hit
    } cases[] = {{"sepsis organ dysfunction", "I.C.1.d"}, {"insulin oral", "I.C.4.a"},
                 {"UNCERTAIN diagnos", "II.H"},           {"laterality", "I.B.13"},
                 {"laterality zzyzx", nullptr},           {"ality", nullptr}};
    for (const auto &c : cases) {
        int32_t hits[600], count = 0;
        ASSERT_EQ(0, GuidelineSearch(&g.file, c.words, hits, 600, &count));
        bool found = false;
        for (int32_t k = 0; k < count; k++) found |= c.id && hits[k] == g.Find(c.id);
        EXPECT_EQ(found, c.id != nullptr) << c.words;
        if (!c.id) {
            EXPECT_EQ(count, 0) << c.words;
        }
        for (int32_t k = 1; k < count; k++)
            EXPECT_GE(g.file.sections[hits[k - 1]].depth, g.file.sections[hits[k]].depth);
    }
}

TEST(Guidelines, ReaderRefusesMalformedEntries) {
    for (const char *bad : {"", "P\ttext before a section\n", "S\t0\tI\tA\nX\tno tag\n",
                            "S\t9\tI\tToo deep\n", "S\t0\tI\tA\nS\t0\tI\tTwice\n", "S\t0\tI\n",
                            "S\t0\tI\tA\nP\t\n"}) {
        GuidelineFile file = {};
        EXPECT_EQ(ERR_INVDATA, GuidelineFileParse(bad, strlen(bad), &file)) << bad;
        EXPECT_EQ(nullptr, file.sections);
    }
}
