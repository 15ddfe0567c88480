// Composing the page whose coding context is the longest in the linked release: its own part
// and its context, and the context alone.
#include <benchmark/benchmark.h>

#include <vector>

#include "classification/page_compose.h"
#include "classification/page_context.h"
#include "classification/record_table.h"
#include "classification/seventh_chars.h"

static RecordTable gTable = {};
static SeventhCharTable gChars = {};
static uint32_t gLongest = 0;
static int64_t gLongestBytes = 0;

static void Count(void *context, const char *text, int32_t length) {
    *(int64_t *)context += length;
}

static void LoadOnce() {
    if (gTable.records != nullptr) return;
    RecordTableLoad(&gTable, "engtextrecords.dat");
    SeventhCharLoad(&gChars, &gTable);
    std::vector<char> text(TEXT_BUFFER_CHARS + 1), scratch(TEXT_BUFFER_CHARS + 1);
    PageWorkspace ws = {text.data(), scratch.data(), TEXT_BUFFER_CHARS};
    LinkTable links = {};
    for (uint32_t i = 0; i < gTable.recordCount; i++) {
        int64_t bytes = 0;
        PageSink sink = {&bytes, nullptr, nullptr, nullptr, Count};
        ComposePageContext(&gTable, &gChars, nullptr, 1, &gTable.records[i], &ws, &links, &sink);
        if (bytes > gLongestBytes) {
            gLongestBytes = bytes;
            gLongest = i;
        }
    }
}

static void Compose(benchmark::State &state, bool own) {
    LoadOnce();
    std::vector<char> text(TEXT_BUFFER_CHARS + 1), scratch(TEXT_BUFFER_CHARS + 1);
    PageWorkspace ws = {text.data(), scratch.data(), TEXT_BUFFER_CHARS};
    LinkTable links = {};
    PageSink sink = {};
    const TextRecord *r = &gTable.records[gLongest];
    for (auto _ : state) {
        if (own) ComposeRecordPage(&gTable, 1, r, &ws, &links, &sink);
        ComposePageContext(&gTable, &gChars, nullptr, 1, r, &ws, &links, &sink);
        benchmark::DoNotOptimize(links.linkCount);
    }
    state.SetLabel(RecordField(r, FIELD_CODE));
    state.counters["context_bytes"] = (double)gLongestBytes;
}

static void BM_PageWithLongestContext(benchmark::State &state) { Compose(state, true); }
BENCHMARK(BM_PageWithLongestContext)->Unit(benchmark::kMicrosecond);

static void BM_LongestContextAlone(benchmark::State &state) { Compose(state, false); }
BENCHMARK(BM_LongestContextAlone)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
