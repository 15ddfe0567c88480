// Index over the tracer's slot table, so that finding a block's slot and the first reusable slot
// take the same time however large the table is. It mirrors the table, it does not own it, and
// it uses the plain system allocator: the tracer must never trace itself.
#pragma once
#include <cstdint>

constexpr int kSlotIndexMaxLevels = 6;  // 64^6 bits cover every 32-bit slot index

// The block a slot of the table holds. The index keeps only a 32-bit tag of each address and
// asks the table itself to tell blocks with equal tags apart.
typedef const void *(*SlotIndexBlockOf)(uint32_t slot, const void *context);

// One hash entry, 8 bytes: half the memory (and the page faults) of a full address.
struct SlotIndexEntry {
    uint32_t tag;          // the block address in 16-byte units, low 32 bits
    uint32_t slotPlusOne;  // slot + 1; 0 = empty entry
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
    SlotIndexBlockOf blockOf;                  // reads a slot's block from the table
    const void *context;                       // passed to blockOf; kept current by the owner
};

// All slots start reusable and no block is bound. 0, or ERR_ALLOC with the index left empty.
int32_t SlotIndexInit(SlotIndex *index, uint32_t slotCount, SlotIndexBlockOf blockOf,
                      const void *context);
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
