// Full-text search over the whole linked table for a frequent word, a common one and one found
// nowhere; the per-field naive scan shows the cost the fast path avoids; all-words searches of
// four words, common ones and ones that match nothing together.
#include <benchmark/benchmark.h>

#include "classification/record_table.h"
#include "classification/search.h"
#include "classification/search_words.h"

static RecordTable gTable = {};

static void LoadOnce() {
    if (gTable.records == nullptr) {
        RecordTableLoad(&gTable, "engtextrecords.dat");
    }
}

static const char *kWords[] = {"cholera", "diabetes", "qqxyzzy"};

static void BM_SearchRecords(benchmark::State &state) {
    LoadOnce();
    const char *word = kWords[state.range(0)];
    SearchState search = {};
    for (auto _ : state) {
        SearchRecords(&search, &gTable, word, nullptr, nullptr);
        benchmark::DoNotOptimize(search.hitCount);
    }
    state.SetLabel(word);
    state.counters["hits"] = search.hitCount;
    ClearSearchResults(&search);
}
BENCHMARK(BM_SearchRecords)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// One naive search per present field, restarting at each candidate.
static const char *NaiveFind(const char *text, const char *word) {
    auto fold = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
    for (const char *t = text; *t; t++) {
        const char *a = t;
        const char *b = word;
        while (*a && *b && fold((unsigned char)*a) == fold((unsigned char)*b)) {
            a++;
            b++;
        }
        if (*b == '\0') {
            return t;
        }
    }
    return nullptr;
}

static void BM_NaiveFieldScan(benchmark::State &state) {
    LoadOnce();
    const char *word = kWords[state.range(0)];
    for (auto _ : state) {
        int hits = 0;
        for (uint32_t i = 0; i < gTable.recordCount; i++) {
            for (uint32_t j = 0; j < MAX_RECORD_FIELDS; j++) {
                if (RecordFieldPresent(&gTable.records[i], j) &&
                    NaiveFind(RecordField(&gTable.records[i], j), word) != nullptr) {
                    hits++;
                    break;
                }
            }
        }
        benchmark::DoNotOptimize(hits);
    }
    state.SetLabel(word);
}
BENCHMARK(BM_NaiveFieldScan)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

static const char *kPhrases[] = {"diabetes chronic kidney disease", "pressure ulcer heel stage",
                                  "fracture head right radius", "cholera heel zebra qqxyzzy"};

static void BM_SearchAllWords(benchmark::State &state) {
    LoadOnce();
    const char *phrase = kPhrases[state.range(0)];
    SearchState search = {};
    for (auto _ : state) {
        SearchAllWords(&search, &gTable, phrase, nullptr, nullptr);
        benchmark::DoNotOptimize(search.hitCount);
    }
    state.SetLabel(phrase);
    state.counters["hits"] = search.hitCount;
    ClearSearchResults(&search);
}
BENCHMARK(BM_SearchAllWords)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
