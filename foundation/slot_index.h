// Index over the tracer's slot table, so that finding a block's slot and the first reusable slot
// take the same time however large the table is. It mirrors the table, it does not own it, and
// it uses the plain system allocator: the tracer must never trace itself.
#pragma once
#include <cstdint>

constexpr int kSlotIndexMaxLevels = 6;  // 64^6 bits cover every 32-bit slot index

// One hash entry: key and value side by side, so a lookup costs one cache line.
struct SlotIndexEntry {
    uintptr_t block;  // block address; 0 = empty entry
    uint32_t slot;    // slot holding it
};

struct SlotIndex {
    uint32_t slotCount;                        // slots covered by the index
    SlotIndexEntry *entries;                   // hash entries, open addressing
    uint32_t hashMask;                         // hash entries - 1 (a power of two minus one)
    uint32_t hashBits;                         // log2(hash entries)
    int32_t levelCount;                        // levels of the reusable-slot bitmap in use
    uint64_t *levels[kSlotIndexMaxLevels];     // level 0: one bit per reusable slot; each level
                                               // above: one bit per non-zero word below it
    uint32_t levelWords[kSlotIndexMaxLevels];  // words in each level
};

// All slots start reusable and no block is bound. 0, or ERR_ALLOC with the index left empty.
int32_t SlotIndexInit(SlotIndex *index, uint32_t slotCount);
// Covers slotCount slots, the new ones reusable. 0, or ERR_ALLOC with the index unchanged.
int32_t SlotIndexGrow(SlotIndex *index, uint32_t slotCount);
void SlotIndexFree(SlotIndex *index);

// Records that slot holds block; a block may be held by more than one slot.
void SlotIndexBind(SlotIndex *index, const void *block, uint32_t slot);
void SlotIndexUnbind(SlotIndex *index, const void *block, uint32_t slot);
// Lowest slot holding block, or -1.
int64_t SlotIndexFind(const SlotIndex *index, const void *block);

void SlotIndexSetReusable(SlotIndex *index, uint32_t slot, bool reusable);
// Lowest reusable slot, or -1.
int64_t SlotIndexFirstReusable(const SlotIndex *index);
