// A complete code's heading and status line.
#include "page_complete.h"

#include <cstring>
#include <string>

#include "foundation/status.h"

int32_t ComposeCompleteHeading(const char *code, const char *title, PageWorkspace *workspace,
                               const PageSink *sink) {
    if (code == nullptr || title == nullptr || workspace == nullptr || sink == nullptr) {
        return ERR_NULLPTR;
    }
    std::string heading = std::string(code) + " " + title + "\n\n";
    if (sink->setFont != nullptr) {
        sink->setFont(sink->context, PAGE_FONT_FACE, PAGE_HEADING_POINTS, PAGE_HEADING_WEIGHT);
    }
    PageSinkWrite(sink, workspace, heading.data(), heading.size());
    if (sink->setFont != nullptr) {
        sink->setFont(sink->context, PAGE_FONT_FACE, PAGE_BODY_POINTS, PAGE_BODY_WEIGHT);
    }
    PageSinkWrite(sink, workspace, PAGE_COMPLETE_STATUS, strlen(PAGE_COMPLETE_STATUS));
    return 0;
}
