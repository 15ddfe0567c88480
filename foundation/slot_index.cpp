// Slot index: an open-addressing hash from block address tag to slot (linear probing, kept at
// most half full, so a lookup touches a few entries) and a bitmap of reusable slots with summary
// levels, so the lowest reusable slot is found with one word per level.
#include "foundation/slot_index.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "foundation/status.h"

namespace {

constexpr uint32_t kMinHashEntries = 64;
uint32_t Tag(const void *block) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(block) >> 4);
}

// Blocks made one after another lie close together, and so do their entries here: the home
// entry is the tag itself, folded with its higher bits so that blocks a multiple of the table's
// span apart do not pile up on one entry.
uint32_t Home(const SlotIndex *index, uint32_t tag) {
    uint64_t units = tag;
    uint32_t bits = index->hashBits;
    return static_cast<uint32_t>((units ^ (units >> bits) ^ (units >> (2 * bits))) &
                                 index->hashMask);
}

void InsertEntry(SlotIndex *index, SlotIndexEntry entry) {
    uint32_t i = Home(index, entry.tag);
    while (index->entries[i].slotPlusOne != 0) i = (i + 1) & index->hashMask;
    index->entries[i] = entry;
}

// Sets up the hash table for slotCount slots and moves old's entries into it. False when out of
// memory, with nothing changed.
bool BuildHash(SlotIndex *index, uint32_t slotCount, const SlotIndex *old) {
    uint64_t entries = kMinHashEntries;
    int bits = 6;
    while (entries < 2ull * slotCount) {
        entries <<= 1;
        bits++;
    }
    if (entries > 0x80000000ull || entries > SIZE_MAX / sizeof(SlotIndexEntry)) return false;
    SlotIndexEntry *table = static_cast<SlotIndexEntry *>(calloc(entries, sizeof(SlotIndexEntry)));
    if (table == nullptr) return false;
    index->entries = table;
    index->hashMask = static_cast<uint32_t>(entries - 1);
    index->hashBits = static_cast<uint32_t>(bits);
    if (old != nullptr) {
        for (uint64_t i = 0; i <= old->hashMask; i++) {
            if (old->entries[i].slotPlusOne != 0) InsertEntry(index, old->entries[i]);
        }
    }
    return true;
}

// Sets up the bitmap for slotCount slots: old's level 0 bits are kept, slots beyond old's
// count are reusable, the summary levels are recomputed. False when out of memory.
bool BuildBitmap(SlotIndex *index, uint32_t slotCount, const SlotIndex *old) {
    uint32_t words[kSlotIndexMaxLevels];
    uint64_t *levels[kSlotIndexMaxLevels] = {};
    int levelCount = 0;
    uint64_t bits = slotCount > 0 ? slotCount : 1;
    do {
        words[levelCount] = static_cast<uint32_t>((bits + 63) / 64);
        levels[levelCount] = static_cast<uint64_t *>(calloc(words[levelCount], sizeof(uint64_t)));
        if (levels[levelCount] == nullptr) {
            for (int l = 0; l <= levelCount; l++) free(levels[l]);
            return false;
        }
        bits = words[levelCount];
        levelCount++;
    } while (bits > 1);

    uint32_t kept = 0;
    if (old != nullptr) {
        kept = old->slotCount;
        memcpy(levels[0], old->levels[0], old->levelWords[0] * sizeof(uint64_t));
    }
    for (uint32_t slot = kept; slot < slotCount; slot++)
        levels[0][slot / 64] |= 1ull << (slot % 64);
    for (int l = 1; l < levelCount; l++) {
        for (uint32_t w = 0; w < words[l - 1]; w++) {
            if (levels[l - 1][w] != 0) levels[l][w / 64] |= 1ull << (w % 64);
        }
    }
    index->levelCount = levelCount;
    for (int l = 0; l < kSlotIndexMaxLevels; l++) {
        index->levels[l] = levels[l];
        index->levelWords[l] = l < levelCount ? words[l] : 0;
    }
    return true;
}

}  // namespace

int32_t SlotIndexInit(SlotIndex *index, uint32_t slotCount, SlotIndexBlockOf blockOf,
                      const void *context) {
    if (index == nullptr || blockOf == nullptr) return ERR_NULLPTR;
    memset(index, 0, sizeof *index);
    index->blockOf = blockOf;
    index->context = context;
    if (!BuildHash(index, slotCount, nullptr)) return ERR_ALLOC;
    if (!BuildBitmap(index, slotCount, nullptr)) {
        SlotIndexFree(index);
        return ERR_ALLOC;
    }
    index->slotCount = slotCount;
    return 0;
}

int32_t SlotIndexGrow(SlotIndex *index, uint32_t slotCount) {
    if (index == nullptr) return ERR_NULLPTR;
    if (slotCount < index->slotCount) return ERR_INVPARAM;
    SlotIndex grown = {};
    // The hash table keeps at least two entries per slot; it is rebuilt only when that needs more.
    bool rehash = 2ull * slotCount > uint64_t{index->hashMask} + 1;
    if (rehash) {
        if (!BuildHash(&grown, slotCount, index)) return ERR_ALLOC;
    } else {
        grown.entries = index->entries;
        grown.hashMask = index->hashMask;
        grown.hashBits = index->hashBits;
        index->entries = nullptr;
    }
    if (!BuildBitmap(&grown, slotCount, index)) {
        if (rehash) {
            free(grown.entries);
        } else {
            index->entries = grown.entries;
        }
        return ERR_ALLOC;
    }
    grown.slotCount = slotCount;
    grown.blockOf = index->blockOf;
    grown.context = index->context;
    SlotIndexFree(index);
    *index = grown;
    return 0;
}

void SlotIndexFree(SlotIndex *index) {
    if (index == nullptr) return;
    free(index->entries);
    for (uint64_t *level : index->levels) free(level);
    memset(index, 0, sizeof *index);
}

void SlotIndexBind(SlotIndex *index, const void *block, uint32_t slot) {
    if (block == nullptr) return;
    InsertEntry(index, {Tag(block), slot + 1});
}

void SlotIndexUnbind(SlotIndex *index, const void *block, uint32_t slot) {
    if (block == nullptr) return;
    const SlotIndexEntry wanted = {Tag(block), slot + 1};
    uint32_t mask = index->hashMask;
    uint32_t i = Home(index, wanted.tag);
    SlotIndexEntry *entries = index->entries;
    while (entries[i].tag != wanted.tag || entries[i].slotPlusOne != wanted.slotPlusOne) {
        if (entries[i].slotPlusOne == 0) return;
        i = (i + 1) & mask;
    }
    // Backward-shift deletion: pull later entries of the probe run into the gap, unless they
    // would then sit before their home entry; no tombstones, so lookups stay short.
    for (;;) {
        uint32_t j = i;
        for (;;) {
            j = (j + 1) & mask;
            if (entries[j].slotPlusOne == 0) {
                entries[i] = {0, 0};
                return;
            }
            uint32_t home = Home(index, entries[j].tag);
            bool stays = i <= j ? (i < home && home <= j) : (i < home || home <= j);
            if (!stays) break;
        }
        entries[i] = entries[j];
        i = j;
    }
}

int64_t SlotIndexFind(const SlotIndex *index, const void *block) {
    if (block == nullptr || index->entries == nullptr) return -1;
    uint32_t tag = Tag(block);
    // The whole probe run is read: a stale record can leave the same address in two slots, and
    // the lowest one wins. Equal tags are told apart by the table.
    int64_t found = -1;
    const SlotIndexEntry *entries = index->entries;
    for (uint32_t i = Home(index, tag); entries[i].slotPlusOne != 0;
         i = (i + 1) & index->hashMask) {
        if (entries[i].tag != tag) continue;
        uint32_t slot = entries[i].slotPlusOne - 1;
        if ((found < 0 || slot < found) && index->blockOf(slot, index->context) == block)
            found = slot;
    }
    return found;
}

void SlotIndexSetReusable(SlotIndex *index, uint32_t slot, bool reusable) {
    if (slot >= index->slotCount) return;
    uint32_t position = slot;
    for (int l = 0; l < index->levelCount; l++) {
        uint64_t &word = index->levels[l][position / 64];
        uint64_t bit = 1ull << (position % 64);
        bool wasEmpty = word == 0;
        if (reusable) {
            word |= bit;
            if (!wasEmpty) return;  // the levels above already know this word has bits
        } else {
            word &= ~bit;
            if (word != 0) return;  // the word still has bits, the levels above stay as they are
        }
        position /= 64;
    }
}

int64_t SlotIndexFirstReusable(const SlotIndex *index) {
    if (index->levelCount == 0 || index->slotCount == 0) return -1;
    int top = index->levelCount - 1;
    if (index->levels[top][0] == 0) return -1;
    uint64_t position = 0;
    for (int l = top; l >= 0; l--) {
        uint64_t word = index->levels[l][position];
        position = position * 64 + static_cast<uint64_t>(__builtin_ctzll(word));
    }
    return static_cast<int64_t>(position);
}
