// A release's codes as its order file lists them: the table's codes no change names, with each
// leaf's complete codes, then the codes the changes name that the release holds.
#include <cstring>

#include "foundation/status.h"
#include "releases.h"

static bool Named(const Releases *releases, const char *code) {
    return ReleasesCodeStates(releases, code) != nullptr;
}

int32_t ReleasesEachCode(const Releases *releases, int32_t release, const RecordTable *table,
                         const SeventhCharTable *chars, ReleaseCodeFn fn, void *context) {
    if (releases == nullptr || table == nullptr || fn == nullptr) return ERR_NULLPTR;
    if (release < 0 || release >= releases->count) return ERR_INVPARAM;
    for (uint32_t i = 1; i < table->recordCount; i++) {
        const TextRecord *r = &table->records[i];
        const char *code = RecordField(r, FIELD_CODE);
        if ((r->flags & RECORD_FLAG_DELETED) || strchr(code, '-') != nullptr) continue;
        const SeventhCharDef *def = SeventhCharDefFor(chars, (int32_t)i);
        bool leaf = (r->flags & RECORD_FLAG_LEAF) != 0;
        if (!Named(releases, code)) fn(context, code, leaf && def == nullptr);
        for (int32_t k = 0; leaf && def != nullptr && k < def->charCount; k++) {
            char c = chars->chars[def->firstChar + k].character;
            char complete[10];
            if (CodeComplete(code, c, complete) &&
                SeventhCharAllowed(chars, table, (int32_t)i, c) && !Named(releases, complete)) {
                fn(context, complete, 1);
            }
        }
    }
    for (int32_t k = 0; k < releases->codeCount; k++) {
        const ReleaseCodeState *s = &releases->states[(int64_t)k * releases->count + release];
        if (s->present) fn(context, releases->codes[k], s->billable);
    }
    return 0;
}

struct Counts {
    int32_t codes;
    int32_t billable;
};

static void CountOne(void *context, const char *, int32_t billable) {
    Counts *c = (Counts *)context;
    c->codes++;
    c->billable += billable != 0;
}

int32_t ReleasesCount(const Releases *releases, int32_t release, const RecordTable *table,
                      const SeventhCharTable *chars, int32_t *codes, int32_t *billable) {
    if (codes == nullptr || billable == nullptr) return ERR_NULLPTR;
    Counts counts = {0, 0};
    int32_t status = ReleasesEachCode(releases, release, table, chars, CountOne, &counts);
    if (status < 0) return status;
    *codes = counts.codes;
    *billable = counts.billable;
    return 0;
}
