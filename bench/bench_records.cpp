// Loading the linked classification records: start the tracer, load the table (with its code
// index), free it, stop the tracer, as the program does around its window. The untraced load and
// the bare parse show where the time goes.
#include <benchmark/benchmark.h>

#include "archive/embedded_archive.h"
#include "classification/code_refs.h"
#include "classification/record_table.h"
#include "foundation/mem.h"

static void BM_LoadRecordsTraced(benchmark::State &state) {
    for (auto _ : state) {
        StartMemoryTracer(20000);
        RecordTable table = {};
        if (RecordTableLoad(&table, "engtextrecords.dat") < 0) {
            state.SkipWithError("records could not be loaded");
        }
        benchmark::DoNotOptimize(table.recordCount);
        RecordTableFree(&table);
        StopMemoryTracer();
    }
}
BENCHMARK(BM_LoadRecordsTraced)->Unit(benchmark::kMillisecond)->MinTime(2.0);

static void BM_LoadRecordsUntraced(benchmark::State &state) {
    for (auto _ : state) {
        RecordTable table = {};
        RecordTableLoad(&table, "engtextrecords.dat");
        benchmark::DoNotOptimize(table.recordCount);
        RecordTableFree(&table);
    }
}
BENCHMARK(BM_LoadRecordsUntraced)->Unit(benchmark::kMillisecond);

static void BM_ParseRecordsOnly(benchmark::State &state) {
    int32_t size = 0;
    char *bytes = nullptr;
    if (PakLoadEmbeddedEntry("engtextrecords.dat", &size, &bytes) < 0) {
        state.SkipWithError("entry missing");
        return;
    }
    for (auto _ : state) {
        uint32_t count = 0;
        TextRecord *records = nullptr;
        ParseTextRecords(bytes, size, &count, &records);
        benchmark::DoNotOptimize(count);
        FreeRecordTexts(count, records);
        MemFree(records);
    }
    MemFree(bytes);
}
BENCHMARK(BM_ParseRecordsOnly)->Unit(benchmark::kMillisecond);

static void BM_BuildCodeIndex(benchmark::State &state) {
    RecordTable table = {};
    RecordTableLoad(&table, "engtextrecords.dat");
    for (auto _ : state) {
        CodeIndexBuild(&table);
    }
    RecordTableFree(&table);
}
BENCHMARK(BM_BuildCodeIndex)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
