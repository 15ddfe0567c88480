// The Official Guidelines in process: a word search (three words, two, one, none found),
// loading the entry, building the code-to-section map, a record's sections, and composing the
// largest section page (Section I whole) into nothing.
#include <benchmark/benchmark.h>

#include "guidelines/guideline_codes.h"
#include "guidelines/guideline_file.h"
#include "guidelines/guideline_page.h"
#include "guidelines/guideline_search.h"

static GuidelineFile gFile = {};
static GuidelineCodeMap gMap = {};

static void LoadOnce() {
    if (gFile.sectionCount > 0) return;
    GuidelineFileLoadEmbedded(&gFile);
    GuidelineCodeMapBuild(&gMap, &gFile);
}

static const char *kWords[] = {"sepsis organ dysfunction", "insulin oral", "laterality", "e",
                               "qqxyzzy"};

static void BM_GuidelineSearch(benchmark::State &state) {
    LoadOnce();
    const char *words = kWords[state.range(0)];
    int32_t hits[600], count = 0;
    for (auto _ : state) {
        GuidelineSearch(&gFile, words, hits, 600, &count);
        benchmark::DoNotOptimize(count);
    }
    state.SetLabel(words);
    state.counters["hits"] = count;
}
BENCHMARK(BM_GuidelineSearch)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

static void BM_GuidelinesLoad(benchmark::State &state) {
    for (auto _ : state) {
        GuidelineFile file = {};
        GuidelineFileLoadEmbedded(&file);
        benchmark::DoNotOptimize(file.sectionCount);
        GuidelineFileFree(&file);
    }
}
BENCHMARK(BM_GuidelinesLoad)->Unit(benchmark::kMillisecond);

static void BM_GuidelineCodeMapBuild(benchmark::State &state) {
    LoadOnce();
    for (auto _ : state) {
        GuidelineCodeMap map = {};
        GuidelineCodeMapBuild(&map, &gFile);
        benchmark::DoNotOptimize(map.count);
        GuidelineCodeMapFree(&map);
    }
    state.counters["refs"] = gMap.count;
}
BENCHMARK(BM_GuidelineCodeMapBuild)->Unit(benchmark::kMillisecond);

static void BM_GuidelineSectionsOfCode(benchmark::State &state) {
    LoadOnce();
    int32_t out[GUIDELINE_SECTIONS_SHOWN];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            GuidelineSectionsOf(&gFile, &gMap, "E11.22", out, GUIDELINE_SECTIONS_SHOWN));
    }
}
BENCHMARK(BM_GuidelineSectionsOfCode)->Unit(benchmark::kMicrosecond);

static void CountBytes(void *context, const char *, int32_t length) { *(int64_t *)context += length; }

static void BM_ComposeSectionI(benchmark::State &state) {
    LoadOnce();
    int64_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        PageSink sink = {&bytes, nullptr, nullptr, nullptr, CountBytes};
        ComposeGuideline(&gFile, GuidelineFind(&gFile, "I"), &sink);
    }
    state.counters["bytes"] = (double)bytes;
}
BENCHMARK(BM_ComposeSectionI)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
