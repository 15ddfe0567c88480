// Cost of the allocation tracer at the program's scale: one traced block per classification
// record (46,000 blocks of 100 bytes) made after start-up and released in order before the stop.
// Compare the traced figure with the untraced one; the target is at most three times.
#include <benchmark/benchmark.h>

#include <vector>

#include "foundation/mem.h"

namespace {

constexpr int kBlocks = 46000;
constexpr int32_t kBlockSize = 100;
constexpr uint32_t kStartSlots = 20000;

void AllocateAndRelease(std::vector<void *> &blocks) {
    for (int i = 0; i < kBlocks; i++) blocks[i] = MemAlloc(kBlockSize);
    for (int i = 0; i < kBlocks; i++) MemFree(blocks[i]);
}

void BM_TracerOn(benchmark::State &state) {
    std::vector<void *> blocks(kBlocks);
    for (auto _ : state) {
        StartMemoryTracer(kStartSlots);
        AllocateAndRelease(blocks);
        StopMemoryTracer();
        benchmark::DoNotOptimize(blocks.data());
    }
}

void BM_TracerOff(benchmark::State &state) {
    std::vector<void *> blocks(kBlocks);
    for (auto _ : state) {
        AllocateAndRelease(blocks);
        benchmark::DoNotOptimize(blocks.data());
    }
}

}  // namespace

BENCHMARK(BM_TracerOn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TracerOff)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
