// A page recorded as runs: the characters as the viewer counts them (a paragraph break one CR),
// each run of one format as the viewer would hold it, neighbours of the same format joined, and
// the marks of the search words splitting them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/page_find.h"
#include "classification/page_rtf.h"
#include "classification/page_runs.h"
#include "foundation/status.h"

namespace {

// One sink step: 'F' font (text = face, number = points, weight), 'E' effects (number = bold,
// weight = italic), 'L' link (number = on), 'T' text.
struct Step {
    char kind;
    const char *text;
    int32_t number = 0;
    uint16_t weight = 0;
};

void Play(PageRtf *rtf, const std::vector<Step> &steps) {
    const PageSink sink = PageRtfSink(rtf);
    for (const Step &s : steps) {
        if (s.kind == 'F') sink.setFont(sink.context, s.text, s.number, s.weight);
        if (s.kind == 'E') sink.setEffects(sink.context, s.number, s.weight, 0);
        if (s.kind == 'L') sink.setLink(sink.context, s.number);
        if (s.kind == 'T') sink.writeText(sink.context, s.text, (int32_t)strlen(s.text));
    }
}

// A run as "text|points weight b i u type colour link".
std::vector<std::string> Describe(const PageRuns &runs) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < runs.count; i++) {
        const PageRun &r = runs.runs[i];
        const RtfFormat &f = r.format;
        char s[64];
        snprintf(s, sizeof s, "|%d %u %d%d%d %d %d %d", (int)f.points, (unsigned)f.weight, f.bold,
                 f.italic, f.underline, f.underlineType, f.colour, f.link);
        out.push_back(std::string(runs.text + r.start, (size_t)r.length) + s);
    }
    return out;
}

struct RunsCase {
    const char *name;
    int32_t linkMode;
    std::vector<Step> steps;
    std::vector<std::string> runs;
};

TEST(PageRuns, EachRunHasTheFormatTheViewerWouldGiveIt) {
    const std::vector<RunsCase> cases = {
        {"an inline link ends in plain style", RTF_LINKS_INLINE,
         {{'F', "Arial", 10, 400}, {'T', "See "}, {'L', nullptr, 1}, {'T', "A00"},
          {'L', nullptr, 0}, {'T', "."}},
         {"See |10 400 000 1 0 0", "A00|10 500 101 2 2 1", ".|10 400 000 0 1 0"}},
        {"a range link gives back the bold before it", RTF_LINKS_RANGES,
         {{'F', "Arial", 10, 700}, {'T', "Neoplasm "}, {'L', nullptr, 1}, {'T', "C80.1"},
          {'L', nullptr, 0}, {'T', " lung"}},
         {"Neoplasm |10 700 100 1 0 0", "C80.1|10 500 101 2 2 1", " lung|10 700 100 1 0 0"}},
        {"breaks are one CR each, CR LF included; same formats join", RTF_LINKS_INLINE,
         {{'F', "Arial", 12, 700}, {'T', "A00\r\n"}, {'T', "B\n"}, {'E', nullptr, 1, 0},
          {'T', "C\r"}},
         {"A00\rB\rC\r|12 700 100 1 0 0"}},
        {"italic after a heading font", RTF_LINKS_INLINE,
         {{'F', "Arial", 14, 700}, {'T', "T80\n"}, {'F', "Arial", 10, 400}, {'E', nullptr, 0, 1},
          {'T', "Note"}},
         {"T80\r|14 700 100 1 0 0", "Note|10 400 010 1 0 0"}},
    };
    for (const RunsCase &c : cases) {
        PageRtf rtf = {};
        PageRuns runs = {};
        ASSERT_EQ(PageRtfRecordRuns(&rtf, &runs), 0);
        ASSERT_EQ(PageRtfBegin(&rtf, c.linkMode), 0);
        Play(&rtf, c.steps);
        ASSERT_EQ(PageRtfEnd(&rtf), 0);
        EXPECT_EQ(Describe(runs), c.runs) << c.name;
        EXPECT_EQ(runs.length, rtf.characters) << c.name;
        // A second page starts empty and keeps the memory.
        ASSERT_EQ(PageRtfBegin(&rtf, c.linkMode), 0);
        EXPECT_EQ(runs.count, 0) << c.name;
        EXPECT_EQ(runs.length, 0) << c.name;
        PageRtfFree(&rtf);
        PageRunsFree(&runs);
    }
}

TEST(PageRuns, MarksSplitTheRunsTheyCross) {
    struct MarkCase {
        const char *name;
        std::vector<std::pair<int32_t, int32_t>> marks;
        const char *runs;  // each run's text, a marked one in brackets
    };
    const std::vector<MarkCase> cases = {
        {"inside one run", {{2, 4}}, "ab|[cd]|e|XY|gh"},
        {"across three runs", {{3, 8}}, "abc|[de]|[XY]|[g]|h"},
        {"whole runs, at the text's ends", {{0, 5}, {7, 9}}, "[abcde]|XY|[gh]"},
        {"two in one run", {{0, 1}, {3, 4}}, "[a]|bc|[d]|e|XY|gh"},
        {"outside the text, empty, reversed: refused", {{8, 10}, {2, 2}, {4, 1}}, "abcde|XY|gh"},
    };
    const RtfFormat plain = {0, 10, 400, 0, 0, 0, RTF_UNDERLINE_SINGLE, RTF_COLOUR_AUTO, 0};
    RtfFormat link = plain;
    link.link = 1;
    for (const MarkCase &c : cases) {
        PageRuns runs = {};
        for (const char *p = "abcdeXYgh"; *p; p++)
            PageRunsAdd(&runs, (*p == 'X' || *p == 'Y') ? &link : &plain, *p);
        for (const auto &m : c.marks) {
            const bool inside = m.first >= 0 && m.second <= runs.length && m.first < m.second;
            EXPECT_EQ(PageRunsMark(&runs, m.first, m.second), inside ? 0 : ERR_INVPARAM) << c.name;
        }
        std::string seen;
        for (int32_t i = 0; i < runs.count; i++) {
            const PageRun &r = runs.runs[i];
            const std::string text(runs.text + r.start, (size_t)r.length);
            seen += (i ? "|" : "") + (r.marked ? "[" + text + "]" : text);
        }
        EXPECT_EQ(seen, c.runs) << c.name;
        PageRunsFree(&runs);
    }
}

TEST(PageTextFind, FindsAsTheViewerDoesWithCaseIgnored) {
    const char *text = "Fracture of FEMUR; M\xc9NI\xc8RE's; \x9a\xff end";
    struct FindCase {
        const char *word;
        int32_t from;
        int32_t at;
    };
    const std::vector<FindCase> cases = {
        {"fracture", 0, 0},   {"femur", 0, 12},      {"femur", 13, -1},
        {"m\xe9ni\xe8re", 0, 19}, {"\x8a\x9f", 0, 30}, {"END", 0, 33},
        {"end ", 0, -1},      {"", 0, -1},           {"of", 40, -1},
    };
    for (const FindCase &c : cases)
        EXPECT_EQ(PageTextFind(text, (int32_t)strlen(text), c.word, c.from), c.at) << c.word;
    EXPECT_EQ(PageTextFind(nullptr, 0, "a", 0), -1);
    EXPECT_EQ(PageTextFind(text, 5, "fracture", 0), -1);  // only within the length given
}

}  // namespace
