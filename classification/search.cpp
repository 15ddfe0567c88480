// Full-text search over the record table: the phrase as typed, anywhere in a present field. The
// scanning itself is search_scan's, shared with the all-words search.
#include "search.h"

#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"
#include "search_scan.h"

const char *StrFindNoCase(const char *text, const char *word) {
    if (text == nullptr || word == nullptr || word[0] == '\0' || text[0] == '\0') {
        return nullptr;
    }
    ptrdiff_t at = ScanFind((const unsigned char *)text, 0, strlen(text),
                            (const unsigned char *)word, strlen(word), SCAN_ANYWHERE);
    return at < 0 ? nullptr : text + at;
}

int32_t ClearSearchResults(SearchState *state) {
    if (state == nullptr) {
        return ERR_NULLPTR;
    }
    MemStrFree(state->searchWord);
    MemFree(state->hits);
    state->searchWord = nullptr;
    state->hits = nullptr;
    state->hitCount = 0;
    state->hitCapacity = 0;
    state->rule = SEARCH_RULE_PHRASE;
    return 0;
}

int32_t AddSearchHit(SearchState *state, PageRef hit) {
    if (state == nullptr) {
        return ERR_NULLPTR;
    }
    if (state->hitCount >= state->hitCapacity) {
        int64_t entries = (int64_t)state->hitCount + HIT_GROWTH;
        int64_t bytes = entries * (int64_t)sizeof(PageRef);
        PageRef *grown = bytes > INT32_MAX ? nullptr
                                           : (PageRef *)MemRealloc(state->hits, (int32_t)bytes);
        if (grown == nullptr) {
            return ERR_ALLOC;
        }
        state->hits = grown;
        state->hitCapacity = (int32_t)entries;
    }
    state->hits[state->hitCount] = hit;
    return state->hitCount++;
}

int32_t SearchRecords(SearchState *state, const RecordTable *table, const char *word,
                      SearchHitFn onHit, void *context) {
    if (state == nullptr || table == nullptr || word == nullptr) {
        return ERR_NULLPTR;
    }
    if (word[0] == '\0') {
        return ERR_EMPTY;
    }
    // The word may be the previous search's own copy: that copy goes only after the scan.
    char *previousWord = state->searchWord;
    state->searchWord = nullptr;
    ClearSearchResults(state);
    state->searchWord = MemStrDup(word);
    // Out of memory gives no results at all rather than a list with hits missing from it.
    if (state->searchWord == nullptr) {
        MemStrFree(previousWord);
        return ERR_ALLOC;
    }
    size_t m = strlen(word);
    const unsigned char *w = (const unsigned char *)word;
    for (uint32_t i = 0; table->records != nullptr && i < table->recordCount; i++) {
        const TextRecord *r = &table->records[i];
        if (r->marker != RECORD_MARKER || !ScanRecord(r, w, m, SCAN_ANYWHERE, MAX_RECORD_FIELDS)) {
            continue;
        }
        PageRef hit = {PAGE_KIND_RECORD, (int32_t)i};
        int32_t number = AddSearchHit(state, hit);
        if (number < 0) {
            ClearSearchResults(state);
            MemStrFree(previousWord);
            return ERR_ALLOC;
        }
        if (onHit != nullptr) {
            onHit(context, number, &state->hits[number]);
        }
    }
    MemStrFree(previousWord);
    return 0;
}
