// Diagnostic log: printf-style lines appended to an optional sink. The program never attaches a
// sink, so everything is discarded; tests attach one to check appending and trimming.
#pragma once
#include <cstdint>

struct LogSink {
    void *window;              // multi-line edit showing the text (HWND on Windows), or null
    uint32_t capacity;         // size of text in bytes; must exceed 336 for trimming to work
    char *text;                // the log text, owned by whoever made the sink, NUL-terminated
    uint32_t writePos;         // index of the terminating NUL
    int32_t changed;           // 1 after every append
    int32_t displaySuspended;  // non-zero: appends do not refresh the window
};

// The process-wide sink; null in the program. Not owned by the log.
void LogSetSink(LogSink *sink);
LogSink *LogGetSink();

// Appends formatted text (at most 167 characters), expanding LF to CR LF.
void LogPrint(const char *format, ...) __attribute__((format(printf, 1, 2)));
// Formats at most 165 characters, adds CR LF and appends the line as literal text.
void ErrorPrint(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Drops the oldest 20 lines of the sink's text (all of it when it holds fewer); null is ignored.
void LogSinkTrim(LogSink *sink);

// Shows the sink's whole text in its window, scrolled to the last line. Platform code: Windows
// sets the edit control's text; other hosts have no window and do nothing.
void LogSinkRefreshWindow(LogSink *sink);
