// Help page and desktop shortcut: the tag rules of the help text, "Create Icon" as the only link,
// and the shortcut written into a private Desktop folder with the boxes that report it.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "classification/page_compose.h"
#include "feature_support.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/help_page.h"
#include "ui/shortcut.h"
#include "ui_test_support.h"

namespace {

class HelpTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        b = OpenBrowser();
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, sizeof path);
        b.app->modulePath = MemStrDup(path);
        b.app->moduleBaseName = MemStrDup(strrchr(path, '\\') + 1);
    }
    static void TearDownTestSuite() { CloseBrowser(&b); }
    void SetUp() override {
        ASSERT_NE(b.w, nullptr);
        w = b.w;
        viewer = w->viewer.handle;
        shippedHelp = w->helpText;
    }
    void TearDown() override {
        if (w->helpText != shippedHelp) MemStrFree(w->helpText);
        w->helpText = shippedHelp;
    }
    // Shows a help text of the test's own and answers what the viewer holds.
    std::string Shown(const char *help) {
        if (w->helpText != shippedHelp) MemStrFree(w->helpText);
        w->helpText = MemStrDup(help);
        EXPECT_EQ(ShowHelpPage(w), 0);
        return ViewerText(viewer);
    }
    // The texts of the link runs of the viewer, in order.
    std::vector<std::string> Links() {
        std::string text = ViewerText(viewer);
        std::vector<std::string> links;
        bool inLink = false;
        for (int32_t i = 0; i < (int32_t)text.size(); i++) {
            bool link = (FormatAt(viewer, i).dwEffects & CFE_LINK) != 0;
            if (link && !inLink) links.push_back("");
            if (link) links.back() += text[i];
            inLink = link;
        }
        return links;
    }
    LRESULT PressLinkAt(int32_t at, int32_t length) { return SendLinkPress(w, at, at + length); }
    std::string ShortcutPath(const PrivateHome &home) {
        return home.desktop + b.app->moduleBaseName + ".lnk";
    }
    static OpenedBrowser b;
    BrowserWindow *w = nullptr;
    HWND viewer = nullptr;
    char *shippedHelp = nullptr;
};
OpenedBrowser HelpTest::b;

bool FileExists(const std::string &path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Target and description of a shell link file; empty strings when it is no link.
void ReadLink(const std::string &path, std::string *target, std::string *description) {
    *target = *description = "";
    IShellLinkA *link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void **)&link)))
        return;
    IPersistFile *file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char text[MAX_PATH] = {};
            link->GetPath(text, sizeof text, nullptr, 0);
            *target = text;
            text[0] = '\0';
            link->GetDescription(text, sizeof text);
            *description = text;
        }
        file->Release();
    }
    link->Release();
}

TEST_F(HelpTest, InfoShowsTheShippedHelpWithCreateIconAsTheOnlyLink) {
    ShowCode(w, "B15-B19");
    uint16_t historyLast = w->historyLast;
    SendMessageA(w->infoButton.handle, BM_CLICK, 0, 0);
    PumpMessages();
    // Longer than the pane, the help is shown from its first line.
    EXPECT_EQ(SendMessageA(viewer, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    std::string text = ViewerText(viewer);
    EXPECT_NE(text.find("Create Icon"), std::string::npos);
    EXPECT_EQ(text.find('<'), std::string::npos);
    std::vector<std::string> links = Links();
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0], "Create Icon");
    EXPECT_EQ(FormatAt(viewer, (int32_t)text.find("Create Icon")).crTextColor, 0xFF0000u);
    EXPECT_EQ(w->links.linkCount, 0);
    EXPECT_EQ(w->historyLast, historyLast);  // the help page is no history entry
}

TEST_F(HelpTest, TagsOfOtherNamesLeaveNoTrace) {
    EXPECT_EQ(Shown("one<B>two"), "onetwo");
    EXPECT_EQ(Shown("one<B some argument>two<>three"), "onetwothree");
    EXPECT_TRUE(Links().empty());
}

TEST_F(HelpTest, LinkTagNameIgnoresCaseButLinksIsDropped) {
    EXPECT_EQ(Shown("a<link Create Icon>b"), "aCreate Iconb");
    EXPECT_EQ(Links(), std::vector<std::string>{"Create Icon"});
    EXPECT_EQ(Shown("a<LiNk go>b"), "agob");
    EXPECT_EQ(Links(), std::vector<std::string>{"go"});
    EXPECT_EQ(Shown("a<LINKS go>b"), "ab");
    EXPECT_TRUE(Links().empty());
}

TEST_F(HelpTest, LinkWithoutArgumentIsEmptyAndATrailingBracketEndsThePage) {
    EXPECT_EQ(Shown("a<LINK>b"), "ab");
    EXPECT_TRUE(Links().empty());
    EXPECT_EQ(Shown("abc<"), "abc");
    EXPECT_EQ(Shown("abc<LINK open"), "abcopen");  // the end of the text closes the tag
}

TEST_F(HelpTest, NameStopsAtFortyOneCharactersAndTheRestIsItsArgument) {
    std::string name(50, 'N');
    EXPECT_EQ(Shown(("a<" + name + ">b").c_str()), "ab");
    // Forty-one characters of name, then "LINK x" as the argument: still dropped.
    EXPECT_EQ(Shown(("a<" + std::string(41, 'N') + "LINK x>b").c_str()), "ab");
}

TEST_F(HelpTest, TextIsWrittenAsDataNotAsAFormat) {
    EXPECT_EQ(Shown("100% %s %n %d > done"), "100% %s %n %d > done");
    EXPECT_EQ(Shown("<LINK %s%n>"), "%s%n");
}

TEST_F(HelpTest, LongRunsAreShownWhole) {
    std::string help;
    for (int i = 0; i < 4000; i++) help += "line " + std::to_string(10000 + i) + "\n";
    help += "<LINK end>";
    std::string shown = Shown(help.c_str());
    EXPECT_EQ(shown.size(), 4000u * 11 + 3);
    EXPECT_EQ(shown.substr(shown.size() - 14), "line 13999\nend");
}

TEST_F(HelpTest, MissingHelpTextOrViewerOutputShowsNothing) {
    char *help = w->helpText;
    w->helpText = nullptr;
    EXPECT_EQ(ShowHelpPage(w), ERR_NULLPTRIN);
    w->helpText = help;
    EXPECT_EQ(ShowHelpPage(nullptr), ERR_NULLPTR);
}

TEST_F(HelpTest, CreateIconWritesTheShortcutThenReportsThatItExists) {
    PrivateHome home;
    ShowHelpPage(w);
    int32_t at = (int32_t)ViewerText(viewer).find("Create Icon");
    ASSERT_GT(at, 0);
    {
        MessageBoxCatcher box;
        PressLinkAt(at, 11);
        ASSERT_TRUE(box.Finish());
        EXPECT_EQ(box.caption, "Info");
        EXPECT_EQ(box.text, "Program icon created at desktop.");
        EXPECT_TRUE(box.information);
    }
    std::string target, description;
    ReadLink(ShortcutPath(home), &target, &description);
    EXPECT_STRCASEEQ(target.c_str(), b.app->modulePath);
    EXPECT_EQ(description, b.app->moduleBaseName);
    {
        MessageBoxCatcher box;
        PressLinkAt(at, 11);
        ASSERT_TRUE(box.Finish());
        EXPECT_EQ(box.caption, "Info");
        EXPECT_EQ(box.text, "Program icon already exists at desktop.");
        EXPECT_TRUE(box.information);
    }
}

TEST_F(HelpTest, CreateIconInCapitalsCreatesTheShortcutToo) {
    PrivateHome home;
    Shown("<LINK CREATE ICON>");
    MessageBoxCatcher box;
    PressLinkAt(0, 11);
    ASSERT_TRUE(box.Finish());
    EXPECT_EQ(box.text, "Program icon created at desktop.");
    EXPECT_TRUE(FileExists(ShortcutPath(home)));
}

TEST_F(HelpTest, AFileThatIsNoLinkIsOverwritten) {
    PrivateHome home;
    std::string path = ShortcutPath(home);
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("not a shell link", f);
    fclose(f);
    MessageBoxCatcher box;
    EXPECT_EQ(CreateDesktopIcon(w), 0);
    ASSERT_TRUE(box.Finish());
    EXPECT_EQ(box.text, "Program icon created at desktop.");
    std::string target, description;
    ReadLink(path, &target, &description);
    EXPECT_STRCASEEQ(target.c_str(), b.app->modulePath);
}

TEST_F(HelpTest, ShortcutThatCannotBeWrittenIsReportedAsAWarning) {
    PrivateHome home(false);  // no Desktop folder
    MessageBoxCatcher box;
    EXPECT_EQ(CreateDesktopIcon(w), 0);
    ASSERT_TRUE(box.Finish());
    EXPECT_EQ(box.caption, "Info");
    EXPECT_EQ(box.text, "Program icon could not be created at desktop.");
    EXPECT_TRUE(box.warning);
    EXPECT_FALSE(FileExists(ShortcutPath(home)));
}

TEST_F(HelpTest, NoModuleNameIsReportedAsAWarning) {
    PrivateHome home;
    char *name = b.app->moduleBaseName;
    b.app->moduleBaseName = nullptr;
    MessageBoxCatcher box;
    EXPECT_EQ(CreateDesktopIcon(w), ERR_NOTFOUND);
    b.app->moduleBaseName = name;
    ASSERT_TRUE(box.Finish());
    EXPECT_EQ(box.text, "Program icon could not be created at desktop.");
}

TEST_F(HelpTest, ShortcutPathIsDriveHomeDesktopAndModuleNameWithLnk) {
    PrivateHome home;
    char buffer[300];
    ASSERT_EQ(BuildShortcutPath(b.app, buffer, 299), 0);
    EXPECT_EQ(std::string(buffer), ShortcutPath(home));
    // Too small for the whole path: refused, and nothing is written beyond the buffer.
    std::string full = ShortcutPath(home);
    for (int32_t size : {12, (int32_t)full.size() - 3, (int32_t)full.size() - 1}) {
        std::vector<char> small((size_t)size + 2, '#');
        EXPECT_EQ(BuildShortcutPath(b.app, small.data(), size), ERR_TOOLONG) << size;
        EXPECT_EQ(small[(size_t)size + 1], '#');
        EXPECT_LE(strlen(small.data()), (size_t)size);
    }
    std::vector<char> exact(full.size() + 1);
    EXPECT_EQ(BuildShortcutPath(b.app, exact.data(), (int32_t)full.size()), 0);
    EXPECT_EQ(std::string(exact.data()), full);
    memset(buffer, 'x', 20);
    EXPECT_EQ(GetHomeFolderPath(b.app, buffer, 9), ERR_INVPARAM);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(GetHomeFolderPath(nullptr, buffer, 100), ERR_NULLPTR);
    AppContext nameless = {};
    EXPECT_EQ(GetHomeFolderPath(&nameless, buffer, 100), ERR_NOTFOUND);
}

TEST_F(HelpTest, ShortcutOperationsRefuseNullArguments) {
    EXPECT_FALSE(ShortcutExists(nullptr, nullptr));
    EXPECT_FALSE(CreateShortcut(nullptr, "x.lnk", "d"));
    EXPECT_FALSE(CreateShortcut("x.exe", nullptr, "d"));
    EXPECT_FALSE(ShortcutExists(nullptr, "C:\\no\\such\\file.lnk"));
}

}  // namespace
