// Recording page sink for the page composition tests.
#include "page_recorder.h"

#include "classification/page_context.h"
#include "classification/page_ref.h"

static PageRecorder *Self(void *context) { return static_cast<PageRecorder *>(context); }

PageRecorder::PageRecorder() {
    sink.context = this;
    sink.setFont = [](void *c, const char *face, int32_t points, uint16_t weight) {
        Self(c)->steps.push_back({PageStep::FONT, face, points, weight});
    };
    sink.setEffects = [](void *c, int32_t bold, int32_t italic, int32_t underline) {
        Self(c)->steps.push_back({PageStep::EFFECTS, "", bold, italic, underline});
    };
    sink.setLink = [](void *c, int32_t on) { Self(c)->steps.push_back({PageStep::LINK, "", on}); };
    sink.writeText = [](void *c, const char *text, int32_t length) {
        Self(c)->steps.push_back({PageStep::TEXT, std::string(text, (size_t)length), length});
    };
}

int32_t PageRecorder::Compose(const RecordTable *table, uint32_t position, int32_t capacity) {
    steps.clear();
    text_.assign((size_t)capacity + 1, 'q');
    scratch_.assign((size_t)capacity + 1, 'q');
    PageWorkspace workspace = {text_.data(), scratch_.data(), capacity};
    return ComposeRecordPage(table, PAGE_KIND_RECORD, &table->records[position], &workspace,
                             &links, &sink);
}

int32_t PageRecorder::ComposeWithContext(const RecordTable *table, const SeventhCharTable *chars,
                                         uint32_t position, int32_t capacity) {
    int32_t status = Compose(table, position, capacity);
    if (status < 0) return status;
    PageWorkspace workspace = {text_.data(), scratch_.data(), capacity};
    return ComposePageContext(table, chars, nullptr, PAGE_KIND_RECORD, &table->records[position],
                              &workspace, &links, &sink);
}

std::string PageRecorder::Text() const {
    std::string all;
    for (const PageStep &s : steps) {
        if (s.kind == PageStep::TEXT) {
            all += s.text;
        }
    }
    return all;
}

std::vector<std::string> PageRecorder::LinkCodes() const {
    std::vector<std::string> codes;
    for (uint16_t i = 0; i < links.linkCount; i++) {
        codes.push_back(links.links[i].code);
    }
    return codes;
}
