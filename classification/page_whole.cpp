// The whole page of a record: its own part, its coding context, its later releases.
#include "page_whole.h"

#include <cstdio>
#include <cstring>

#include "foundation/status.h"
#include "page_changes.h"
#include "page_context.h"
#include "page_ref.h"

int32_t PageDeletedLine(const Releases *releases, const RecordTable *table, int32_t position,
                        char *buffer, int32_t capacity) {
    if (buffer == nullptr || capacity < 0) return 0;
    buffer[0] = '\0';
    int32_t deleted = ReleasesDeletedIn(releases, table, position);
    const ReleaseInfo *info = ReleasesInfo(releases, deleted);
    if (info == nullptr) return 0;
    char last[RELEASE_DATE_CHARS + 1];
    int n = snprintf(buffer, (size_t)capacity + 1, "Deleted in %s: valid for services to %s.",
                     info->label, ReleaseDateWords(ReleaseDateBefore(info->from), last));
    return n < 0 ? 0 : n > capacity ? capacity : n;
}

// A deleted record opens with its deletion, before the heading, so that nobody codes from it.
static void WriteDeleted(const PageSources *sources, uint16_t kind, const TextRecord *record,
                         PageWorkspace *workspace, const PageSink *sink) {
    const RecordTable *table = sources->table;
    if (kind != PAGE_KIND_RECORD || record < table->records ||
        record >= table->records + table->recordCount) {
        return;
    }
    char line[128];
    if (PageDeletedLine(sources->releases, table, (int32_t)(record - table->records), line,
                        (int32_t)sizeof line - 3) <= 0) {
        return;
    }
    strcat(line, "\n\n");
    if (sink->setFont != nullptr) {
        sink->setFont(sink->context, PAGE_FONT_FACE, PAGE_BODY_POINTS, PAGE_HEADING_WEIGHT);
    }
    PageSinkWrite(sink, workspace, line, strlen(line));
}

int32_t ComposeWholePage(const PageSources *sources, uint16_t kind, const TextRecord *record,
                         PageWorkspace *workspace, LinkTable *links, const PageSink *sink) {
    if (sources == nullptr || sources->table == nullptr) return ERR_NULLPTR;
    if (record != nullptr && sink != nullptr && sources->releases != nullptr) {
        WriteDeleted(sources, kind, record, workspace, sink);
    }
    int32_t status = ComposeRecordPage(sources->table, kind, record, workspace, links, sink);
    if (status < 0) return status;
    status = ComposePageContext(sources->table, sources->sevenths, sources->changes, kind, record,
                                workspace, links, sink);
    if (status < 0) return status;
    if (sources->changes != nullptr) {
        status = ComposeReleaseChanges(sources->table, sources->changes, kind, record, workspace,
                                       links, sink);
    }
    return status < 0 ? status : 0;
}
