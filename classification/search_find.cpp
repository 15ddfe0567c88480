// "Find": phrase, typed code, all words, and the nothing-found line. The rules after the first
// only run when the phrase has no hit, so a search with phrase hits stays exactly as it was.
#include "search_find.h"

#include <cstdio>
#include <cstring>

#include "code_validity.h"
#include "page_changes.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "search_words.h"
#include "word_match.h"

int32_t SearchTypedCode(const RecordTable *table, const SeventhCharTable *chars,
                        const char *text) {
    if (table == nullptr || text == nullptr || WordSplit(text, nullptr, 0) != 1) {
        return -1;
    }
    CodeCheckResult check;
    if (CodeCheck(table, chars, text, &check) < 0 || check.validity == CODE_UNKNOWN ||
        check.record < 0 || (uint32_t)check.record >= table->recordCount) {
        return -1;
    }
    return check.record;
}

static int32_t AddCodeHit(SearchState *state, int32_t record, SearchHitFn onHit, void *context) {
    state->rule = SEARCH_RULE_CODE;
    PageRef hit = {PAGE_KIND_RECORD, record};
    int32_t number = AddSearchHit(state, hit);
    if (number < 0) {
        return ERR_ALLOC;
    }
    if (onHit != nullptr) {
        onHit(context, number, &state->hits[number]);
    }
    return 0;
}

int32_t SearchFind(SearchState *state, const RecordTable *table, const SeventhCharTable *chars,
                   const char *text, SearchHitFn onHit, void *context) {
    // Searching for the kept text again: every rule frees the previous copy, so work on our own.
    char *own = nullptr;
    if (state != nullptr && text != nullptr && text[0] != '\0' && text == state->searchWord) {
        own = MemStrDup(text);
        if (own == nullptr) {
            return ERR_ALLOC;
        }
        text = own;
    }
    int32_t status = SearchRecords(state, table, text, onHit, context);
    if (status >= 0 && state->hitCount == 0) {
        int32_t record = SearchTypedCode(table, chars, text);
        // Out of memory here must not read as "nothing found": the code or the words exist.
        if (record >= 0) {
            status = AddCodeHit(state, record, onHit, context);
        } else if (WordSplit(text, nullptr, 0) >= 2 &&
                   SearchAllWords(state, table, text, onHit, context) == ERR_ALLOC) {
            status = ERR_ALLOC;
        }
    }
    MemStrFree(own);
    return status;
}

const char *SearchNothingFoundText(const ReleaseChanges *changes, const char *text, char *buffer,
                                   int32_t capacity) {
    if (buffer == nullptr || capacity < 0) {
        return "";
    }
    buffer[0] = '\0';
    if (text == nullptr) {
        return buffer;
    }
    // A code that only a later release has: say which and what, not just "nothing".
    if (changes != nullptr && capacity > 0 &&
        ReleaseChangesFindLine(changes, text, buffer, capacity) > 0) {
        return buffer;
    }
    buffer[0] = '\0';
    size_t start = 0;
    size_t end = strlen(text);
    while (start < end && (text[start] == ' ' || text[start] == '\t')) {
        start++;
    }
    while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
        end--;
    }
    size_t shown = end - start;
    const char *cut = "";
    if (shown > NOTHING_FOUND_QUOTE_CHARS) {
        shown = NOTHING_FOUND_QUOTE_CHARS;
        cut = "...";
    }
    snprintf(buffer, (size_t)capacity + 1, "No record contains \"%.*s%s\".", (int)shown,
             text + start, cut);
    return buffer;
}
