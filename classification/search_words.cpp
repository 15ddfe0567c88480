// All-words search. The words are listed once per search: a word that begins another one (the
// same word typed twice, "diab" beside "diabetes") adds nothing and is dropped, and the longest
// word, usually the rarest, is tried first so most records are turned down after one scan.
#include "search_words.h"

#include <algorithm>

#include "foundation/mem.h"
#include "foundation/status.h"
#include "search_scan.h"
#include "word_match.h"

enum : uint32_t {
    TITLE_FIELDS = FIELD_TITLE + 1,  // code and title: the fields of the first group
};

struct WordList {
    const unsigned char *phrase;  // the spans' text; not owned
    WordSpan *spans;              // the words kept, longest first (MemAlloc)
    int32_t count;                // words in spans
};

static inline unsigned char Fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

// Lists the words of phrase. 0; ERR_EMPTY (no word); ERR_ALLOC.
static int32_t WordListMake(WordList *list, const char *phrase) {
    *list = {};
    int32_t count = WordSplit(phrase, nullptr, 0);
    if (count <= 0) {
        return ERR_EMPTY;
    }
    int64_t bytes = (int64_t)count * (int64_t)sizeof(WordSpan);
    WordSpan *spans = bytes > INT32_MAX ? nullptr : (WordSpan *)MemAlloc((int32_t)bytes);
    if (spans == nullptr) {
        return ERR_ALLOC;
    }
    WordSplit(phrase, spans, count);
    const unsigned char *p = (const unsigned char *)phrase;
    // Sorted ignoring case, the words that begin with a word follow it directly: a word is
    // implied by the next one when it begins it.
    auto less = [p](const WordSpan &a, const WordSpan &b) {
        int32_t n = a.length < b.length ? a.length : b.length;
        for (int32_t k = 0; k < n; k++) {
            unsigned char x = Fold(p[a.offset + k]);
            unsigned char y = Fold(p[b.offset + k]);
            if (x != y) {
                return x < y;
            }
        }
        return a.length < b.length;
    };
    std::sort(spans, spans + count, less);
    int32_t kept = 0;
    for (int32_t i = 0; i < count; i++) {
        bool implied = false;
        if (i + 1 < count && spans[i].length <= spans[i + 1].length) {
            implied = true;
            for (int32_t k = 0; k < spans[i].length && implied; k++) {
                implied = Fold(p[spans[i].offset + k]) == Fold(p[spans[i + 1].offset + k]);
            }
        }
        if (!implied) {
            spans[kept++] = spans[i];
        }
    }
    std::stable_sort(spans, spans + kept,
                     [](const WordSpan &a, const WordSpan &b) { return a.length > b.length; });
    list->phrase = p;
    list->spans = spans;
    list->count = kept;
    return 0;
}

static int AllWordsIn(const TextRecord *r, const WordList *list, uint32_t fieldLimit) {
    for (int32_t k = 0; k < list->count; k++) {
        const WordSpan &s = list->spans[k];
        if (!ScanRecord(r, list->phrase + s.offset, (size_t)s.length, SCAN_WORD_START,
                        fieldLimit)) {
            return 0;
        }
    }
    return 1;
}

int32_t SearchWordsMatch(const TextRecord *record, const char *phrase, uint32_t fieldLimit) {
    if (record == nullptr || phrase == nullptr) {
        return 0;
    }
    WordList list;
    int32_t status = WordListMake(&list, phrase);
    if (status < 0) {
        return status == ERR_ALLOC ? ERR_ALLOC : 0;
    }
    int32_t match = AllWordsIn(record, &list, fieldLimit);
    MemFree(list.spans);
    return match;
}

// Marks, while the hits are gathered, a hit that belongs after the code-and-title group.
static const uint16_t KIND_LATER = 0x8000;

// Moves the code-and-title hits of h[0..n) ahead of the others, each group keeping its order,
// without memory of its own: both halves are partitioned, then the middle rotated. Returns the
// number of code-and-title hits.
static int32_t PartitionHits(PageRef *h, int32_t n) {
    if (n <= 1) {
        return n == 1 && !(h[0].kind & KIND_LATER) ? 1 : 0;
    }
    int32_t half = n / 2;
    int32_t a = PartitionHits(h, half);
    int32_t b = PartitionHits(h + half, n - half);
    std::rotate(h + a, h + half, h + half + b);
    return a + b;
}

int32_t SearchAllWords(SearchState *state, const RecordTable *table, const char *phrase,
                       SearchHitFn onHit, void *context) {
    if (state == nullptr || table == nullptr || phrase == nullptr) {
        return ERR_NULLPTR;
    }
    WordList list;
    int32_t status = WordListMake(&list, phrase);
    if (status < 0) {
        return status;
    }
    // The phrase may be the previous search's own copy: that copy goes only after the scan.
    char *previousWord = state->searchWord;
    state->searchWord = nullptr;
    ClearSearchResults(state);
    state->searchWord = MemStrDup(phrase);
    state->rule = SEARCH_RULE_ALL_WORDS;
    // One pass over the records (they are too many to walk twice within the time a search may
    // take); the groups are put in order afterwards, and the caller hears of each hit then.
    const uint32_t count = table->records != nullptr ? table->recordCount : 0;
    for (uint32_t i = 0; i < count; i++) {
        const TextRecord *r = &table->records[i];
        if (r->marker != RECORD_MARKER || !AllWordsIn(r, &list, MAX_RECORD_FIELDS)) {
            continue;
        }
        uint16_t later = AllWordsIn(r, &list, TITLE_FIELDS) ? 0 : KIND_LATER;
        if (AddSearchHit(state, PageRef{(uint16_t)(PAGE_KIND_RECORD | later), (int32_t)i}) < 0) {
            // A list with hits missing would pass for the whole answer.
            ClearSearchResults(state);
            MemFree(list.spans);
            MemStrFree(previousWord);
            return ERR_ALLOC;
        }
    }
    PartitionHits(state->hits, state->hitCount);
    for (int32_t k = 0; k < state->hitCount; k++) {
        state->hits[k].kind = PAGE_KIND_RECORD;
        if (onHit != nullptr) {
            onHit(context, k, &state->hits[k]);
        }
    }
    MemFree(list.spans);
    MemStrFree(previousWord);
    return 0;
}
