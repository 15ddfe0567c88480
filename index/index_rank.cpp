// Index ranking: a key per hit from its path, then one stable sort.
#include "index/index_rank.h"

#include <algorithm>
#include <cstring>

#include "classification/word_match.h"
#include "foundation/mem.h"
#include "foundation/status.h"

namespace {

struct RankKey {
    int32_t kind;      // the index: the book's order of the indexes stays
    int32_t tier;      // 0 the main term itself, 1 its subterms, 2 any other hit
    int32_t level;     // depth of the entry (tiers 0 and 1)
    int32_t refers;    // 1 for an entry that only refers elsewhere (no code, no subterm)
    int32_t span;      // levels between the highest and lowest a typed word is first found at
    int32_t top;       // the highest level a typed word is found at
    int32_t position;  // the book's order
};

bool Before(const RankKey &a, const RankKey &b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    if (a.tier != b.tier) return a.tier < b.tier;
    if (a.tier < 2 && a.level != b.level) return a.level < b.level;
    if (a.refers != b.refers) return a.refers < b.refers;
    if (a.span != b.span) return a.span < b.span;
    if (a.top != b.top) return a.top < b.top;
    return a.position < b.position;
}

RankKey KeyOf(const IndexSet *set, int32_t n, int32_t position, const char *phrase,
              const WordSpan *words, int32_t wordCount) {
    RankKey key = {0, 2, 0, 0, 0, 0, position};
    uint16_t kind = 0;
    const IndexEntry *e = IndexSetEntry(set, n, &kind);
    if (!e) return key;
    key.kind = kind;
    key.level = e->level;
    const IndexFile *f = &set->files[kind];
    key.refers = e->firstChild < 0 ? 1 : 0;
    for (int32_t i = 0; i < e->itemCount && key.refers; i++) {
        const uint8_t item = f->items[e->firstItem + i].kind;
        key.refers = item == INDEX_ITEM_SEE || item == INDEX_ITEM_SEE_ALSO;
    }
    const IndexEntry *path[INDEX_MAX_LEVEL + 1] = {};
    for (const IndexEntry *p = e; p; p = p->parent >= 0 ? &f->entries[p->parent] : nullptr) {
        if (p->level <= INDEX_MAX_LEVEL) path[p->level] = p;
    }
    const IndexEntry *main = path[0];
    bool mainMatches = false;
    int32_t high = INDEX_MAX_LEVEL + 1, low = -1;
    for (int32_t w = 0; w < wordCount; w++) {
        const char *word = phrase + words[w].offset;
        const size_t m = (size_t)words[w].length;
        // The main term's head word: "Pneumonia", not "Klebsiella pneumoniae, as cause ...".
        if (main && main->essential) {
            size_t head = 0;
            while (main->essential[head] != '\0' && WordCharIs((unsigned char)main->essential[head]))
                head++;
            if (head > 0 && WordStartFind(main->essential, head, word, m) == 0) mainMatches = true;
        }
        for (int32_t l = 0; l <= e->level && l <= INDEX_MAX_LEVEL; l++) {
            if (!path[l] || WordStartFind(path[l]->title, (size_t)path[l]->titleLength, word, m) < 0)
                continue;
            high = std::min(high, l);
            low = std::max(low, l);
            break;
        }
    }
    if (mainMatches) key.tier = e->level == 0 ? 0 : 1;
    key.top = high;
    key.span = low >= high ? low - high : 0;
    return key;
}

}  // namespace

int32_t IndexRankHits(const IndexSet *set, const char *phrase, int32_t *hits, int32_t count) {
    if (!set || !phrase || (!hits && count > 0)) return ERR_NULLPTR;
    if (count <= 1) return 0;
    int32_t wordCount = WordSplit(phrase, nullptr, 0);
    if (wordCount <= 0) return 0;
    WordSpan *words = (WordSpan *)MemAlloc(wordCount * (int32_t)sizeof(WordSpan));
    RankKey *keys = (RankKey *)MemAlloc(count * (int32_t)sizeof(RankKey));
    int32_t *order = (int32_t *)MemAlloc(count * (int32_t)sizeof(int32_t));
    if (!words || !keys || !order) {
        MemFree(words);
        MemFree(keys);
        MemFree(order);
        return ERR_ALLOC;
    }
    WordSplit(phrase, words, wordCount);
    for (int32_t i = 0; i < count; i++) {
        keys[i] = KeyOf(set, hits[i], i, phrase, words, wordCount);
        order[i] = hits[i];
    }
    // Keys carry the book's position, so a plain sort is stable and allocates nothing.
    std::sort(keys, keys + count, Before);
    for (int32_t i = 0; i < count; i++) hits[i] = order[keys[i].position];
    MemFree(words);
    MemFree(keys);
    MemFree(order);
    return 0;
}
