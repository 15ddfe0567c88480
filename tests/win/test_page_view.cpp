// Pages inserted as runs and pages streamed as RTF look exactly as pages appended piece by piece:
// over a spread of record and index pages, the same text and, at every character, the same font,
// size, weight, effects, colours and link effect. The piecewise output is the reference it has
// always been.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "feature_support.h"
#include "ui/index_tab.h"
#include "ui/page_view.h"
#include "ui/rich_text_view.h"
#include "ui/record_page.h"
#include "ui_test_support.h"

namespace {

class PageViewTest : public FeatureSuite<PageViewTest> {};

// What the user sees of a character: colours as drawn (automatic ones resolved), the underline
// type only where a line is drawn.
std::string Seen(const CHARFORMAT2A &f) {
    const DWORD effects = f.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_LINK);
    const COLORREF text =
        (f.dwEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : f.crTextColor;
    const COLORREF back =
        (f.dwEffects & CFE_AUTOBACKCOLOR) ? GetSysColor(COLOR_WINDOW) : f.crBackColor;
    char s[160];
    snprintf(s, sizeof s, "%s %ld w%u fx%lx ul%d fg%06lx bg%06lx", f.szFaceName, (long)f.yHeight,
             (unsigned)f.wWeight, (unsigned long)effects,
             (f.dwEffects & CFE_UNDERLINE) ? (int)f.bUnderlineType : -1, (unsigned long)text,
             (unsigned long)back);
    return s;
}

struct Shown {
    std::string text;
    std::vector<std::string> formats;  // one per character
};

// 1 when every character of [from, to) has the same format as far as the viewer tells.
bool Uniform(HWND viewer, int32_t from, int32_t to) {
    const DWORD all = CFM_FACE | CFM_SIZE | CFM_WEIGHT | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE |
                      CFM_UNDERLINETYPE | CFM_LINK | CFM_COLOR | CFM_BACKCOLOR;
    SendMessageA(viewer, EM_SETSEL, from, to);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof(format);
    SendMessageA(viewer, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&format);
    return (format.dwMask & all) == all;
}

// Reads the formats run by run: a run's end is found by doubling, then halving, its length.
Shown Read(HWND viewer) {
    Shown shown;
    shown.text = ViewerText(viewer);
    const int32_t n = (int32_t)shown.text.size();
    SendMessageA(viewer, EM_HIDESELECTION, TRUE, 0);
    for (int32_t p = 0; p < n;) {
        const std::string seen = Seen(FormatAt(viewer, p));
        int32_t good = p + 1, bad = n + 1;
        while (good < n) {
            const int32_t next = std::min(n, p + 2 * (good - p));
            if (!Uniform(viewer, p, next)) {
                bad = next;
                break;
            }
            good = next;
        }
        while (bad - good > 1 && good < n) {
            const int32_t mid = good + (bad - good) / 2;
            (Uniform(viewer, p, mid) ? good : bad) = mid;
        }
        shown.formats.insert(shown.formats.end(), (size_t)(good - p), seen);
        p = good;
    }
    SendMessageA(viewer, EM_HIDESELECTION, FALSE, 0);
    return shown;
}

// The first difference of the two renderings, or "" when they agree.
std::string Compare(const Shown &reference, const Shown &streamed) {
    if (reference.text != streamed.text) return "text differs:\n" + reference.text + "\n---\n" + streamed.text;
    for (size_t i = 0; i < reference.formats.size(); i++)
        if (reference.formats[i] != streamed.formats[i])
            return "at " + std::to_string(i) + " ('" + reference.text.substr(i, 12) +
                   "'): " + reference.formats[i] + " / " + streamed.formats[i];
    return "";
}

// The first difference of the runs or the stream from the pieces; each way must really be taken.
template <class ShowFn>
std::string EveryWay(BrowserWindow *w, ShowFn show) {
    PageViewSetMode(w, PAGE_VIEW_PIECES);
    show();
    const Shown reference = Read(w->viewer.handle);
    for (int32_t way : {PAGE_VIEW_RUNS, PAGE_VIEW_STREAM}) {
        PageViewSetMode(w, way);
        show();
        const char *name = way == PAGE_VIEW_RUNS ? "runs: " : "stream: ";
        if (PageViewLastWay(w) != way) return std::string(name) + "not taken";
        const std::string difference = Compare(reference, Read(w->viewer.handle));
        if (!difference.empty()) return name + difference;
    }
    return "";
}

TEST_F(PageViewTest, RecordPagesLookTheSameEveryWay) {
    std::vector<int32_t> pages;
    const uint32_t count = w->table.recordCount;
    for (uint32_t i = 0; i < 200; i++) pages.push_back((int32_t)((uint64_t)i * count / 200));
    // The busiest pages, a split code, unknown-code underlines after links, a 7th character table.
    for (const char *code : {"T80-T88", "S72.456", "D13.9", "O99.89", "S52.121", "E11.22"})
        pages.push_back(RecordOf(w, code));
    // The search word highlighted, on a page where it stands several times.
    ASSERT_EQ(SearchRecords(&w->search, &w->table, "fracture", nullptr, nullptr), 0);
    for (int32_t r : pages) {
        ASSERT_GE(r, 0);
        const TextRecord *record = &w->table.records[r];
        const std::string difference = EveryWay(w, [&] {
            ShowRecordPage(w, PAGE_KIND_RECORD, record, w->table.records, 0);
        });
        EXPECT_EQ(difference, "") << RecordField(record, FIELD_CODE);
    }
}

TEST_F(PageViewTest, IndexPagesLookTheSameEveryWay) {
    ASSERT_EQ(IndexTabLoad(w), 0);
    const IndexSet *set = &w->indexTab->set;
    ASSERT_EQ(IndexSearchInWindow(w, "neoplasm"), 0);  // its words highlighted too
    std::vector<int32_t> entries;
    for (int32_t i = 0; i < 20; i++) entries.push_back((int32_t)((int64_t)i * set->entryCount / 20));
    entries.push_back(set->base[INDEX_KIND_NEOPLASM]);  // "Neoplasm, neoplastic": 599 links
    for (int32_t n : entries) {
        const std::string difference = EveryWay(w, [&] { ShowIndexPage(w, n, 0); });
        EXPECT_EQ(difference, "") << "entry " << n;
    }
}

}  // namespace
