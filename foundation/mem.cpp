// Traced allocator: while the tracer runs, each block gets a slot and a guard byte behind the
// caller's bytes, and anomalies go to the log; while it is off, plain calloc/realloc/free/strdup.
// The slot table and its index use the plain system allocator: the tracer never traces itself.
#include "foundation/mem.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "foundation/log.h"
#include "foundation/mem_inspect.h"
#include "foundation/named_mutex.h"
#include "foundation/slot_index.h"
#include "foundation/status.h"
#include "foundation/thread.h"

namespace {

constexpr uint32_t kGrowthSlots = 0x4000;
constexpr size_t kGuardBytes = 4;
constexpr uint32_t kLockTimeout = 2000;
constexpr uint32_t kGrowthFailedPause = 1000;
// Addresses below this are never handed out by a real allocator.
constexpr uintptr_t kLowestValidPointer = 0x20000;
constexpr int kPrintableCountdown = 10000;

struct Tracer {
    int32_t enabled;       // 1 between start and stop; read without the lock
    TraceSlot *slots;      // slot table, plain system allocation
    uint32_t slotCount;    // slots in the table
    uint32_t highWater;    // one more than the highest slot index claimed
    NamedMutex mutex;      // "MemTracer", shared with other processes
    int32_t verbose;       // logs successful checks too
    int32_t liveBlocks;    // live slots
    int32_t errorCount;    // anomalies counted
    uint64_t tagSum;       // sum of live slots' tags (low 32 bits)
    SlotIndex index;       // block -> slot and reusable slots, mirrors slots
    uint32_t failGrowths;  // growths still to be refused (TracerFailGrowths)
    uint32_t failCountdown;  // allocations until the one to refuse (TracerFailAllocation); 0: none
    uint32_t failuresHit;    // allocations refused since the last TracerFailAllocation
};

Tracer gTracer;

bool IsReusable(uint8_t state) {
    return state == SLOT_EMPTY || state == SLOT_FREED || state == SLOT_REALLOC_SOURCE ||
           state == SLOT_STRING_FREED;
}

bool IsLive(uint8_t state) {
    return state == SLOT_ALLOCATED || state == SLOT_REALLOCATED || state == SLOT_STRING;
}

// Every change of a slot's state or block goes through these two, so the index always agrees
// with the table.
void SetState(uint32_t slot, uint8_t state) {
    gTracer.slots[slot].state = state;
    SlotIndexSetReusable(&gTracer.index, slot, IsReusable(state));
}

void SetBlock(uint32_t slot, void *block) {
    TraceSlot &entry = gTracer.slots[slot];
    if (entry.block == block) return;
    SlotIndexUnbind(&gTracer.index, entry.block, slot);
    entry.block = block;
    SlotIndexBind(&gTracer.index, block, slot);
}

const void *BlockOfSlot(uint32_t slot, const void *context) {
    return static_cast<const TraceSlot *>(context)[slot].block;
}

void Lock() { NamedMutexLock(&gTracer.mutex, kLockTimeout); }

void Unlock() { NamedMutexUnlock(&gTracer.mutex); }

uint8_t *Bytes(void *p) { return static_cast<uint8_t *>(p); }

// Slot index that holds p, or ERR_NULLPTR / ERR_NOTFOUND.
int32_t FindSlot(const void *p) {
    if (p == nullptr) return ERR_NULLPTR;
    if (gTracer.highWater == 0) return ERR_NOTFOUND;
    int64_t slot = SlotIndexFind(&gTracer.index, p);
    return slot < 0 ? ERR_NOTFOUND : static_cast<int32_t>(slot);
}

bool GrowTable() {
    uint32_t grownCount = gTracer.slotCount + kGrowthSlots;
    if (gTracer.failGrowths > 0) {
        gTracer.failGrowths--;
        return false;
    }
    if (grownCount < gTracer.slotCount || uint64_t{grownCount} * sizeof(TraceSlot) > SIZE_MAX)
        return false;
    TraceSlot *grown =
        static_cast<TraceSlot *>(realloc(gTracer.slots, grownCount * sizeof(TraceSlot)));
    if (grown == nullptr) return false;
    // The old table is gone once realloc moved it, whatever happens to the index below.
    gTracer.slots = grown;
    gTracer.index.context = grown;
    if (SlotIndexGrow(&gTracer.index, grownCount) != 0) return false;
    memset(grown + gTracer.slotCount, 0, kGrowthSlots * sizeof(TraceSlot));
    gTracer.slotCount = grownCount;
    return true;
}

// Puts p in the first reusable slot from index 0: 1 and *slot; ERR_NULLPTR; or ERR_TOOMANY
// when the table was full, after growing it (the caller retries) or failing to.
int32_t TakeSlot(void *p, uint32_t *slot) {
    *slot = 0;
    if (p == nullptr) return ERR_NULLPTR;
    int64_t found = SlotIndexFirstReusable(&gTracer.index);
    if (found >= 0) {
        uint32_t taken = static_cast<uint32_t>(found);
        SetBlock(taken, p);
        if (gTracer.highWater < taken + 1) gTracer.highWater = taken + 1;
        *slot = taken;
        return 1;
    }
    LogPrint("(memtrace: pool is full( %d ), expanding)\n", static_cast<int>(gTracer.highWater));
    if (!GrowTable()) {
        ErrorPrint("#memtrace: pool is full( %d ); failed to expand",
                   static_cast<int>(gTracer.slotCount));
        ThreadSleep(kGrowthFailedPause);
    }
    return ERR_TOOMANY;
}

int32_t TakeSlotTwice(void *p, uint32_t *slot) {
    int32_t result = TakeSlot(p, slot);
    if (result < 0) result = TakeSlot(p, slot);
    return result;
}

int32_t CheckPointer(const void *p) {
    if (reinterpret_cast<uintptr_t>(p) < kLowestValidPointer) {
        ErrorPrint("#memtrace: invalid ptr value %p", p);
        return ERR_INVVALUE;
    }
    return 0;
}

bool IsPrintable(const char *s) {
    int countdown = kPrintableCountdown;
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(s); *c != 0; c++) {
        if (*c < 0x20 || *c > 0x7E) return false;
        countdown--;
        if (countdown <= 1)
            ErrorPrint("#memtrace: %p str to be checked is assumed to be too long", s);
    }
    return true;
}

void MakeLive(uint32_t slot, uint8_t state, int32_t size) {
    TraceSlot &entry = gTracer.slots[slot];
    SetState(slot, state);
    entry.threadId = ThreadCurrentId();
    entry.size = size;
    gTracer.liveBlocks++;
    gTracer.tagSum += static_cast<uint32_t>(entry.tag);
}

void Release(uint32_t slot, uint8_t state) {
    TraceSlot &entry = gTracer.slots[slot];
    SetState(slot, state);
    SetBlock(slot, nullptr);
    gTracer.liveBlocks--;
    gTracer.tagSum -= static_cast<uint32_t>(entry.tag);
}

// True for the allocation that TracerFailAllocation chose; it then fails as a system allocation
// would, before anything is recorded or released.
bool InjectedFailure() {
    if (gTracer.failCountdown == 0) return false;
    if (--gTracer.failCountdown != 0) return false;
    gTracer.failuresHit++;
    return true;
}

}  // namespace

int32_t StartMemoryTracer(uint32_t slotCount) {
    LogPrint("*** StartMemoryTracer ***\n");
    if (gTracer.enabled) {
        // Started twice: drop the first table rather than leak it; its blocks become unknown.
        gTracer.enabled = 0;
        MemFree(gTracer.slots);
        gTracer.slots = nullptr;
        SlotIndexFree(&gTracer.index);
        NamedMutexDestroy(&gTracer.mutex);
    }
    if (NamedMutexCreate("MemTracer", &gTracer.mutex) != 0) return ERR_CREATE;
    if (slotCount > INT32_MAX / sizeof(TraceSlot)) return ERR_ALLOC;
    TraceSlot *slots =
        static_cast<TraceSlot *>(MemAlloc(static_cast<int32_t>(slotCount * sizeof(TraceSlot))));
    if (slots == nullptr) return ERR_ALLOC;
    if (SlotIndexInit(&gTracer.index, slotCount, BlockOfSlot, slots) != 0) {
        MemFree(slots);
        return ERR_ALLOC;
    }
    gTracer.slots = slots;
    gTracer.slotCount = slotCount;
    gTracer.highWater = 0;
    gTracer.liveBlocks = 0;
    gTracer.errorCount = 0;
    gTracer.tagSum = 0;
    gTracer.enabled = 1;
    return 0;
}

int32_t StopMemoryTracer() {
    gTracer.enabled = 0;
    gTracer.highWater = 0;
    gTracer.slotCount = 0;
    if (gTracer.slots != nullptr) {
        MemFree(gTracer.slots);
        gTracer.slots = nullptr;
    }
    SlotIndexFree(&gTracer.index);
    NamedMutexDestroy(&gTracer.mutex);
    return 0;
}

void *MemAlloc(int32_t size) {
    // A negative size would wrap the guard offset; no allocator can satisfy it anyway.
    if (size < 0 || InjectedFailure()) return nullptr;
    if (!gTracer.enabled) return calloc(1, static_cast<size_t>(size));
    Lock();
    void *p = calloc(1, static_cast<size_t>(size) + kGuardBytes);
    CheckPointer(p);
    if (p == nullptr) {
        Unlock();
        return nullptr;
    }
    TraceSlot *entry = nullptr;
    int32_t found = FindSlot(p);
    if (found >= 0) {
        // A stale record: someone released this address behind the tracer's back.
        TraceSlot &stale = gTracer.slots[found];
        ErrorPrint("#memtrace: %p is already allocated( %02x ) size: %d", p, stale.state,
                   stale.size);
        gTracer.errorCount++;
        entry = &stale;
    } else {
        uint32_t slot;
        if (TakeSlotTwice(p, &slot) > 0) {
            MakeLive(slot, SLOT_ALLOCATED, size);
            entry = &gTracer.slots[slot];
        } else {
            ErrorPrint("#memtrace: allocate not found slot");
        }
    }
    Bytes(p)[size] = GUARD_LIVE;
    if (gTracer.verbose && entry != nullptr) {
        LogPrint("(memtrace: allocated %p %d/%d bytes)\n", p, size, static_cast<int>(entry->tag));
    }
    Unlock();
    return p;
}

void *MemRealloc(void *p, int32_t size) {
    if (size < 0 || InjectedFailure()) return nullptr;
    if (!gTracer.enabled) return realloc(p, static_cast<size_t>(size));
    Lock();
    int32_t found = p != nullptr ? FindSlot(p) : ERR_NULLPTR;
    if (found >= 0) {
        TraceSlot &old = gTracer.slots[found];
        uint8_t guard = Bytes(p)[old.size];
        if (guard != GUARD_LIVE) {
            ErrorPrint("#memtrace: old ptr of realloc %p is invalid( %02x ) !", p, guard);
        } else if (gTracer.verbose) {
            LogPrint("(old ptr of realloc %p is valid( %02x ))\n", p, guard);
        }
        Release(static_cast<uint32_t>(found), SLOT_REALLOC_SOURCE);
    }
    void *q = realloc(p, static_cast<size_t>(size) + kGuardBytes);
    if (q == nullptr) {
        Unlock();
        return nullptr;
    }
    Bytes(q)[size] = GUARD_LIVE;
    if (CheckPointer(q) != 0) gTracer.errorCount++;
    uint32_t slot;
    if (TakeSlotTwice(q, &slot) > 0) {
        MakeLive(slot, SLOT_REALLOCATED, size);
        if (gTracer.verbose) {
            LogPrint("(memtrace: reallocated %p, size: %d/%d)\n", q, size,
                     static_cast<int>(gTracer.slots[slot].tag));
        }
    } else {
        ErrorPrint("#memtrace: reallocate %p not found slot", q);
    }
    Unlock();
    return q;
}

void MemFree(void *p) {
    if (p != nullptr && gTracer.enabled) {
        Lock();
        int32_t found = FindSlot(p);
        if (found < 0) {
            ErrorPrint("#memtrace: ptr %p is not found for freeing", p);
            gTracer.errorCount++;
        } else {
            TraceSlot &entry = gTracer.slots[found];
            uint8_t guard = Bytes(p)[entry.size];
            if (guard != GUARD_LIVE) {
                ErrorPrint("#memtrace: ptr %p to be freed is overwritten( %02x ) size: %d", p,
                           guard, entry.size);
                gTracer.errorCount++;
            } else if (gTracer.verbose) {
                LogPrint("(memtrace: ptr %p to be freed is ok( %d ))\n", p, entry.state);
            }
            Bytes(p)[entry.size] = GUARD_FREED;
            Release(static_cast<uint32_t>(found), SLOT_FREED);
        }
        Unlock();
    }
    free(p);
}

char *MemStrDup(const char *s) {
    if (s == nullptr || InjectedFailure()) return nullptr;
    size_t length = strlen(s);
    if (!gTracer.enabled) {
        char *copy = static_cast<char *>(malloc(length + 1));
        if (copy != nullptr) memcpy(copy, s, length + 1);
        return copy;
    }
    Lock();
    int32_t n = static_cast<int32_t>(length + 1);
    char *q = static_cast<char *>(calloc(1, length + 1 + kGuardBytes));
    if (q == nullptr) {
        Unlock();
        return nullptr;
    }
    memcpy(q, s, length + 1);
    Bytes(q)[n] = GUARD_LIVE;
    int32_t found = FindSlot(q);
    if (found >= 0) {
        uint32_t slot = static_cast<uint32_t>(found);
        ErrorPrint("#memtrace: %p str '%.16s' is already allocated( %02x ) !", q, q,
                   gTracer.slots[slot].state);
        SetState(slot, SLOT_STRING);
        gTracer.slots[slot].threadId = ThreadCurrentId();
        gTracer.slots[slot].size = n;
        gTracer.errorCount++;
    } else {
        uint32_t slot;
        if (TakeSlotTwice(q, &slot) > 0) {
            gTracer.slots[slot].tag = 0;
            MakeLive(slot, SLOT_STRING, n);
        } else {
            ErrorPrint("#memtrace: strdup not found slot");
        }
    }
    Unlock();
    return q;
}

void MemStrFree(char *s) {
    if (s != nullptr && gTracer.enabled) {
        Lock();
        int32_t found = FindSlot(s);
        if (found < 0) {
            ErrorPrint("#memtrace: sptr %p is not found for freeing '%.16s'", s, s);
        } else {
            uint32_t slot = static_cast<uint32_t>(found);
            TraceSlot &entry = gTracer.slots[slot];
            if (!IsLive(entry.state)) {
                ErrorPrint(
                    "#memtrace: sptr %p '%.16s' be be freed is not allocated( %d ), size = %d", s,
                    s, entry.state, entry.size);
                gTracer.errorCount++;
            }
            SetState(slot, SLOT_STRING_FREED);
            uint8_t guard = Bytes(s)[entry.size];
            if (guard != GUARD_LIVE) {
                ErrorPrint(
                    "#memtrace: sptr %p '%.16s' to be freed is overwritten( %02x ), size = %d", s,
                    s, guard, entry.size);
                gTracer.errorCount++;
            } else if (gTracer.verbose) {
                LogPrint("(memtrace: sptr %p '%.16s' to be freed is ok, size = %d)\n", s, s,
                         entry.size);
            }
            Bytes(s)[entry.size] = GUARD_FREED;
            if (!IsPrintable(s)) {
                LogPrint(
                    "memtrace: warning: sptr %p '%.16s' contains non-printable characters, "
                    "size = %d",
                    s, s, entry.size);
            }
            SetBlock(slot, nullptr);
            gTracer.liveBlocks--;
            gTracer.tagSum -= static_cast<uint32_t>(entry.tag);
        }
        Unlock();
    }
    free(s);
}

void TracerGetState(TracerState *state) {
    if (state == nullptr) return;
    state->enabled = gTracer.enabled;
    state->slotCount = gTracer.slotCount;
    state->highWater = gTracer.highWater;
    state->liveBlocks = gTracer.liveBlocks;
    state->errorCount = gTracer.errorCount;
    state->tagSum = gTracer.tagSum;
    state->verbose = gTracer.verbose;
}

int32_t TracerFindSlotIndex(const void *block) { return FindSlot(block); }

int32_t TracerGetSlot(uint32_t index, TraceSlot *slot) {
    if (slot == nullptr) return ERR_NULLPTR;
    if (gTracer.slots == nullptr || index >= gTracer.slotCount) return ERR_INVINDEX;
    *slot = gTracer.slots[index];
    return 0;
}

void TracerSetVerbose(int32_t verbose) { gTracer.verbose = verbose; }

void TracerFailGrowths(uint32_t count) { gTracer.failGrowths = count; }

void TracerFailAllocation(uint32_t n) {
    gTracer.failCountdown = n;
    gTracer.failuresHit = 0;
}

uint32_t TracerFailuresHit() { return gTracer.failuresHit; }

int32_t MemReserve(void **array, int32_t *capacity, int64_t need, int32_t size, int32_t first) {
    if (!array || !capacity) return ERR_NULLPTR;
    if (size < 1) return ERR_INVPARAM;
    if (need <= *capacity) return 0;
    int64_t grown = *capacity < first ? first : *capacity;
    if (grown < 1) grown = 1;
    while (grown < need) grown *= 2;
    if (grown * size > INT32_MAX / 2) return ERR_OVERFLOW;
    void *p = MemRealloc(*array, (int32_t)(grown * size));
    if (p == nullptr) return ERR_ALLOC;
    *array = p;
    *capacity = (int32_t)grown;
    return 0;
}
