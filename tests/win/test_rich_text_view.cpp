// The viewer's output object on a real rich-edit control: appends at the end, the cut at 8192
// characters, fonts, effects, link style, clearing, and creation failures that leak nothing.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <string>

#include "foundation/status.h"
#include "ui/rich_text_view.h"
#include "ui_test_support.h"

namespace {

class RichTextViewTest : public testing::Test {
protected:
    void SetUp() override {
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        control = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit20A", "",
                                  WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, 0, 0, 480,
                                  380, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(control, nullptr);
        live = TracerLiveBlocks();
        ASSERT_EQ(RichTextViewCreate(control, &view), 0);
    }
    void TearDown() override {
        RichTextViewFree(view);
        EXPECT_EQ(TracerLiveBlocks(), live);
        DestroyWindow(parent);
    }
    // The control's text with a paragraph break as one character, like its positions.
    std::string Text() {
        GETTEXTLENGTHEX len = {GTL_DEFAULT, CP_ACP};
        LRESULT n = SendMessageA(control, EM_GETTEXTLENGTHEX, (WPARAM)&len, 0);
        std::string text((size_t)n + 1, '\0');
        GETTEXTEX get = {(DWORD)text.size(), GT_DEFAULT, CP_ACP, nullptr, nullptr};
        SendMessageA(control, EM_GETTEXTEX, (WPARAM)&get, (LPARAM)text.data());
        text.resize(strlen(text.c_str()));
        return text;
    }
    // Character format of the text at [start, start + 1).
    CHARFORMAT2A FormatAt(LONG start) {
        CHARRANGE r = {start, start + 1};
        SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&r);
        CHARFORMAT2A cf = {};
        cf.cbSize = sizeof cf;
        SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
        CHARRANGE end = {-1, -1};
        SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&end);
        return cf;
    }
    HWND parent = nullptr;
    HWND control = nullptr;
    RichTextView *view = nullptr;
    int32_t live = 0;
};

TEST_F(RichTextViewTest, CreationSetsColoursBufferOptionsAndEvents) {
    EXPECT_EQ(view->control, control);
    EXPECT_NE(view->oleInterface, nullptr);
    EXPECT_EQ(view->capacity, 8192);
    EXPECT_EQ(view->plainColor, 0x000000u);
    EXPECT_EQ(view->whiteColor, 0xFFFFFFu);
    EXPECT_EQ(view->linkColor, 0xFF0000u);
    EXPECT_EQ(view->yellowColor, 0x80FFFFu);
    EXPECT_EQ(view->greyColor, 0x808080u);
    EXPECT_TRUE(view->options & ECO_READONLY);
    EXPECT_EQ(SendMessageA(control, EM_GETEVENTMASK, 0, 0), 0x04090001);
}

TEST_F(RichTextViewTest, PrintAppendsAtTheEndAndTakesDataAsArgument) {
    EXPECT_EQ(RichTextViewPrint(view, "%s %d", "A00", 7), 0);
    CHARRANGE start = {0, 0};
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&start);
    EXPECT_EQ(RichTextViewPrint(view, "%s", " 100% sure"), 0);
    EXPECT_EQ(Text(), "A00 7 100% sure");
}

TEST_F(RichTextViewTest, PrintCutsAt8192Characters) {
    std::string exact(8192, 'e');
    RichTextViewPrint(view, "%s", exact.c_str());
    EXPECT_EQ(Text().size(), 8192u);
    RichTextViewClear(view);
    std::string longer(8200, 'l');
    RichTextViewPrint(view, "%s", longer.c_str());
    EXPECT_EQ(Text(), std::string(8192, 'l'));
}

TEST_F(RichTextViewTest, EmptyPrintChangesNothing) {
    RichTextViewPrint(view, "%s", "abc");
    RichTextViewPrint(view, "%s", "");
    EXPECT_EQ(Text(), "abc");
}

TEST_F(RichTextViewTest, FontSetsFaceSizeAndBoldFromWeight) {
    RichTextViewSetFont(view, "Arial", 18, 700);
    RichTextViewPrint(view, "H");
    RichTextViewSetFont(view, "Arial", 16, 400);
    RichTextViewPrint(view, "n");
    RichTextViewSetFont(view, "Arial", 16, 401);
    RichTextViewPrint(view, "b");
    CHARFORMAT2A heading = FormatAt(0), normal = FormatAt(1), bold = FormatAt(2);
    EXPECT_STREQ(heading.szFaceName, "Arial");
    EXPECT_EQ(heading.yHeight, 360);
    EXPECT_TRUE(heading.dwEffects & CFE_BOLD);
    EXPECT_EQ(normal.yHeight, 320);
    EXPECT_FALSE(normal.dwEffects & CFE_BOLD);
    EXPECT_TRUE(bold.dwEffects & CFE_BOLD);
}

TEST_F(RichTextViewTest, LongFaceNameIsCutTo31Characters) {
    std::string face(40, 'F');
    RichTextViewSetFont(view, face.c_str(), 16, 400);
    RichTextViewPrint(view, "x");
    EXPECT_EQ(std::string(FormatAt(0).szFaceName), std::string(31, 'F'));
}

TEST_F(RichTextViewTest, EffectsSetAllThreeFlags) {
    RichTextViewSetEffects(view, 1, 1, 0);
    RichTextViewPrint(view, "a");
    RichTextViewSetEffects(view, 0, 0, 1);
    RichTextViewPrint(view, "b");
    RichTextViewSetEffects(view, 0, 0, 0);
    RichTextViewPrint(view, "c");
    CHARFORMAT2A a = FormatAt(0), b = FormatAt(1), c = FormatAt(2);
    EXPECT_EQ(a.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE), (DWORD)(CFE_BOLD | CFE_ITALIC));
    EXPECT_EQ(b.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE), (DWORD)CFE_UNDERLINE);
    EXPECT_EQ(c.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE), 0u);
}

TEST_F(RichTextViewTest, LinkStyleOnAndOff) {
    RichTextViewPrint(view, "see ");
    RichTextViewSetLink(view, 1);
    RichTextViewPrint(view, "A00");
    RichTextViewSetLink(view, 0);
    RichTextViewPrint(view, " after");
    CHARFORMAT2A link = FormatAt(5), after = FormatAt(8);
    EXPECT_TRUE(link.dwEffects & CFE_LINK);
    EXPECT_TRUE(link.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(link.crTextColor, 0xFF0000u);
    EXPECT_EQ(link.bUnderlineType, CFU_UNDERLINEWORD);
    EXPECT_EQ(link.wWeight, 500);
    EXPECT_FALSE(after.dwEffects & CFE_LINK);
    EXPECT_FALSE(after.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(after.crTextColor, 0x000000u);
    EXPECT_EQ(after.wWeight, 400);
}

TEST_F(RichTextViewTest, ClearEmptiesTheControlAndWorksWhenEmpty) {
    EXPECT_EQ(RichTextViewClear(view), 0);
    RichTextViewPrint(view, "line one\nline two");
    EXPECT_EQ(RichTextViewClear(view), 0);
    EXPECT_EQ(Text(), "");
}

TEST_F(RichTextViewTest, NullViewIsRefused) {
    EXPECT_EQ(RichTextViewPrint(nullptr, "x"), ERR_NULLPTR);
    EXPECT_EQ(RichTextViewSetFont(nullptr, "Arial", 16, 400), ERR_NULLPTR);
    EXPECT_EQ(RichTextViewSetEffects(nullptr, 0, 0, 0), ERR_NULLPTR);
    EXPECT_EQ(RichTextViewSetLink(nullptr, 1), ERR_NULLPTR);
    EXPECT_EQ(RichTextViewClear(nullptr), ERR_NULLPTR);
}

TEST(RichTextViewCreation, ControlWithoutOleInterfaceFailsAndLeaksNothing) {
    // A plain edit control does not answer EM_GETOLEINTERFACE.
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    int32_t live = TracerLiveBlocks();
    RichTextView *view = nullptr;
    EXPECT_EQ(RichTextViewCreate(edit, &view), ERR_OLE);
    EXPECT_EQ(view, nullptr);
    EXPECT_EQ(TracerLiveBlocks(), live);
    DestroyWindow(edit);
}

}  // namespace
