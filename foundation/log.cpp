// Diagnostic log: formats notes and error lines and appends them to the process-wide sink.
// Platform-free; the window refresh lives in log_win.cpp / log_posix.cpp. Nothing here allocates
// or locks, because the traced allocator logs while it holds its mutex.
#include "foundation/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

LogSink *gSink = nullptr;

// Message buffers hold 167 characters and a NUL; the trim margin is twice that, so one message
// fits even when every character is a line feed that becomes CR LF.
constexpr size_t kMessageBuffer = 168;
constexpr uint32_t kTrimMargin = 2 * kMessageBuffer;
constexpr int kLinesTrimmed = 20;
constexpr int kErrorTextMax = 165;

void AppendText(LogSink *sink, const char *message) {
    if (sink->text == nullptr || sink->capacity == 0) return;
    if (sink->writePos >= sink->capacity - kTrimMargin) LogSinkTrim(sink);
    // One byte always stays free for the terminator.
    uint32_t last = sink->capacity - 1;
    uint32_t pos = sink->writePos < last ? sink->writePos : last;
    for (const char *c = message; *c != '\0'; c++) {
        if (*c == '\n') {
            if (pos >= last) break;
            sink->text[pos++] = '\r';
        }
        if (pos >= last) break;
        sink->text[pos++] = *c;
    }
    sink->text[pos] = '\0';
    sink->writePos = pos;
    sink->changed = 1;
    if (sink->displaySuspended == 0) LogSinkRefreshWindow(sink);
}

}  // namespace

void LogSetSink(LogSink *sink) { gSink = sink; }

LogSink *LogGetSink() { return gSink; }

void LogSinkTrim(LogSink *sink) {
    if (sink == nullptr || sink->text == nullptr || sink->capacity == 0) return;
    const char *text = sink->text;
    // The walk looks at the character it steps onto, so the first character and the one right
    // after a counted line feed are never taken as line feeds themselves.
    uint32_t removed = 0;
    int lines = 0;
    while (lines < kLinesTrimmed && removed < sink->capacity - 1 && text[removed] != '\0') {
        removed++;
        if (text[removed] == '\n') {
            removed++;
            lines++;
        }
    }
    uint32_t end = sink->writePos < sink->capacity ? sink->writePos : sink->capacity;
    if (removed > end) removed = end;
    memmove(sink->text, sink->text + removed, end - removed);
    sink->text[sink->capacity - 1] = '\0';
    sink->writePos -= removed;
    // The append that normally follows terminates the text anyway; a lone trim must too.
    if (end - removed < sink->capacity) sink->text[end - removed] = '\0';
}

void LogPrint(const char *format, ...) {
    LogSink *sink = gSink;
    if (sink == nullptr) return;
    char message[kMessageBuffer];
    message[0] = '\0';
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    AppendText(sink, message);
}

void ErrorPrint(const char *format, ...) {
    // Formatted even without a sink, so a bad format shows up whether or not anyone listens.
    char line[kMessageBuffer];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(line, kErrorTextMax + 1, format, args);
    va_end(args);
    if (length < 0) length = 0;
    if (length > kErrorTextMax) length = kErrorTextMax;
    memcpy(line + length, "\r\n", 3);
    // The line is data now: a percent sign from an argument must not be read as a conversion.
    LogPrint("%s", line);
}
