// Loading the linked classification records: start the tracer, load the table (with its code
// index), free it, stop the tracer, as the program does around its window. The untraced load and
// the bare parse show where the time goes; the newest release's load, what making it costs.
#include <benchmark/benchmark.h>

#include "archive/embedded_archive.h"
#include "classification/code_refs.h"
#include "classification/record_table.h"
#include "classification/releases.h"
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

// What the program loads: the records as converted with their 7th characters, against the same
// made the newest release (the releases read, the table remade, the 7th characters read again).
static void BM_LoadRecordsAndSevenths(benchmark::State &state) {
    for (auto _ : state) {
        RecordTable table = {};
        SeventhCharTable chars = {};
        RecordTableLoad(&table, "engtextrecords.dat");
        SeventhCharLoad(&chars, &table);
        benchmark::DoNotOptimize(table.recordCount);
        SeventhCharFree(&chars);
        RecordTableFree(&table);
    }
}
BENCHMARK(BM_LoadRecordsAndSevenths)->Unit(benchmark::kMillisecond)->MinTime(2.0);

static void BM_LoadNewestRelease(benchmark::State &state) {
    for (auto _ : state) {
        RecordTable table = {};
        SeventhCharTable chars = {};
        Releases releases = {};
        if (ReleasesLoadTable(&releases, &table, &chars) < 0) {
            state.SkipWithError("the newest release could not be made");
        }
        benchmark::DoNotOptimize(table.recordCount);
        ReleasesFree(&releases);
        SeventhCharFree(&chars);
        RecordTableFree(&table);
    }
}
BENCHMARK(BM_LoadNewestRelease)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Making the newest release alone, on a table and 7th characters read outside the timing.
static void BM_MakeNewestRelease(benchmark::State &state) {
    Releases releases = {};
    ReleasesLoad(&releases);
    for (auto _ : state) {
        state.PauseTiming();
        RecordTable table = {};
        SeventhCharTable chars = {};
        RecordTableLoad(&table, "engtextrecords.dat");
        SeventhCharLoad(&chars, &table);
        state.ResumeTiming();
        ReleasesApply(&releases, ReleasesNewest(&releases), &table, &chars);
        state.PauseTiming();
        SeventhCharFree(&chars);
        RecordTableFree(&table);
        state.ResumeTiming();
    }
    ReleasesFree(&releases);
}
BENCHMARK(BM_MakeNewestRelease)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
