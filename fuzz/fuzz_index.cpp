// libFuzzer target: arbitrary bytes parsed as an index file; every entry's path, codes and page
// composed (each link inside the page and found again by its position, each see reference
// resolved), the search compared entry by entry with the single-entry match, and the map of the
// entries that lead to each record of a small classification, with each record's section.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "index/index_backrefs.h"
#include "index/index_entries_page.h"
#include "index/index_page.h"
#include "index/index_refs.h"
#include "index/index_search.h"

static void CountText(void *context, const char *, int32_t length) {
    *(int32_t *)context += length;
}

// A few records the index's codes can name: root, chapter, block, header, leaves.
struct SmallTable {
    char texts[7][24];
    TextRecord records[7];
    RecordTable table;
};

static void MakeTable(SmallTable *t) {
    static const char *const codes[7] = {"", "A00-B99", "A00-A09", "A00", "A00.0", "A00.1", "B99"};
    static const uint32_t parents[7] = {0xFFFFFFFFu, 0, 1, 2, 3, 3, 1};
    memset(t, 0, sizeof *t);
    for (int i = 0; i < 7; i++) {
        TextRecord *r = &t->records[i];
        const size_t n = strlen(codes[i]);
        memcpy(t->texts[i], codes[i], n);  // code, then an empty title, then the two zero bytes
        r->text = t->texts[i];
        for (int32_t &offset : r->fieldOffsets) offset = -1;
        r->fieldOffsets[0] = 0;
        r->fieldOffsets[1] = (int32_t)n + 1;
        r->marker = RECORD_MARKER;
        r->index = (uint32_t)i;
        r->parent = parents[i];
        r->flags = (i == 4 || i == 5 || i == 6) ? RECORD_FLAG_LEAF : 0;
    }
    t->table = RecordTable{7, t->records, nullptr};
}

static void CheckBackrefs(const IndexSet *set) {
    SmallTable t;
    MakeTable(&t);
    IndexBackrefs refs = {};
    if (IndexBackrefsBuild(&refs, set, &t.table, nullptr) != 0) abort();
    IndexLinkMap links = {};
    for (int32_t r = 0; r < 7; r++) {
        int32_t count = 0;
        const int32_t *entries = IndexBackrefsOf(&refs, r, &count);
        if (!entries) abort();
        for (int32_t i = 0; i < count; i++)
            if (entries[i] < 0 || entries[i] >= set->entryCount || (i > 0 && entries[i] <= entries[i - 1]))
                abort();
        int32_t written = 0;
        PageSink sink = {&written, nullptr, nullptr, nullptr, CountText};
        if (ComposeIndexEntries(set, &refs, r, 0, &links, &sink) != 0) abort();
        // An entry of empty titles has an empty path, which is no link.
        if (links.linkCount > (count > INDEX_ENTRIES_SHOWN ? INDEX_ENTRIES_SHOWN + 1 : count)) abort();
        for (int32_t i = 0; i < links.linkCount; i++)
            if (links.links[i].start + links.links[i].length > written) abort();
    }
    IndexLinkMapFree(&links);
    IndexBackrefsFree(&refs);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > (1u << 20)) return 0;
    IndexFile file = {};
    if (IndexFileParse((const char *)data, (int32_t)size, &file) != 0) return 0;
    IndexFile *files[INDEX_KIND_COUNT] = {};
    files[file.kind] = &file;
    IndexSet set = {};
    IndexSetAdopt(&set, files);
    IndexLinkMap links = {};
    char buffer[64];
    for (int32_t n = 0; n < set.entryCount && n < 256; n++) {
        if (IndexPathWrite(&set, n, buffer, sizeof buffer) < 0) abort();
        if (IndexCodesWrite(&set, n, buffer, sizeof buffer) < 0) abort();
        int32_t written = 0;
        PageSink sink = {&written, nullptr, nullptr, nullptr, CountText};
        if (ComposeIndexPage(&set, nullptr, n, &links, &sink) != 0) abort();
        for (int32_t i = 0; i < links.linkCount; i++) {
            const IndexLink &l = links.links[i];
            if (l.start < 0 || l.length < 1 || l.start + l.length > written) abort();
            if (IndexLinkAt(&links, l.start) != &l) abort();
            if (l.target < 0 || l.target >= set.entryCount) abort();
        }
    }
    // A phrase from the input's last bytes, so that it often occurs in the titles.
    char phrase[8] = {0};
    for (size_t k = 0; k < 7 && k < size; k++) {
        phrase[k] = (char)(data[size - 1 - k] ? data[size - 1 - k] : ' ');
    }
    IndexSearch search = {};
    if (IndexSearchRun(&search, &set, phrase, nullptr, nullptr) == 0) {
        int32_t hit = 0;
        for (int32_t n = 0; n < set.entryCount; n++) {
            const bool listed = hit < search.hitCount && search.hits[hit] == n;
            if (listed != (IndexEntryMatches(&set, n, phrase) == 1)) abort();
            hit += listed;
        }
        if (hit != search.hitCount) abort();
    }
    IndexSearchClear(&search);
    CheckBackrefs(&set);
    IndexLinkMapFree(&links);
    IndexSetFree(&set);
    return 0;
}
