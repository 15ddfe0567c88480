// The allocation tracer's slot table and counters, readable for tests and debugging; nothing
// here changes what the tracer records, except the verbose switch and the two failure drills.
#pragma once
#include <cstdint>

enum : uint8_t {
    SLOT_EMPTY = 0,           // never used (zero-filled table); reusable
    SLOT_FREED = 3,           // block released by MemFree; reusable
    SLOT_ALLOCATED = 4,       // live block from MemAlloc
    SLOT_REALLOCATED = 5,     // live block returned by MemRealloc
    SLOT_REALLOC_SOURCE = 6,  // block given up by MemRealloc; reusable
    SLOT_STRING = 7,          // live string from MemStrDup
    SLOT_STRING_FREED = 8,    // string released by MemStrFree; reusable
};

enum : uint8_t {
    GUARD_LIVE = 0x5A,   // byte right behind a traced block's caller bytes
    GUARD_FREED = 0xFE,  // written over the guard when the block is released
};

// One entry of the slot table.
struct TraceSlot {
    void *block;        // traced block; null while the slot is reusable
    uint64_t tag;       // always 0: only MemStrDup writes it, and writes 0
    int32_t size;       // bytes asked for (a string's length + 1); the guard sits at this offset
    uint32_t threadId;  // thread that made the block
    uint8_t state;      // one of the SLOT_* values
};

// The tracer's counters.
struct TracerState {
    int32_t enabled;     // 1 while the tracer runs
    uint32_t slotCount;  // slots in the table
    uint32_t highWater;  // one more than the highest slot index claimed since the start
    int32_t liveBlocks;  // slots made live minus live slots released
    int32_t errorCount;  // anomalies counted
    uint64_t tagSum;     // sum of the low 32 bits of live slots' tags; stays 0
    int32_t verbose;     // non-zero: successful checks and allocations are logged too
};

void TracerGetState(TracerState *state);
// Slot index that holds block (the lowest, if several do), or ERR_NULLPTR / ERR_NOTFOUND.
int32_t TracerFindSlotIndex(const void *block);
// Copy of slot index: 0, or ERR_NULLPTR / ERR_INVINDEX beyond the table.
int32_t TracerGetSlot(uint32_t index, TraceSlot *slot);
void TracerSetVerbose(int32_t verbose);
// The next count growths of a full table fail as if the system had no memory left.
void TracerFailGrowths(uint32_t count);
// For out-of-memory tests only (the program never calls it): the n-th call of MemAlloc,
// MemRealloc or MemStrDup from now returns null as if the system had no memory left, and the
// calls after it succeed again; 0 disarms. Counts whether the tracer runs or not.
void TracerFailAllocation(uint32_t n);
// Allocations refused since the last TracerFailAllocation (0 or 1).
uint32_t TracerFailuresHit();
