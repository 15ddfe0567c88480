// Index search over the three linked index files for two words (the tab's usual query), one
// word and a word found nowhere; loading and parsing the index files for comparison.
#include <benchmark/benchmark.h>

#include "index/index_search.h"
#include "index/index_set.h"

static IndexSet gSet = {};

static void LoadOnce() {
    if (gSet.entryCount == 0) IndexSetLoad(&gSet);
}

static const char *kPhrases[] = {"lung upper", "accident transport", "aspirin", "a", "qqxyzzy"};

static void BM_IndexSearch(benchmark::State &state) {
    LoadOnce();
    const char *phrase = kPhrases[state.range(0)];
    IndexSearch search = {};
    for (auto _ : state) {
        IndexSearchRun(&search, &gSet, phrase, nullptr, nullptr);
        benchmark::DoNotOptimize(search.hitCount);
    }
    state.SetLabel(phrase);
    state.counters["hits"] = search.hitCount;
    state.counters["entries"] = gSet.entryCount;
    IndexSearchClear(&search);
}
BENCHMARK(BM_IndexSearch)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

static void BM_IndexSetLoad(benchmark::State &state) {
    for (auto _ : state) {
        IndexSet set = {};
        IndexSetLoad(&set);
        benchmark::DoNotOptimize(set.entryCount);
        IndexSetFree(&set);
    }
}
BENCHMARK(BM_IndexSetLoad)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
