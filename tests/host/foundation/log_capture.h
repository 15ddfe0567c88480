// Test helpers: a log sink attached for the lifetime of one object, and printf into a string
// (for expected messages holding %p, whose spelling is the C library's).
#pragma once
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/log.h"

class LogCapture {
   public:
    explicit LogCapture(uint32_t capacity = 1u << 20) : buffer_(capacity, '\0') {
        sink_.capacity = capacity;
        sink_.text = buffer_.data();
        LogSetSink(&sink_);
    }
    ~LogCapture() { LogSetSink(nullptr); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    std::string Text() const { return std::string(sink_.text, sink_.writePos); }
    void Clear() {
        sink_.writePos = 0;
        sink_.text[0] = '\0';
    }
    LogSink *Sink() { return &sink_; }

   private:
    std::vector<char> buffer_;
    LogSink sink_ = {};
};

inline std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
inline std::string Format(const char *format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// How an ErrorPrint line and a LogPrint note ending in "\n" look in the sink.
inline std::string ErrorLine(const std::string &text) { return text + "\r\r\n"; }
inline std::string NoteLine(const std::string &text) { return text + "\r\n"; }
