// The indexes' load and search at every allocation: the documented failure, nothing left
// allocated, no tracer error; the run that reaches no failure gives every entry and hit.
#include <gtest/gtest.h>

#include "foundation/mem.h"
#include "foundation/mem_inspect.h"
#include "foundation/status.h"
#include "index/index_search.h"
#include "index/index_set.h"

namespace {

TEST(IndexOutOfMemory, LoadAndSearchAtEveryAllocation) {
    ASSERT_EQ(StartMemoryTracer(20000), 0);
    IndexSet whole = {};
    ASSERT_EQ(IndexSetLoad(&whole), 0);
    const int32_t entries = whole.entryCount;
    IndexSearch reference = {};
    ASSERT_EQ(IndexSearchRun(&reference, &whole, "lung upper", nullptr, nullptr), 0);
    const int32_t hits = reference.hitCount;
    ASSERT_GT(hits, 0);
    IndexSearchClear(&reference);
    int32_t loadPoints = -1, searchPoints = -1;
    for (int pass = 0; pass < 2; pass++) {
        for (uint32_t n = 1; n < 10000; n++) {
            TracerState before = {}, after = {};
            TracerGetState(&before);
            IndexSet set = {};
            IndexSearch search = {};
            TracerFailAllocation(n);
            const int32_t status = pass == 0 ? IndexSetLoad(&set)
                                             : IndexSearchRun(&search, &whole, "lung upper", nullptr, nullptr);
            const bool hit = TracerFailuresHit() > 0;
            TracerFailAllocation(0);
            if (pass == 0) {
                if (status == 0) EXPECT_EQ(set.entryCount, entries) << n;
                IndexSetFree(&set);
            } else {
                if (status == 0) EXPECT_EQ(search.hitCount, hits) << n;
                else EXPECT_EQ(search.hitCount, 0) << n;
                IndexSearchClear(&search);
            }
            TracerGetState(&after);
            EXPECT_EQ(after.liveBlocks, before.liveBlocks) << "leak at failure point " << n;
            EXPECT_EQ(after.errorCount, 0) << n;
            if (!hit) {
                EXPECT_EQ(status, 0) << n;
                (pass == 0 ? loadPoints : searchPoints) = (int32_t)n - 1;
                break;
            }
            EXPECT_EQ(status, ERR_ALLOC) << "failure point " << n;
        }
    }
    printf("IndexSetLoad %d, IndexSearchRun %d failure points\n", loadPoints, searchPoints);
    EXPECT_GE(loadPoints, 3);
    EXPECT_GE(searchPoints, 1);
    IndexSetFree(&whole);
    StopMemoryTracer();
}

}  // namespace
