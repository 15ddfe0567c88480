// Checking encounters on the linked release: 100 codes from across the classification, and
// 10,000 codes at once (reading and every rule; the notes' references are parsed before timing).
#include <benchmark/benchmark.h>

#include <string>

#include "classification/encounter.h"

static RecordTable gTable = {};
static SeventhCharTable gChars = {};
static Encounter gEncounter = {};

static bool Billable(uint32_t i) {
    return (gTable.records[i].flags & RECORD_FLAG_LEAF) &&
           SeventhCharDefFor(&gChars, (int32_t)i) == nullptr;
}

// count billable codes spread evenly over the table, blank-separated.
static std::string Codes(int32_t count) {
    int32_t leaves = 0;
    for (uint32_t i = 1; i < gTable.recordCount; i++) leaves += Billable(i);
    int32_t step = leaves / count > 0 ? leaves / count : 1, seen = 0, taken = 0;
    std::string all;
    for (uint32_t i = 1; i < gTable.recordCount && taken < count; i++) {
        if (!Billable(i) || seen++ % step != 0) continue;
        all += RecordField(&gTable.records[i], FIELD_CODE);
        all += ' ';
        taken++;
    }
    return all;
}

static void Check(benchmark::State &state) {
    if (gTable.records == nullptr) {
        RecordTableLoad(&gTable, "engtextrecords.dat");
        SeventhCharLoad(&gChars, &gTable);
        EncounterInit(&gEncounter, &gTable, &gChars);
    }
    std::string text = Codes((int32_t)state.range(0));
    EncounterRead(&gEncounter, text.data(), text.size());
    EncounterCheck(&gEncounter);
    for (auto _ : state) {
        EncounterRead(&gEncounter, text.data(), text.size());
        EncounterCheck(&gEncounter);
        benchmark::DoNotOptimize(gEncounter.findingCount);
    }
    state.counters["codes"] = gEncounter.codeCount;
    state.counters["findings"] = gEncounter.findingCount;
}
BENCHMARK(Check)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
