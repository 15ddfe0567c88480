// libFuzzer target: the all-words matcher and WordStartFind against plain loops. The input is
// split at its first zero byte into the phrase and a record line of ';'-separated fields (a
// later zero byte ends its field early, as in loaded records); both answers must agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "classification/search_words.h"
#include "classification/word_match.h"

static unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

static ptrdiff_t NaiveStart(const char *text, size_t n, const char *word, size_t m) {
    for (size_t i = 0; m > 0 && i + m <= n; i++) {
        if (i > 0 && WordCharIs((unsigned char)text[i - 1])) continue;
        size_t k = 0;
        while (k < m && Fold((unsigned char)text[i + k]) == Fold((unsigned char)word[k])) k++;
        if (k == m) return (ptrdiff_t)i;
    }
    return -1;
}

static int NaiveMatch(const TextRecord *r, const std::vector<std::string> &words, uint32_t limit) {
    if (words.empty()) return 0;
    for (const std::string &w : words) {
        bool found = false;
        for (uint32_t j = 0; j < limit && !found; j++) {
            if (r->fieldOffsets[j] < 0) continue;
            const char *f = r->text + r->fieldOffsets[j];
            found = NaiveStart(f, strlen(f), w.data(), w.size()) >= 0;
        }
        if (!found) return 0;
    }
    return 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const uint8_t *zero = static_cast<const uint8_t *>(memchr(data, 0, size));
    size_t phraseLength = zero ? (size_t)(zero - data) : size / 4;
    size_t lineStart = zero ? phraseLength + 1 : phraseLength;
    std::string phrase((const char *)data, phraseLength);
    std::string line((const char *)data + lineStart, size - lineStart);

    // Exactly sized copies, so that a read past either end is caught.
    char *text = static_cast<char *>(malloc(line.size() + 2));
    memcpy(text, line.data(), line.size());
    text[line.size()] = text[line.size() + 1] = '\0';
    TextRecord r = {};
    r.marker = RECORD_MARKER;
    r.text = text;
    for (uint32_t j = 0; j < MAX_RECORD_FIELDS; j++) r.fieldOffsets[j] = -1;
    uint32_t field = 0;
    r.fieldOffsets[field++] = 0;
    for (size_t i = 0; i < line.size(); i++) {
        if (text[i] == ';') {
            text[i] = '\0';
            if (field < MAX_RECORD_FIELDS) r.fieldOffsets[field++] = (int32_t)(i + 1);
        }
    }

    std::vector<std::string> words;
    size_t i = 0;
    while (i < phrase.size()) {
        while (i < phrase.size() && (phrase[i] == ' ' || phrase[i] == '\t')) i++;
        size_t start = i;
        while (i < phrase.size() && phrase[i] != ' ' && phrase[i] != '\t') i++;
        if (i > start) words.push_back(phrase.substr(start, i - start));
    }
    for (uint32_t limit : {2u, (uint32_t)MAX_RECORD_FIELDS}) {
        if (SearchWordsMatch(&r, phrase.c_str(), limit) != NaiveMatch(&r, words, limit)) abort();
    }
    char *word = static_cast<char *>(malloc(phrase.size() + 1));
    memcpy(word, phrase.data(), phrase.size());
    if (WordStartFind(line.data(), line.size(), word, phrase.size()) !=
        NaiveStart(line.data(), line.size(), word, phrase.size()))
        abort();
    free(word);
    free(text);
    return 0;
}
