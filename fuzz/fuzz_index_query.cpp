// libFuzzer target: the coder's index query on the linked indexes. Any typed text gives hits that
// are entries of the set, each once, whatever its abbreviations, plurals or typos.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/status.h"
#include "index/index_query.h"

static IndexSet gSet = {};
static IndexVocabulary *gVocabulary = nullptr;
static int32_t gEntries = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (gEntries == 0) {
        if (IndexSetLoad(&gSet) < 0) abort();
        for (uint16_t k = 0; k < INDEX_KIND_COUNT; k++) gEntries += gSet.files[k].entryCount;
    }
    if (size > 200) return 0;
    std::string typed(reinterpret_cast<const char *>(data), size);
    typed = typed.substr(0, strnlen(typed.c_str(), typed.size()));
    IndexSearch search = {};
    IndexQueryNote note;
    int32_t status = IndexQueryRun(&search, &gSet, typed.c_str(), &gVocabulary, &note);
    if (status != 0 && status != ERR_EMPTY) abort();
    std::vector<uint8_t> seen((size_t)gEntries, 0);
    for (int32_t i = 0; i < search.hitCount; i++) {
        int32_t n = search.hits[i];
        if (n < 0 || n >= gEntries || seen[(size_t)n]++) abort();
    }
    if (strlen(note.expansion) > INDEX_QUERY_NOTE_CHARS) abort();
    IndexSearchClear(&search);
    return 0;
}
