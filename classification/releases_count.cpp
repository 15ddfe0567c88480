// Counting a release's codes as its order file lists them: the table's codes no change names,
// and the codes the changes name that the release holds.
#include <cstring>

#include "foundation/status.h"
#include "releases.h"

static bool Named(const Releases *releases, const char *code) {
    return ReleasesCodeStates(releases, code) != nullptr;
}

int32_t ReleasesCount(const Releases *releases, int32_t release, const RecordTable *table,
                      const SeventhCharTable *chars, int32_t *codes, int32_t *billable) {
    if (releases == nullptr || table == nullptr || codes == nullptr || billable == nullptr) {
        return ERR_NULLPTR;
    }
    if (release < 0 || release >= releases->count) return ERR_INVPARAM;
    int32_t all = 0, valid = 0;
    for (uint32_t i = 1; i < table->recordCount; i++) {
        const TextRecord *r = &table->records[i];
        const char *code = RecordField(r, FIELD_CODE);
        if ((r->flags & RECORD_FLAG_DELETED) || strchr(code, '-') != nullptr) continue;
        const SeventhCharDef *def = SeventhCharDefFor(chars, (int32_t)i);
        bool leaf = (r->flags & RECORD_FLAG_LEAF) != 0;
        if (!Named(releases, code)) {
            all++;
            if (leaf && def == nullptr) valid++;
        }
        if (!leaf || def == nullptr) continue;
        for (int32_t k = 0; k < def->charCount; k++) {
            char c = chars->chars[def->firstChar + k].character;
            char complete[10];
            if (!CodeComplete(code, c, complete) ||
                !SeventhCharAllowed(chars, table, (int32_t)i, c) || Named(releases, complete)) {
                continue;
            }
            all++;
            valid++;
        }
    }
    for (int32_t k = 0; k < releases->codeCount; k++) {
        const ReleaseCodeState *s = &releases->states[(int64_t)k * releases->count + release];
        all += s->present;
        valid += s->present && s->billable;
    }
    *codes = all;
    *billable = valid;
    return 0;
}
