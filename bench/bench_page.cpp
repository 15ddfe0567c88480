// Composing the page with the most code references in the linked release, with the code index
// and with the plain scan it replaces.
#include <benchmark/benchmark.h>

#include <vector>

#include "classification/code_refs.h"
#include "classification/page_compose.h"
#include "classification/record_table.h"

static RecordTable gTable = {};
static uint32_t gBusiest = 0;
static int gBusiestRefs = 0;

static int CountRefs(const TextRecord *r) {
    int refs = 0;
    for (uint32_t j = 1; j <= FIELD_LAST_SHOWN; j++) {
        const char *text = RecordField(r, j);
        for (const char *p = text; *p;) {
            int32_t n = CodeRefLength(p);
            p += n > 0 ? n : 1;
            refs += n > 0;
        }
    }
    return refs;
}

static void LoadOnce() {
    if (gTable.records != nullptr) {
        return;
    }
    RecordTableLoad(&gTable, "engtextrecords.dat");
    for (uint32_t i = 0; i < gTable.recordCount; i++) {
        int refs = CountRefs(&gTable.records[i]);
        if (refs > gBusiestRefs) {
            gBusiestRefs = refs;
            gBusiest = i;
        }
    }
}

static void ComposeBusiest(benchmark::State &state, const RecordTable *table) {
    std::vector<char> text(TEXT_BUFFER_CHARS + 1), scratch(TEXT_BUFFER_CHARS + 1);
    PageWorkspace workspace = {text.data(), scratch.data(), TEXT_BUFFER_CHARS};
    LinkTable links = {};
    PageSink sink = {};
    for (auto _ : state) {
        ComposeRecordPage(table, 1, &table->records[gBusiest], &workspace, &links, &sink);
        benchmark::DoNotOptimize(links.linkCount);
    }
    state.SetLabel(RecordField(&table->records[gBusiest], FIELD_CODE));
    state.counters["refs"] = gBusiestRefs;
    state.counters["links"] = links.linkCount;
}

static void BM_ComposeBusiestPage(benchmark::State &state) {
    LoadOnce();
    ComposeBusiest(state, &gTable);
}
BENCHMARK(BM_ComposeBusiestPage)->Unit(benchmark::kMillisecond);

static void BM_ComposeBusiestPageScanning(benchmark::State &state) {
    LoadOnce();
    RecordTable scanning = gTable;
    scanning.codeIndex = nullptr;
    ComposeBusiest(state, &scanning);
}
BENCHMARK(BM_ComposeBusiestPageScanning)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
