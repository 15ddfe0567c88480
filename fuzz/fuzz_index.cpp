// libFuzzer target: arbitrary bytes parsed as an index file; every entry's path, codes and page
// composed (each link inside the page and found again by its position, each see reference
// resolved), and the search compared entry by entry with the single-entry match.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "index/index_page.h"
#include "index/index_refs.h"
#include "index/index_search.h"

static void CountText(void *context, const char *, int32_t length) {
    *(int32_t *)context += length;
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
    IndexLinkMapFree(&links);
    IndexSetFree(&set);
    return 0;
}
