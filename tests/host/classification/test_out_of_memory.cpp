// Out of memory at every allocation: for N = 1, 2, ... the N-th allocation from now fails until
// the operation runs without reaching a failure. Each failure must give the documented status,
// leave no block behind and no tracer error; the run that hits none must give complete data.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "archive/embedded_archive.h"
#include "classification/page_compose.h"
#include "classification/search.h"
#include "foundation/mem.h"
#include "foundation/mem_inspect.h"
#include "foundation/status.h"
#include "record_fixture.h"

namespace {

class OutOfMemoryTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(StartMemoryTracer(20000), 0); }
    void TearDown() override {
        TracerFailAllocation(0);
        StopMemoryTracer();
    }
    static TracerState State() {
        TracerState s = {};
        TracerGetState(&s);
        return s;
    }
    // Runs op (which frees what it made on success and checks it) for N = 1, 2, ...; returns the
    // number of failure points walked.
    int32_t Walk(const std::function<int32_t()> &op, int32_t failureStatus = ERR_ALLOC) {
        for (uint32_t n = 1; n < 100000; n++) {
            const TracerState before = State();
            TracerFailAllocation(n);
            const int32_t status = op();
            const bool hit = TracerFailuresHit() > 0;
            TracerFailAllocation(0);
            const TracerState after = State();
            EXPECT_EQ(after.liveBlocks, before.liveBlocks) << "leak at failure point " << n;
            EXPECT_EQ(after.errorCount, 0) << "at failure point " << n;
            if (!hit) {
                EXPECT_EQ(status, 0) << "no failure reached, yet status " << StatusName(status);
                return (int32_t)n - 1;
            }
            EXPECT_EQ(status, failureStatus) << "failure point " << n;
        }
        ADD_FAILURE() << "the operation never ran to its end";
        return -1;
    }
};

TEST_F(OutOfMemoryTest, TheChosenAllocationFailsOnceAndTheOthersSucceed) {
    TracerFailAllocation(2);
    void *a = MemAlloc(8);
    char *b = MemStrDup("x");
    void *c = MemRealloc(nullptr, 8);
    EXPECT_NE(a, nullptr);
    EXPECT_EQ(b, nullptr);
    EXPECT_NE(c, nullptr);
    EXPECT_EQ(TracerFailuresHit(), 1u);
    void *kept = MemAlloc(4);
    TracerFailAllocation(1);
    EXPECT_EQ(MemRealloc(kept, 64), nullptr);  // the old block stays the caller's
    MemFree(kept);
    MemFree(a);
    MemFree(c);
    EXPECT_EQ(State().liveBlocks, 0);
    EXPECT_EQ(State().errorCount, 0);
}

// The archive's name copy once failed silently, so an entry loaded "whole" under a failure.
TEST_F(OutOfMemoryTest, EmbeddedEntryAtEveryAllocation) {
    int32_t size = 0;
    char *reference = nullptr;
    ASSERT_EQ(PakLoadEmbeddedEntry("HelpText.txt", &size, &reference), 0);
    const std::string expected(reference, (size_t)size);
    MemFree(reference);
    int32_t points = Walk([&] {
        int32_t got = 0;
        char *buffer = nullptr;
        int32_t status = PakLoadEmbeddedEntry("HelpText.txt", &got, &buffer);
        if (status == 0) {
            EXPECT_EQ(std::string(buffer, (size_t)got), expected);
            MemFree(buffer);
        } else {
            EXPECT_EQ(buffer, nullptr);
        }
        return status;
    });
    EXPECT_GE(points, 2);
    printf("PakLoadEmbeddedEntry: %d failure points\n", points);
}

TEST_F(OutOfMemoryTest, RecordParseOfASmallFileAtEveryAllocation) {
    std::string file;
    const int records = 700;  // more than one growth of the array
    for (int i = 0; i < records; i++) file += RecordLine((uint32_t)i, "C" + std::to_string(i) + ";Title " + std::to_string(i));
    file += EndRecord();
    int32_t points = Walk([&] {
        uint32_t count = 0;
        TextRecord *table = nullptr;
        int32_t status = ParseTextRecords(file.data(), (int32_t)file.size(), &count, &table);
        if (status == 0) {
            EXPECT_EQ(count, (uint32_t)records);
            EXPECT_STREQ(RecordField(&table[records - 1], 1), ("Title " + std::to_string(records - 1)).c_str());
            FreeRecordTexts(count, table);
            MemFree(table);
        }
        return status;
    });
    EXPECT_GE(points, records);
    printf("ParseTextRecords (%d records): %d failure points\n", records, points);
}

TEST_F(OutOfMemoryTest, SearchAtEveryAllocationGivesAllHitsOrNone) {
    std::vector<std::string> lines;
    for (int i = 0; i < 300; i++) lines.push_back("C" + std::to_string(i) + ";cholera " + std::to_string(i));
    TestTable t(lines);
    ASSERT_EQ(t.status, 0);
    int32_t points = Walk([&] {
        SearchState state = {};
        int32_t status = SearchRecords(&state, &t.table, "cholera", nullptr, nullptr);
        if (status == 0) EXPECT_EQ(state.hitCount, (int32_t)t.table.recordCount);
        else EXPECT_EQ(state.hitCount, 0);
        ClearSearchResults(&state);
        return status;
    });
    EXPECT_GE(points, 3);
    printf("SearchRecords (%u hits): %d failure points\n", t.table.recordCount, points);
}

TEST_F(OutOfMemoryTest, PageCompositionAllocatesNothing) {
    TestTable t({"A00;Cholera", "A00.0;Cholera due to A00"});
    ASSERT_EQ(t.status, 0);
    std::vector<char> text(TEXT_BUFFER_CHARS + 1), scratch(TEXT_BUFFER_CHARS + 1);
    PageWorkspace ws = {text.data(), scratch.data(), TEXT_BUFFER_CHARS};
    LinkTable links = {};
    PageSink none = {};
    EXPECT_EQ(Walk([&] {
        return ComposeRecordPage(&t.table, PAGE_KIND_RECORD, &t.table.records[1], &ws, &links, &none);
    }), 0);
}

}  // namespace
