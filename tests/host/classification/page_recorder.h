// A page sink that records every step, for the page composition tests.
#pragma once
#include <string>
#include <vector>

#include "classification/page_compose.h"
#include "classification/seventh_chars.h"

struct PageStep {
    enum Kind { FONT, EFFECTS, LINK, TEXT } kind;
    std::string text;  // FONT: face; TEXT: the piece
    int32_t a = 0;     // FONT: points; EFFECTS: bold; LINK: on
    int32_t b = 0;     // FONT: weight; EFFECTS: italic
    int32_t c = 0;     // EFFECTS: underline
};

class PageRecorder {
public:
    PageRecorder();
    // Composes the record's page into steps, text and links. Returns the status.
    int32_t Compose(const RecordTable *table, uint32_t position, int32_t capacity = TEXT_BUFFER_CHARS);
    // The same followed by the page's coding context (chars may be null).
    int32_t ComposeWithContext(const RecordTable *table, const SeventhCharTable *chars,
                               uint32_t position, int32_t capacity = TEXT_BUFFER_CHARS);
    std::string Text() const;  // every piece, in order
    std::vector<std::string> LinkCodes() const;
    std::vector<PageStep> steps;
    LinkTable links = {};
    PageSink sink = {};

private:
    std::vector<char> text_;
    std::vector<char> scratch_;
};
