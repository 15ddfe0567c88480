// Soak: random user actions on the real window (tree selections, link clicks, back, forward,
// searches, hit clicks, tab switches, the check box, the help page). No crash, no tracer error
// at any time, and the live blocks back to their start-up level once the window is closed.
// The normal run makes 500 actions; the full soak is 5,000:
//   MORBIVUE_SOAK_ACTIONS=5000 wine64 test_ui.exe --gtest_filter='Soak*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "feature_support.h"
#include "ui/tree_items.h"
#include "ui_test_support.h"

namespace {

int32_t SoakActions() {
    const char *text = getenv("MORBIVUE_SOAK_ACTIONS");
    int32_t n = text ? atoi(text) : 0;
    return n > 0 ? n : 500;
}

class Soak {
public:
    Soak(BrowserWindow *w, uint32_t seed) : w(w), random(seed) {}

    // One random action as the user would make it; returns its name for the failure message.
    const char *Act() {
        switch (Pick(9)) {
        case 0: SelectTreeItem(); return "tree selection";
        case 1: ClickLink(); return "link click";
        case 2: Press(w->backButton.handle); return "back";
        case 3: Press(w->forwardButton.handle); return "forward";
        case 4: Search(); return "search";
        case 5: ClickHit(); return "hit click";
        case 6: SwitchTab(); return "tab switch";
        case 7: Press(w->showWordCheck.handle); return "check box";
        default:
            if (Pick(4) == 0) {
                SendMessageA(w->viewer.handle, WM_CHAR, 8, 0);
                PumpMessages();
                return "backspace";
            }
            Press(w->infoButton.handle);
            return "help page";
        }
    }

private:
    uint32_t Pick(uint32_t n) { return (uint32_t)(random() % n); }

    void Press(HWND button) {
        SendMessageA(button, BM_CLICK, 0, 0);
        PumpMessages();
    }

    void SelectTreeItem() {
        uint32_t r = Pick(w->table.recordCount);
        SendMessageA(w->tree.handle, TVM_SELECTITEM, TVGN_CARET, (LPARAM)TreeItemFor(w, r));
        PumpMessages();
    }

    // Presses the left button on a random link run of the page, as the viewer reports it.
    void ClickLink() {
        std::string text = ViewerText(w->viewer.handle);
        if (text.empty()) return;
        int32_t start = (int32_t)Pick((uint32_t)text.size());
        for (int32_t i = 0; i < (int32_t)text.size(); i++) {
            int32_t at = (start + i) % (int32_t)text.size();
            if (!(FormatAt(w->viewer.handle, at).dwEffects & CFE_LINK)) continue;
            int32_t from = at, to = at + 1;
            while (from > 0 && (FormatAt(w->viewer.handle, from - 1).dwEffects & CFE_LINK)) from--;
            while (to < (int32_t)text.size() && (FormatAt(w->viewer.handle, to).dwEffects & CFE_LINK))
                to++;
            if (text.compare(from, to - from, "Create Icon") == 0) return;  // no boxes here
            SendLinkPress(w, from, to);
            PumpMessages();
            return;
        }
    }

    void Search() {
        static const char *words[] = {"cholera", "diabetes", "fracture", "ab", "", "A01.0",
                                      "zzzqqq", "90%", "%s%n", "type 2", "HEPATITIS", "of",
                                      "e1122",   "S52121A", "diab kidn", "pressure ulcr heel"};
        SetWindowTextA(w->searchEdit.handle, words[Pick(sizeof words / sizeof *words)]);
        if (Pick(2)) {
            Press(w->findButton.handle);
        } else {
            SendMessageA(w->searchEdit.handle, WM_CHAR, '\r', 0);
            PumpMessages();
        }
    }

    void ClickHit() {
        int32_t rows = (int32_t)SendMessageA(w->list.handle, LVM_GETITEMCOUNT, 0, 0);
        NMITEMACTIVATE item = {};
        item.hdr.hwndFrom = w->list.handle;
        item.hdr.code = LVN_ITEMACTIVATE;
        item.iItem = rows > 0 ? (int)Pick((uint32_t)rows + 1) : 0;  // one row beyond the end
        SendMessageA(w->window, WM_NOTIFY, 0, (LPARAM)&item);
        PumpMessages();
    }

    void SwitchTab() {
        int tab = (int)Pick(2);
        SendMessageA(w->tab.handle, TCM_SETCURSEL, tab, 0);
        NMHDR hdr = {w->tab.handle, 0, (UINT)TCN_SELCHANGE};
        SendMessageA(w->window, WM_NOTIFY, 0, (LPARAM)&hdr);
        PumpMessages();
    }

    BrowserWindow *w;
    std::mt19937 random;
};

TEST(SoakTest, RandomUserActionsLeaveNoErrorAndNoLiveBlock) {
    int32_t liveBefore = TracerLiveBlocks();
    int32_t errorsBefore = TracerErrors();
    OpenedBrowser b = OpenBrowser();
    ASSERT_NE(b.w, nullptr);
    uint32_t seed = (uint32_t)GetTickCount();
    int32_t actions = SoakActions();
    Soak soak(b.w, seed);
    for (int32_t i = 0; i < actions; i++) {
        const char *what = soak.Act();
        ASSERT_EQ(TracerErrors(), errorsBefore) << "after action " << i << " (" << what
                                                << "), seed " << seed;
        ASSERT_TRUE(IsWindow(b.window));
    }
    EXPECT_EQ(CloseBrowser(&b), 0);
    EXPECT_EQ(TracerErrors(), errorsBefore) << "seed " << seed;
    EXPECT_EQ(TracerLiveBlocks(), liveBefore) << "seed " << seed;
}

}  // namespace
