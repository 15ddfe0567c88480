// What the later releases' section adds to a page: composing it for a page with many changes
// (T81.32), one with none (A00.0) and the record page itself, for the ratio; and loading the
// entry, as the window does at start.
#include <benchmark/benchmark.h>

#include <vector>

#include "classification/code_refs.h"
#include "classification/page_changes.h"
#include "classification/page_compose.h"
#include "classification/page_ref.h"
#include "classification/record_table.h"

static RecordTable gTable = {};
static ReleaseChanges gChanges = {};

static void LoadOnce() {
    if (gTable.records == nullptr) {
        RecordTableLoad(&gTable, "engtextrecords.dat");
        ReleaseChangesLoad(&gChanges);
    }
}

static void Compose(benchmark::State &state, const char *code, bool section) {
    LoadOnce();
    int32_t position = FindRecordByCode(&gTable, PAGE_KIND_RECORD, code);
    if (position < 0) {
        state.SkipWithError("no such record");
        return;
    }
    const TextRecord *record = &gTable.records[position];
    std::vector<char> text(TEXT_BUFFER_CHARS + 1), scratch(TEXT_BUFFER_CHARS + 1);
    PageWorkspace workspace = {text.data(), scratch.data(), TEXT_BUFFER_CHARS};
    LinkTable links = {};
    PageSink sink = {};
    int32_t written = 0;
    for (auto _ : state) {
        if (section) {
            ClearLinks(&links);
            written = ComposeReleaseChanges(&gTable, &gChanges, PAGE_KIND_RECORD, record,
                                            &workspace, &links, &sink);
        } else {
            ComposeRecordPage(&gTable, PAGE_KIND_RECORD, record, &workspace, &links, &sink);
        }
        benchmark::DoNotOptimize(links.linkCount);
    }
    state.SetLabel(code);
    state.counters["changes"] = written;
}

static void BM_SectionManyChanges(benchmark::State &state) { Compose(state, "T81.32", true); }
BENCHMARK(BM_SectionManyChanges)->Unit(benchmark::kMicrosecond);
static void BM_SectionNoChanges(benchmark::State &state) { Compose(state, "A00.0", true); }
BENCHMARK(BM_SectionNoChanges)->Unit(benchmark::kMicrosecond);
static void BM_RecordPageT8132(benchmark::State &state) { Compose(state, "T81.32", false); }
BENCHMARK(BM_RecordPageT8132)->Unit(benchmark::kMicrosecond);

static void BM_LoadChanges(benchmark::State &state) {
    for (auto _ : state) {
        ReleaseChanges changes = {};
        ReleaseChangesLoad(&changes);
        benchmark::DoNotOptimize(changes.changeCount);
        ReleaseChangesFree(&changes);
    }
}
BENCHMARK(BM_LoadChanges)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
