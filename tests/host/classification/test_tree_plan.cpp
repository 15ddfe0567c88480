// The tree plan: tree parents and child order as the full fill placed them, damaged parent
// indexes, and its allocations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classification/tree_plan.h"
#include "foundation/mem.h"
#include "foundation/mem_inspect.h"
#include "foundation/status.h"
#include "record_fixture.h"

namespace {

// Record i has the given parent index (record 0 the root's 0xFFFFFFFF).
class ParentTable {
public:
    explicit ParentTable(const std::vector<uint32_t> &parents) {
        std::string bytes;
        for (size_t i = 0; i < parents.size(); i++)
            bytes += RecordHeader(1, 0xE7, 0, (uint32_t)i, parents[i]) + "C" + std::to_string(i) +
                     ";t\n";
        bytes += EndRecord();
        status = ParseTextRecords(bytes.data(), (int32_t)bytes.size(), &count, &records);
    }
    ~ParentTable() {
        FreeRecordTexts(count, records);
        MemFree(records);
    }
    uint32_t count = 0;
    TextRecord *records = nullptr;
    int32_t status = 0;
};

std::vector<uint32_t> Children(const TreePlan &plan, uint32_t parent) {
    std::vector<uint32_t> out;
    for (uint32_t c = TreePlanFirstChild(&plan, parent); c != TREE_PLAN_NONE;
         c = TreePlanNext(&plan, c))
        out.push_back(c);
    return out;
}

using V = std::vector<uint32_t>;
const uint32_t ROOT = 0xFFFFFFFFu;

// A deleted record leaves the tree with what is below it; its siblings close up.
TEST(TreePlan, DeletedRecordsAndTheirChildrenAreLeftOut) {
    //  0 root; 1 [0]; 2 [1] deleted; 3 [2]; 4 [1]; 5 [0]
    ParentTable t({ROOT, 0, 1, 2, 1, 0});
    ASSERT_EQ(t.status, 0);
    t.records[2].flags |= RECORD_FLAG_DELETED;
    TreePlan plan = {};
    ASSERT_EQ(TreePlanBuild(&plan, t.records, t.count), 0);
    EXPECT_EQ(Children(plan, 1), V({4}));
    EXPECT_EQ(Children(plan, 0), V({1, 5}));
    for (uint32_t r : {2u, 3u}) {
        EXPECT_EQ(TreePlanHolds(&plan, r), 0) << r;
        EXPECT_EQ(TreePlanParent(&plan, r), TREE_PLAN_NONE) << r;
    }
    EXPECT_EQ(TreePlanHolds(&plan, 4), 1);
    EXPECT_EQ(TreePlanHolds(&plan, 6), 0);
    EXPECT_EQ(plan.maxDepth, 2u);
    TreePlanFree(&plan);
}

TEST(TreePlan, ChildrenInTableOrderUnderTheirParents) {
    //  0 root; 1 [0]; 2 [1]; 3 [2]; 4 [1]; 5 [0]; 6 [5]; 7 [2]
    ParentTable t({ROOT, 0, 1, 2, 1, 0, 5, 2});
    ASSERT_EQ(t.status, 0);
    TreePlan plan = {};
    ASSERT_EQ(TreePlanBuild(&plan, t.records, t.count), 0);
    EXPECT_EQ(plan.count, 8u);
    EXPECT_EQ(Children(plan, TREE_PLAN_NONE), V({0}));
    EXPECT_EQ(Children(plan, 0), V({1, 5}));
    EXPECT_EQ(Children(plan, 1), V({2, 4}));
    EXPECT_EQ(Children(plan, 2), V({3, 7}));
    EXPECT_EQ(Children(plan, 3), V({}));
    EXPECT_EQ(TreePlanParent(&plan, 7), 2u);
    EXPECT_EQ(TreePlanParent(&plan, 0), TREE_PLAN_NONE);
    EXPECT_EQ(plan.depth[0], 0u);
    EXPECT_EQ(plan.depth[3], 3u);
    EXPECT_EQ(plan.depth[6], 2u);
    EXPECT_EQ(plan.maxDepth, 3u);
    TreePlanFree(&plan);
}

TEST(TreePlan, DamagedParentsGoWhereTheFullFillPutThem) {
    // Record 2 names a later record, record 4 itself: both to the top level, after the root.
    // Record 3 names 0xFFFFFFFE (negative, like the root's): under the root. Record 5 sits
    // under 2, which is now at the top level.
    ParentTable t({ROOT, 0, 3, 0xFFFFFFFEu, 4, 2});
    ASSERT_EQ(t.status, 0);
    TreePlan plan = {};
    ASSERT_EQ(TreePlanBuild(&plan, t.records, t.count), 0);
    EXPECT_EQ(Children(plan, TREE_PLAN_NONE), V({0, 2, 4}));
    EXPECT_EQ(Children(plan, 0), V({1, 3}));
    EXPECT_EQ(Children(plan, 2), V({5}));
    EXPECT_EQ(plan.depth[5], 1u);
    TreePlanFree(&plan);
}

TEST(TreePlan, ParentIndexAtOrPastTheCountEndsTheTreeThereAndIsLogged) {
    ParentTable t({ROOT, 0, 1, 5, 1});
    ASSERT_EQ(t.status, 0);
    LogCapture log;
    TreePlan plan = {};
    ASSERT_EQ(TreePlanBuild(&plan, t.records, t.count), 0);
    EXPECT_EQ(plan.count, 3u);
    EXPECT_EQ(Children(plan, 1), V({2}));  // record 4 is past the end
    EXPECT_EQ(TreePlanFirstChild(&plan, 3), TREE_PLAN_NONE);
    EXPECT_EQ(TreePlanParent(&plan, 4), TREE_PLAN_NONE);
    EXPECT_NE(log.Text().find("parent index overflow( 5 / 5 )"), std::string::npos) << log.Text();
    TreePlanFree(&plan);
}

TEST(TreePlan, BadArgumentsAndRebuilding) {
    ParentTable t({ROOT, 0});
    TreePlan plan = {};
    EXPECT_EQ(TreePlanBuild(nullptr, t.records, t.count), ERR_NULLPTR);
    EXPECT_EQ(TreePlanBuild(&plan, nullptr, 1), ERR_NULLPTR);
    EXPECT_EQ(TreePlanBuild(&plan, t.records, 0), ERR_EMPTY);
    EXPECT_EQ(TreePlanFirstChild(&plan, TREE_PLAN_NONE), TREE_PLAN_NONE);
    EXPECT_EQ(TreePlanNext(nullptr, 0), TREE_PLAN_NONE);
    ASSERT_EQ(TreePlanBuild(&plan, t.records, t.count), 0);
    ASSERT_EQ(TreePlanBuild(&plan, t.records, 1), 0);  // the first plan's arrays are freed
    EXPECT_EQ(Children(plan, 0), V({}));
    TreePlanFree(&plan);
    TreePlanFree(&plan);
    TreePlanFree(nullptr);
}

TEST(TreePlan, EveryAllocationFailureLeavesAnEmptyPlanAndNothingAllocated) {
    ParentTable t({ROOT, 0, 1, 1, 0});
    ASSERT_EQ(StartMemoryTracer(1000), 0);
    int32_t points = 0;
    for (uint32_t n = 1; n < 100; n++) {
        TracerState before = {}, after = {};
        TracerGetState(&before);
        TreePlan plan = {};
        TracerFailAllocation(n);
        int32_t status = TreePlanBuild(&plan, t.records, t.count);
        const bool hit = TracerFailuresHit() > 0;
        TracerFailAllocation(0);
        if (!hit) {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(Children(plan, 0), V({1, 4}));
            TreePlanFree(&plan);
            break;
        }
        points++;
        EXPECT_EQ(status, ERR_ALLOC) << n;
        EXPECT_EQ(plan.count, 0u);
        EXPECT_EQ(TreePlanFirstChild(&plan, TREE_PLAN_NONE), TREE_PLAN_NONE);
        TracerGetState(&after);
        EXPECT_EQ(after.liveBlocks, before.liveBlocks) << n;
        EXPECT_EQ(after.errorCount, 0) << n;
    }
    EXPECT_EQ(points, 5);
    StopMemoryTracer();
}

}  // namespace
