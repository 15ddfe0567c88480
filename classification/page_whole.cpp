// The whole page of a record: its own part, its coding context, its later releases.
#include "page_whole.h"

#include "foundation/status.h"
#include "page_changes.h"
#include "page_context.h"

int32_t ComposeWholePage(const PageSources *sources, uint16_t kind, const TextRecord *record,
                         PageWorkspace *workspace, LinkTable *links, const PageSink *sink) {
    if (sources == nullptr || sources->table == nullptr) return ERR_NULLPTR;
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
