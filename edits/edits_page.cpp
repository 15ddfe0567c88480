// The "Edits and flags:" section of a billable record's page.
#include "edits/edits_page.h"

#include <cstring>

#include "edits/edits_words.h"
#include "foundation/status.h"

int32_t ComposeEditsSection(const EditsTable *edits, const Releases *releases,
                            const RecordTable *table, const SeventhCharTable *chars,
                            int32_t position, PageWorkspace *workspace, const PageSink *sink) {
    if (edits == nullptr || table == nullptr || workspace == nullptr || sink == nullptr) {
        return ERR_NULLPTR;
    }
    if (position <= 0 || (uint32_t)position >= table->recordCount) return 0;
    const TextRecord *r = &table->records[position];
    if ((r->flags & RECORD_FLAG_DELETED) || RecordCodeKind(table, position) != CODE_KIND_LEAF ||
        SeventhCharDefFor(chars, position) != nullptr) {
        return 0;
    }
    const char *code = RecordField(r, FIELD_CODE);
    int32_t since = releases != nullptr ? ReleasesSince(releases, code) : 0;
    PageSinkWrite(sink, workspace, EDITS_PAGE_HEADING, strlen(EDITS_PAGE_HEADING));
    static const EditsListKind kOrder[] = {EDITS_DRG, EDITS_HCC, EDITS_MCE, EDITS_POA};
    char line[EDITS_LINE_CHARS + 2];
    for (EditsListKind list : kOrder) {
        EditsLine(edits, list, code, since, line);
        strcat(line, "\n");
        PageSinkWrite(sink, workspace, line, strlen(line));
    }
    PageSinkWrite(sink, workspace, "\n", 1);
    return 4;
}
