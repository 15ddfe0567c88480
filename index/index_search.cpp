// Index search: splits the phrase into distinct words and tests every entry's path against them.
// A path is its titles joined by " > ", and a typed word holds no blank, so a word begins a word
// of the path exactly when it begins a word of one of the titles; the path is never built.
#include "index/index_search.h"

#include <algorithm>
#include <cstring>

#include "classification/word_match.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static unsigned char Fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

// The distinct words of a phrase (ignoring case), longest first: a long word rarely matches,
// so most entries are refused by the first test.
struct Words {
    const char *phrase;
    WordSpan *spans;  // MemAlloc'd
    int32_t count;    // distinct words in spans
};

static int32_t CompareFolded(const char *phrase, const WordSpan &a, const WordSpan &b) {
    const int32_t n = a.length < b.length ? a.length : b.length;
    for (int32_t i = 0; i < n; i++) {
        unsigned char x = Fold((unsigned char)phrase[a.offset + i]);
        unsigned char y = Fold((unsigned char)phrase[b.offset + i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.length - b.length;
}

static int32_t WordsMake(Words *words, const char *phrase) {
    *words = {phrase, nullptr, 0};
    int32_t count = WordSplit(phrase, nullptr, 0);
    if (count <= 0) return count < 0 ? count : ERR_EMPTY;
    if ((int64_t)count * (int64_t)sizeof(WordSpan) > INT32_MAX) return ERR_ALLOC;
    words->spans = (WordSpan *)MemAlloc(count * (int32_t)sizeof(WordSpan));
    if (!words->spans) return ERR_ALLOC;
    WordSplit(phrase, words->spans, count);
    WordSpan *s = words->spans;
    // Equal words have equal lengths, so they end up side by side. std::sort allocates nothing.
    std::sort(s, s + count, [phrase](const WordSpan &a, const WordSpan &b) {
        return a.length != b.length ? a.length > b.length : CompareFolded(phrase, a, b) < 0;
    });
    int32_t distinct = 0;
    for (int32_t i = 0; i < count; i++)
        if (distinct == 0 || CompareFolded(phrase, s[distinct - 1], s[i]) != 0) s[distinct++] = s[i];
    words->count = distinct;
    return 0;
}

static void WordsFree(Words *words) {
    MemFree(words->spans);
    words->spans = nullptr;
}

static bool EntryHasAll(const IndexFile *f, const IndexEntry *entry, const Words *words) {
    for (int32_t i = 0; i < words->count; i++) {
        const char *word = words->phrase + words->spans[i].offset;
        const size_t m = (size_t)words->spans[i].length;
        // The only word that can begin at a path's separator rather than in a title.
        bool found = m == 1 && word[0] == '>' && entry->parent >= 0;
        for (const IndexEntry *e = entry; e && !found;
             e = e->parent >= 0 ? &f->entries[e->parent] : nullptr)
            found = WordStartFind(e->title, (size_t)e->titleLength, word, m) >= 0;
        if (!found) return false;
    }
    return true;
}

int32_t IndexEntryMatches(const IndexSet *set, int32_t n, const char *phrase) {
    if (!set || !phrase) return 0;
    uint16_t kind = 0;
    const IndexEntry *e = IndexSetEntry(set, n, &kind);
    Words words;
    if (!e || WordsMake(&words, phrase) < 0) return 0;
    const int32_t result = EntryHasAll(&set->files[kind], e, &words) ? 1 : 0;
    WordsFree(&words);
    return result;
}

static int32_t AddHit(IndexSearch *search, int32_t entry) {
    if (search->hitCount == search->hitCapacity) {
        const int32_t capacity = search->hitCapacity ? search->hitCapacity * 2 : 256;
        int32_t *grown = (int32_t *)MemRealloc(search->hits, capacity * (int32_t)sizeof(int32_t));
        if (!grown) return ERR_ALLOC;
        search->hits = grown;
        search->hitCapacity = capacity;
    }
    search->hits[search->hitCount++] = entry;
    return 0;
}

// Bits of the words (at most 32) that begin a word of the entry's own title, among those not in
// known. Without subterms the entry needs only to know whether it has them all, so the test
// stops at the first word missing.
static uint32_t TitleMask(const IndexEntry *e, const Words *words, uint32_t known, bool complete) {
    uint32_t found = 0;
    for (int32_t i = 0; i < words->count; i++) {
        const uint32_t bit = 1u << i;
        if (known & bit) continue;
        const char *word = words->phrase + words->spans[i].offset;
        if (WordStartFind(e->title, (size_t)e->titleLength, word, (size_t)words->spans[i].length) >= 0)
            found |= bit;
        else if (!complete)
            break;
    }
    return found;
}

enum { MASK_WORDS = 32 };  // distinct words the one-pass search tracks; more go entry by entry

// Entries come in document order, each after its parent, so the words found along an entry's
// path are those of its parent's path (kept per level) and of its own title: each title is
// looked at once, not once per entry below it.
static int32_t SearchFile(IndexSearch *search, const IndexSet *set, uint16_t k, const Words *words,
                          IndexHitFn onHit, void *context) {
    const IndexFile *f = &set->files[k];
    int32_t status = 0;
    if (words->count > MASK_WORDS) {
        for (int32_t e = 0; e < f->entryCount && status == 0; e++) {
            if (!EntryHasAll(f, &f->entries[e], words)) continue;
            status = AddHit(search, set->base[k] + e);
            if (status == 0 && onHit) onHit(context, search->hitCount - 1, set->base[k] + e);
        }
        return status;
    }
    const uint32_t all = words->count == MASK_WORDS ? 0xFFFFFFFFu : (1u << words->count) - 1;
    uint32_t separator = 0;  // the word ">" begins at every path's separator
    for (int32_t i = 0; i < words->count; i++)
        if (words->spans[i].length == 1 && words->phrase[words->spans[i].offset] == '>')
            separator |= 1u << i;
    uint32_t pathMask[INDEX_MAX_LEVEL + 1] = {};
    for (int32_t e = 0; e < f->entryCount && status == 0; e++) {
        const IndexEntry *entry = &f->entries[e];
        const uint32_t inherited = entry->level > 0 ? pathMask[entry->level - 1] | separator : 0;
        const uint32_t mask = inherited | TitleMask(entry, words, inherited, entry->firstChild >= 0);
        pathMask[entry->level] = mask;
        if (mask != all) continue;
        status = AddHit(search, set->base[k] + e);
        if (status == 0 && onHit) onHit(context, search->hitCount - 1, set->base[k] + e);
    }
    return status;
}

int32_t IndexSearchRun(IndexSearch *search, const IndexSet *set, const char *phrase,
                       IndexHitFn onHit, void *context) {
    if (!search || !set || !phrase) return ERR_NULLPTR;
    IndexSearchClear(search);
    search->phrase = MemStrDup(phrase);
    if (!search->phrase) return ERR_ALLOC;
    Words words;
    int32_t status = WordsMake(&words, search->phrase);
    if (status < 0) return status;
    for (uint16_t k = 0; k < INDEX_KIND_COUNT && status == 0; k++)
        status = SearchFile(search, set, k, &words, onHit, context);
    WordsFree(&words);
    return status;
}

int32_t IndexSearchClear(IndexSearch *search) {
    if (!search) return ERR_NULLPTR;
    MemStrFree(search->phrase);
    MemFree(search->hits);
    *search = IndexSearch();
    return 0;
}
