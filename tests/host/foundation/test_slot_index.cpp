// Slot index: lookups and the lowest reusable slot agree with a plain model through random
// binds, unbinds (with addresses held by several slots) and growth.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "foundation/slot_index.h"

namespace {

// What the slot table holds, as the index sees it.
using BlockTable = std::map<uint32_t, const void *>;

const void *BlockOf(uint32_t slot, const void *context) {
    const BlockTable &table = *static_cast<const BlockTable *>(context);
    auto found = table.find(slot);
    return found == table.end() ? nullptr : found->second;
}

class SlotIndexTest : public ::testing::Test {
   protected:
    void TearDown() override { SlotIndexFree(&index); }
    int32_t Init(uint32_t count) { return SlotIndexInit(&index, count, BlockOf, &blockOf); }
    SlotIndex index = {};
    BlockTable blockOf;
};

// A few hundred addresses; on 64-bit hosts some of them differ only above the 36 bits the index
// keeps, so equal tags must be told apart through the table.
const void *Address(uint32_t n) {
    uintptr_t address = uintptr_t{0x100000} + 16u * (n % 200);
    address += static_cast<uintptr_t>(uint64_t{n / 200} << 36);  // nothing on 32-bit hosts
    return reinterpret_cast<const void *>(address);
}

}  // namespace

TEST_F(SlotIndexTest, NewIndexHasEverySlotReusableAndNoBlock) {
    ASSERT_EQ(Init(100), 0);
    EXPECT_EQ(SlotIndexFirstReusable(&index), 0);
    EXPECT_EQ(SlotIndexFind(&index, Address(1)), -1);
    EXPECT_EQ(SlotIndexFind(&index, nullptr), -1);
}

TEST_F(SlotIndexTest, FirstReusableCrossesWordAndLevelBoundaries) {
    const uint32_t count = 64 * 64 * 2 + 5;  // three bitmap levels
    ASSERT_EQ(Init(count), 0);
    for (uint32_t slot = 0; slot < count; slot++) SlotIndexSetReusable(&index, slot, false);
    EXPECT_EQ(SlotIndexFirstReusable(&index), -1);
    for (uint32_t slot : {count - 1, 64u * 64u + 3u, 4095u, 64u, 63u}) {
        SlotIndexSetReusable(&index, slot, true);
        EXPECT_EQ(SlotIndexFirstReusable(&index), slot);
    }
    SlotIndexSetReusable(&index, 63, false);
    EXPECT_EQ(SlotIndexFirstReusable(&index), 64);
}

TEST_F(SlotIndexTest, EmptyIndexHasNoReusableSlotUntilItGrows) {
    ASSERT_EQ(Init(0), 0);
    EXPECT_EQ(SlotIndexFirstReusable(&index), -1);
    ASSERT_EQ(SlotIndexGrow(&index, 3), 0);
    EXPECT_EQ(SlotIndexFirstReusable(&index), 0);
}

TEST_F(SlotIndexTest, AgreesWithAPlainModel) {
    std::mt19937 random(99);
    uint32_t count = 10;
    ASSERT_EQ(Init(count), 0);
    std::set<uint32_t> reusable;
    for (uint32_t i = 0; i < count; i++) reusable.insert(i);
    std::multimap<const void *, uint32_t> bound;  // few distinct addresses: many duplicates

    for (int step = 0; step < 20000; step++) {
        int op = static_cast<int>(random() % 10);
        if (op == 0 && count < 5000) {
            uint32_t grown = count + 1 + random() % 700;
            ASSERT_EQ(SlotIndexGrow(&index, grown), 0);
            for (uint32_t i = count; i < grown; i++) reusable.insert(i);
            count = grown;
        } else if (op < 5 && !reusable.empty()) {
            uint32_t slot = *reusable.begin();
            ASSERT_EQ(SlotIndexFirstReusable(&index), slot) << step;
            const void *block = Address(random() % 400);
            blockOf[slot] = block;
            SlotIndexBind(&index, block, slot);
            SlotIndexSetReusable(&index, slot, false);
            reusable.erase(slot);
            bound.insert({block, slot});
        } else if (!blockOf.empty()) {
            auto it = blockOf.begin();
            std::advance(it, random() % blockOf.size());
            uint32_t slot = it->first;
            const void *block = it->second;
            SlotIndexUnbind(&index, block, slot);
            SlotIndexSetReusable(&index, slot, true);
            reusable.insert(slot);
            blockOf.erase(it);
            auto range = bound.equal_range(block);
            for (auto b = range.first; b != range.second; ++b) {
                if (b->second == slot) {
                    bound.erase(b);
                    break;
                }
            }
        }
        const void *probe = Address(random() % 400);
        auto range = bound.equal_range(probe);
        int64_t lowest = -1;
        for (auto b = range.first; b != range.second; ++b) {
            if (lowest < 0 || b->second < lowest) lowest = b->second;
        }
        ASSERT_EQ(SlotIndexFind(&index, probe), lowest) << step;
        ASSERT_EQ(SlotIndexFirstReusable(&index),
                  reusable.empty() ? -1 : int64_t{*reusable.begin()});
    }
}
