// Diagnostic log: formatting limits, CR LF expansion, trimming of the oldest lines and the
// window refresh of an attached sink.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/log.h"
#include "log_capture.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Puts text straight into the sink, as if earlier messages had left it there.
void Preload(LogSink *sink, const std::string &text) {
    memcpy(sink->text, text.c_str(), text.size() + 1);
    sink->writePos = static_cast<uint32_t>(text.size());
}

std::string Lines(int count, const char *pattern) {
    std::string text;
    for (int i = 0; i < count; i++) text += Format(pattern, i);
    return text;
}

}  // namespace

TEST(LogPrint, DetachedSinkReceivesNothing) {
    LogCapture capture;
    LogPrint("before\n");
    LogSetSink(nullptr);
    LogPrint("after %d\n", 1);
    ErrorPrint("error %s", "x");
    EXPECT_EQ(capture.Text(), "before\r\n");
    EXPECT_EQ(LogGetSink(), nullptr);
}

TEST(LogPrint, ExpandsLineFeedsToCrLf) {
    LogCapture capture;
    LogPrint("a\nb\n");
    EXPECT_EQ(capture.Text(), "a\r\nb\r\n");
    EXPECT_EQ(capture.Sink()->writePos, 6u);
    EXPECT_EQ(capture.Sink()->changed, 1);
}

TEST(LogPrint, CopiesLoneCarriageReturnUnchanged) {
    LogCapture capture;
    LogPrint("a\rb");
    LogPrint("c");
    EXPECT_EQ(capture.Text(), "a\rbc");
}

TEST(LogPrint, CutsFormattedTextAt167Characters) {
    LogCapture capture;
    LogPrint("%s", std::string(200, 'x').c_str());
    EXPECT_EQ(capture.Text(), std::string(167, 'x'));
}

TEST(ErrorPrint, CutsAt165CharactersAndEndsWithCrLf) {
    LogCapture capture;
    ErrorPrint("%s", std::string(200, 'y').c_str());
    EXPECT_EQ(capture.Text(), std::string(165, 'y') + "\r\r\n");
}

TEST(ErrorPrint, PercentSignFromAnArgumentReachesTheLogUnchanged) {
    LogCapture capture;
    ErrorPrint("failed: %s", "100% of %d %s");
    EXPECT_EQ(capture.Text(), "failed: 100% of %d %s\r\r\n");
}

TEST(LogSinkTrim, DropsTheOldestTwentyLinesBeforeAppending) {
    LogCapture capture(400);
    Preload(capture.Sink(), Lines(25, "L%02d\r\n"));  // 125 bytes, beyond the 400 - 336 margin
    LogPrint("new\n");
    EXPECT_EQ(capture.Text(), Lines(25, "L%02d\r\n").substr(20 * 5) + "new\r\n");
}

TEST(LogSinkTrim, BelowTheMarginNothingIsDropped) {
    LogCapture capture(400);
    std::string old = Lines(12, "L%02d\r\n");  // 60 bytes, just under 64
    Preload(capture.Sink(), old);
    LogPrint("new\n");
    EXPECT_EQ(capture.Text(), old + "new\r\n");
}

TEST(LogSinkTrim, WithFewerThanTwentyLinesTheWholeOldTextGoes) {
    LogCapture capture(400);
    Preload(capture.Sink(), std::string(30, 'a') + "\r\n" + std::string(70, 'b'));
    LogPrint("x\n");
    EXPECT_EQ(capture.Text(), "x\r\n");
}

TEST(LogSinkTrim, OneTrimOnlyThenTheAppendIsCutAtTheBufferEnd) {
    LogCapture capture(400);
    Preload(capture.Sink(), Lines(20, "a\r\n") + std::string(330, 'b'));
    LogPrint("%s", std::string(100, 'c').c_str());
    LogSink *sink = capture.Sink();
    EXPECT_EQ(sink->writePos, 399u);
    EXPECT_EQ(sink->text[399], '\0');
    EXPECT_EQ(capture.Text(), std::string(330, 'b') + std::string(69, 'c'));
}

TEST(LogSinkTrim, CalledAloneLeavesTerminatedText) {
    LogCapture capture(400);
    Preload(capture.Sink(), Lines(22, "%d\r\n"));
    LogSinkTrim(capture.Sink());
    EXPECT_STREQ(capture.Sink()->text, "20\r\n21\r\n");
    EXPECT_EQ(capture.Sink()->writePos, 8u);
}

TEST(LogPrint, TinyBufferIsNeverTrimmedAndNeverOverrun) {
    // Below the trim margin the unsigned test never fires; the append stops at the end.
    LogCapture capture(16);
    LogPrint("0123456789\n");
    LogPrint("abcdef\n");
    EXPECT_EQ(capture.Sink()->writePos, 15u);
    EXPECT_EQ(capture.Text(), "0123456789\r\nabc");
}

TEST(LogPrint, SuspendedDisplayStillAppends) {
    LogCapture capture;
    capture.Sink()->displaySuspended = 1;
    LogPrint("one\n");
    ErrorPrint("two");
    EXPECT_EQ(capture.Text(), "one\r\ntwo\r\r\n");
    EXPECT_EQ(capture.Sink()->changed, 1);
}

#ifdef _WIN32
namespace {

// A hidden multi-line edit control standing in for a log window.
class EditWindow {
   public:
    EditWindow() {
        window_ = CreateWindowExA(0, "EDIT", "initial", ES_MULTILINE | WS_VSCROLL, 0, 0, 200, 100,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~EditWindow() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    HWND Handle() const { return window_; }
    std::string Text() const {
        char text[4096] = {};
        GetWindowTextA(window_, text, sizeof text);
        return text;
    }

   private:
    HWND window_ = nullptr;
};

}  // namespace

TEST(LogSinkWindow, AppendShowsTheWholeTextInTheWindow) {
    EditWindow edit;
    if (edit.Handle() == nullptr) GTEST_SKIP() << "no window station";
    LogCapture capture;
    capture.Sink()->window = edit.Handle();
    LogPrint("first\n");
    LogPrint("second\n");
    EXPECT_EQ(edit.Text(), "first\r\nsecond\r\n");
}

TEST(LogSinkWindow, AppendScrollsToTheLastLine) {
    EditWindow edit;
    if (edit.Handle() == nullptr) GTEST_SKIP() << "no window station";
    LogCapture capture;
    capture.Sink()->displaySuspended = 1;
    for (int i = 0; i < 60; i++) LogPrint("line %d\n", i);
    capture.Sink()->window = edit.Handle();
    capture.Sink()->displaySuspended = 0;
    LogPrint("last\n");
    EXPECT_GT(SendMessageA(edit.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 40);
}

TEST(LogSinkWindow, SuspendedDisplayLeavesTheWindowAlone) {
    EditWindow edit;
    if (edit.Handle() == nullptr) GTEST_SKIP() << "no window station";
    LogCapture capture;
    capture.Sink()->window = edit.Handle();
    capture.Sink()->displaySuspended = 1;
    LogPrint("hidden\n");
    EXPECT_EQ(edit.Text(), "initial");
    EXPECT_EQ(capture.Text(), "hidden\r\n");
}
#endif
