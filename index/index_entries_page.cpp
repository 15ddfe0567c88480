// The "Index entries:" section of a record page: a bounded list read from the backrefs, so that
// composing it costs the same for a chapter that thousands of entries lead to as for a leaf.
#include "index/index_entries_page.h"

#include <cstdio>

#include "foundation/status.h"
#include "index/index_page_writer.h"

static void CountFont(void *context, const char *face, int32_t points, uint16_t weight) {
    const PageCounter *c = (const PageCounter *)context;
    if (c->inner->setFont) c->inner->setFont(c->inner->context, face, points, weight);
}

static void CountEffects(void *context, int32_t bold, int32_t italic, int32_t underline) {
    const PageCounter *c = (const PageCounter *)context;
    if (c->inner->setEffects) c->inner->setEffects(c->inner->context, bold, italic, underline);
}

static void CountLink(void *context, int32_t on) {
    const PageCounter *c = (const PageCounter *)context;
    if (c->inner->setLink) c->inner->setLink(c->inner->context, on);
}

static void CountText(void *context, const char *text, int32_t length) {
    PageCounter *c = (PageCounter *)context;
    c->position += length;
    if (c->inner->writeText) c->inner->writeText(c->inner->context, text, length);
}

int32_t PageCounterInit(PageCounter *counter, const PageSink *inner) {
    if (!counter || !inner) return ERR_NULLPTR;
    counter->sink = PageSink{counter, CountFont, CountEffects, CountLink, CountText};
    counter->inner = inner;
    counter->position = 0;
    return 0;
}

// n with a comma between each three digits ("6,250"), in buffer.
static const char *Thousands(int32_t n, char buffer[16]) {
    char digits[16];
    const int32_t length = snprintf(digits, sizeof digits, "%d", (int)n);
    int32_t k = 0;
    for (int32_t i = 0; i < length; i++) {
        if (i > 0 && (length - i) % 3 == 0) buffer[k++] = ',';
        buffer[k++] = digits[i];
    }
    buffer[k] = '\0';
    return buffer;
}

int32_t ComposeIndexEntries(const IndexSet *set, const IndexBackrefs *refs, int32_t position,
                            int32_t start, IndexLinkMap *links, const PageSink *sink) {
    if (!set || !refs || !links || !sink) return ERR_NULLPTR;
    int32_t count = 0;
    const int32_t *entries = IndexBackrefsOf(refs, position, &count);
    if (!entries) return ERR_INVINDEX;
    IndexLinkMapClear(links);
    IndexPageWriter p = {sink, links, start, 0};
    IndexPageWriteString(&p, "Index entries:\n");
    if (count == 0) IndexPageWriteString(&p, "none\n");
    const int32_t shown = count < INDEX_ENTRIES_SHOWN ? count : INDEX_ENTRIES_SHOWN;
    for (int32_t i = 0; i < shown; i++) {
        IndexPageWritePath(&p, set, entries[i], 1);
        IndexPageWriteString(&p, "\n");
    }
    if (count > shown) {
        char number[16];
        char more[80];
        snprintf(more, sizeof more, "and %s more: list them all on the Index tab",
                 Thousands(count - shown, number));
        IndexPageWriteLink(&p, more, INDEX_LINK_ALL_ENTRIES, position);
        IndexPageWriteString(&p, "\n");
    }
    return p.status;
}
