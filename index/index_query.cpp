// The coder's query: the words rewritten, searched, ranked, and corrected when nothing matches.
#include "index/index_query.h"

#include <cstring>
#include <string>

#include "classification/str_bounded.h"
#include "classification/word_match.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "index/index_abbrev.h"
#include "index/index_rank.h"

static char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

int32_t IndexWordStem(const char *word, int32_t n) {
    if (!word || n < 4) return n;
    const char a = Lower(word[n - 3]), b = Lower(word[n - 2]), c = Lower(word[n - 1]);
    if (c != 's') return n;
    if (a == 'i' && b == 'e' && n > 4) return n - 3;    // injuries: injur(y)
    if (b == 's' || b == 'u' || b == 'i') return n;     // abscess, lupus, sepsis
    return n - 1;                                       // fractures, stones
}

// The typed words rewritten: abbreviations by their entry's words, the rest by their stems.
static std::string Rewrite(const char *typed, IndexQueryNote *note) {
    int32_t count = WordSplit(typed, nullptr, 0);
    std::string out;
    if (count <= 0) return out;
    WordSpan *spans = (WordSpan *)MemAlloc(count * (int32_t)sizeof(WordSpan));
    if (!spans) return out;
    WordSplit(typed, spans, count);
    for (int32_t i = 0; i < count; i++) {
        const char *w = typed + spans[i].offset;
        const IndexAbbreviation *a = IndexAbbreviationFind(w, spans[i].length);
        if (!out.empty()) out += ' ';
        if (a) {
            // The entry's words, its commas only for the list to show.
            for (const char *p = a->words; *p != '\0'; p++) out += *p == ',' ? ' ' : *p;
            if (note->expansion[0] != '\0') StrAppendBounded(note->expansion, "; ", INDEX_QUERY_NOTE_CHARS);
            StrAppendBounded(note->expansion, a->abbreviation, INDEX_QUERY_NOTE_CHARS);
            StrAppendBounded(note->expansion, ": ", INDEX_QUERY_NOTE_CHARS);
            StrAppendBounded(note->expansion, a->words, INDEX_QUERY_NOTE_CHARS);
        } else {
            out.append(w, (size_t)IndexWordStem(w, spans[i].length));
        }
    }
    MemFree(spans);
    return out;
}

// Search and rank phrase into search.
static int32_t Ranked(IndexSearch *search, const IndexSet *set, const char *phrase) {
    int32_t status = IndexSearchRun(search, set, phrase, nullptr, nullptr);
    if (status == 0) status = IndexRankHits(set, phrase, search->hits, search->hitCount);
    return status;
}

// The literal matches of what was typed, ranked, after the abbreviation's.
static int32_t AppendLiteral(IndexSearch *search, const IndexSet *set, const char *typed) {
    IndexSearch literal = {};
    int32_t status = Ranked(&literal, set, typed);
    int32_t total = 0;
    for (uint16_t k = 0; k < INDEX_KIND_COUNT; k++) total += set->files[k].entryCount;
    uint8_t *seen = status == 0 && literal.hitCount > 0 ? (uint8_t *)MemAlloc(total + 1) : nullptr;
    if (status == 0 && literal.hitCount > 0 && !seen) status = ERR_ALLOC;
    if (seen) {
        memset(seen, 0, (size_t)total + 1);
        for (int32_t i = 0; i < search->hitCount; i++) seen[search->hits[i]] = 1;
        int32_t need = search->hitCount + literal.hitCount;
        if (need > search->hitCapacity) {
            int32_t *grown = (int32_t *)MemRealloc(search->hits, need * (int32_t)sizeof(int32_t));
            if (!grown) status = ERR_ALLOC;
            else search->hits = grown, search->hitCapacity = need;
        }
        for (int32_t i = 0; status == 0 && i < literal.hitCount; i++) {
            if (!seen[literal.hits[i]]) search->hits[search->hitCount++] = literal.hits[i];
        }
    }
    MemFree(seen);
    IndexSearchClear(&literal);
    return status;
}

// Each word no title word begins, replaced by its most frequent neighbour; the others offered.
static std::string Correct(const IndexVocabulary *v, const std::string &phrase, IndexQueryNote *note) {
    int32_t count = WordSplit(phrase.c_str(), nullptr, 0);
    if (count <= 0) return "";
    std::string out;
    bool changed = false;
    WordSpan *spans = (WordSpan *)MemAlloc(count * (int32_t)sizeof(WordSpan));
    if (!spans) return "";
    WordSplit(phrase.c_str(), spans, count);
    for (int32_t i = 0; i < count; i++) {
        const char *w = phrase.c_str() + spans[i].offset;
        if (!out.empty()) out += ' ';
        const char *found[6];
        // A word with a digit is a code or a number (E11, 2019): never a typo.
        bool digit = false;
        for (int32_t k = 0; k < spans[i].length; k++) digit = digit || (w[k] >= '0' && w[k] <= '9');
        int32_t n = digit || IndexVocabularyHasPrefix(v, w, spans[i].length)
                        ? 0
                        : IndexVocabularySuggest(v, w, spans[i].length, found, 6);
        if (n == 0) {
            out.append(w, (size_t)spans[i].length);
            continue;
        }
        out += found[0];
        changed = true;
        for (int32_t k = 1; k < n; k++) {
            if (note->others[0] != '\0') StrAppendBounded(note->others, ", ", INDEX_QUERY_NOTE_CHARS);
            StrAppendBounded(note->others, found[k], INDEX_QUERY_NOTE_CHARS);
        }
    }
    MemFree(spans);
    return changed ? out : "";
}

int32_t IndexQueryRun(IndexSearch *search, const IndexSet *set, const char *typed,
                      IndexVocabulary **vocabulary, IndexQueryNote *note) {
    if (!search || !set || !typed || !note) return ERR_NULLPTR;
    memset(note, 0, sizeof *note);
    std::string phrase = Rewrite(typed, note);
    if (phrase.empty()) return IndexSearchRun(search, set, typed, nullptr, nullptr);
    int32_t status = Ranked(search, set, phrase.c_str());
    if (status == 0 && note->expansion[0] != '\0') status = AppendLiteral(search, set, typed);
    if (status != 0 || search->hitCount > 0 || !vocabulary) return status;
    if (!*vocabulary) {
        status = IndexVocabularyBuild(vocabulary, set);
        if (status < 0) return status;
    }
    std::string corrected = Correct(*vocabulary, phrase, note);
    if (corrected.empty()) return 0;
    status = Ranked(search, set, corrected.c_str());
    if (status == 0 && search->hitCount > 0) {
        StrCopyBounded(note->corrected, corrected.c_str(), INDEX_QUERY_NOTE_CHARS);
    } else {
        note->others[0] = '\0';
    }
    return status;
}
