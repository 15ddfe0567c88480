// The vocabulary of the index titles and the edit distance (adjacent transpositions counted as
// one edit) that finds a typed word's neighbours.
#include "index/index_typo.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "classification/word_match.h"
#include "foundation/status.h"

struct IndexVocabulary {
    std::vector<std::string> words;  // lower case, sorted
    std::vector<int32_t> counts;     // occurrences of each in the titles
};

static std::string Lower(const char *s, int32_t n) {
    std::string out(s, (size_t)n);
    for (char &c : out) {
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    }
    return out;
}

int32_t IndexVocabularyBuild(IndexVocabulary **vocabulary, const IndexSet *set) {
    if (!vocabulary || !set) return ERR_NULLPTR;
    *vocabulary = nullptr;
    IndexVocabulary *v = new (std::nothrow) IndexVocabulary();
    if (!v) return ERR_ALLOC;
    try {
        std::unordered_map<std::string, int32_t> counts;
        for (uint16_t k = 0; k < INDEX_KIND_COUNT; k++) {
            const IndexFile *f = &set->files[k];
            for (int32_t e = 0; e < f->entryCount; e++) {
                const char *t = f->entries[e].title;
                const int32_t n = f->entries[e].titleLength;
                // Words as the search begins them: runs of word characters.
                for (int32_t i = 0; t && i < n;) {
                    while (i < n && !WordCharIs((unsigned char)t[i])) i++;
                    int32_t start = i;
                    while (i < n && WordCharIs((unsigned char)t[i])) i++;
                    if (i - start >= 3) counts[Lower(t + start, i - start)]++;
                }
            }
        }
        for (const auto &c : counts) v->words.push_back(c.first);
        std::sort(v->words.begin(), v->words.end());
        for (const std::string &w : v->words) v->counts.push_back(counts[w]);
    } catch (...) {
        delete v;
        return ERR_ALLOC;
    }
    *vocabulary = v;
    return 0;
}

void IndexVocabularyFree(IndexVocabulary **vocabulary) {
    if (!vocabulary) return;
    delete *vocabulary;
    *vocabulary = nullptr;
}

int32_t IndexVocabularyHasPrefix(const IndexVocabulary *v, const char *word, int32_t length) {
    if (!v || !word || length <= 0) return 0;
    std::string w = Lower(word, length);
    auto at = std::lower_bound(v->words.begin(), v->words.end(), w);
    return at != v->words.end() && at->compare(0, w.size(), w) == 0 ? 1 : 0;
}

// Edit distance of a and b, or limit + 1 once it is sure to exceed limit.
static int32_t Distance(const std::string &a, const std::string &b, int32_t limit) {
    const size_t n = a.size(), m = b.size();
    if ((int32_t)(n > m ? n - m : m - n) > limit) return limit + 1;
    std::vector<int32_t> two((m + 1)), one(m + 1), row(m + 1);
    for (size_t j = 0; j <= m; j++) one[j] = (int32_t)j;
    for (size_t i = 1; i <= n; i++) {
        row[0] = (int32_t)i;
        int32_t best = row[0];
        for (size_t j = 1; j <= m; j++) {
            int32_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            row[j] = std::min({one[j] + 1, row[j - 1] + 1, one[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                row[j] = std::min(row[j], two[j - 2] + 1);
            best = std::min(best, row[j]);
        }
        if (best > limit) return limit + 1;
        two.swap(one);
        one.swap(row);
    }
    return one[m];
}

int32_t IndexVocabularySuggest(const IndexVocabulary *v, const char *word, int32_t length,
                               const char **out, int32_t capacity) {
    if (!v || !word || length < 3 || !out || capacity <= 0) return 0;
    const std::string w = Lower(word, length);
    const int32_t limit = length <= 4 ? 1 : 2;
    std::vector<size_t> found;
    for (size_t i = 0; i < v->words.size(); i++) {
        if (Distance(w, v->words[i], limit) <= limit) found.push_back(i);
    }
    // The most frequent first; the alphabet among equals.
    std::stable_sort(found.begin(), found.end(),
                     [v](size_t a, size_t b) { return v->counts[a] > v->counts[b]; });
    int32_t n = 0;
    for (size_t i : found) {
        if (n == capacity) break;
        out[n++] = v->words[i].c_str();
    }
    return n;
}
