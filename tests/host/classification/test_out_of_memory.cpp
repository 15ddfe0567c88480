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
#include "classification/page_rtf.h"
#include "classification/page_runs.h"
#include "classification/code_refs.h"
#include "classification/encounter.h"
#include "classification/release_changes.h"
#include "classification/releases.h"
#include "classification/search.h"
#include "classification/search_find.h"
#include "classification/search_words.h"
#include "classification/seventh_chars.h"
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
    // With passAllowed a failure may also end in success (a copy the result does without); op
    // then checks that nothing is missing.
    int32_t Walk(const std::function<int32_t()> &op, int32_t failureStatus = ERR_ALLOC,
                 bool passAllowed = false) {
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
            if (!(passAllowed && status == 0))
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

// A page's runs fail alone: the RTF beside them stays whole for the viewer to stream.
TEST_F(OutOfMemoryTest, PageRunsAtEveryAllocationLeaveTheDocumentWhole) {
    std::string text;
    for (int i = 0; i < 600; i++) text += i % 7 ? "word " : "A00.1\n";
    auto build = [&](PageRtf *rtf, PageRuns *runs) {
        PageRtfRecordRuns(rtf, runs);
        PageRtfBegin(rtf, RTF_LINKS_INLINE);
        const PageSink s = PageRtfSink(rtf);
        s.setFont(s.context, "Arial", 10, 400);
        s.writeText(s.context, text.c_str(), (int32_t)text.size());
        return PageRtfEnd(rtf);
    };
    PageRtf whole = {};
    PageRuns all = {};
    ASSERT_EQ(build(&whole, &all), 0);
    const std::string document(whole.text, (size_t)whole.length);
    const int32_t characters = all.length;
    PageRtfFree(&whole);
    PageRunsFree(&all);
    int32_t runsAlone = 0;
    Walk([&] {
        PageRtf rtf = {};
        PageRuns runs = {};
        int32_t status = build(&rtf, &runs);
        if (status == 0 && runs.status < 0) {
            EXPECT_EQ(std::string(rtf.text, (size_t)rtf.length), document);
            status = runs.status;
            runsAlone++;
        } else if (status == 0) {
            EXPECT_EQ(runs.length, characters);
        }
        PageRtfFree(&rtf);
        PageRunsFree(&runs);
        return status;
    });
    EXPECT_GT(runsAlone, 0);
}

// One real load costs every record's allocation, so the release is walked through its first
// failure points and a spread sample of the rest.
TEST_F(OutOfMemoryTest, RecordLoadOfTheReleaseAtItsFirstPointsAndASample) {
    auto load = [](uint32_t failAt, int32_t *status) {
        uint32_t count = 0;
        TextRecord *records = nullptr;
        TracerFailAllocation(failAt);
        *status = LoadTextRecords("engtextrecords.dat", &count, &records);
        const bool hit = TracerFailuresHit() > 0;
        TracerFailAllocation(0);
        if (*status == 0) {
            EXPECT_EQ(count, 46188u);
            FreeRecordTexts(count, records);
            MemFree(records);
        } else {
            EXPECT_EQ(records, nullptr);
        }
        return hit;
    };
    int32_t status = 0;
    // The number of allocations of one load: the first failure point not reached.
    uint32_t low = 1, high = 1;
    while (load(high, &status)) low = high, high *= 2;
    while (low + 1 < high) {
        const uint32_t mid = low + (high - low) / 2;
        if (load(mid, &status)) low = mid; else high = mid;
    }
    const uint32_t total = low;
    ASSERT_GT(total, 46188u);
    std::vector<uint32_t> points;
    for (uint32_t n = 1; n <= 300; n++) points.push_back(n);
    for (uint32_t k = 1; k <= 100; k++) points.push_back(300 + (uint32_t)((uint64_t)(total - 300) * k / 100));
    for (uint32_t n : points) {
        const TracerState before = State();
        EXPECT_TRUE(load(n, &status)) << n;
        EXPECT_EQ(status, ERR_ALLOC) << "failure point " << n;
        EXPECT_EQ(State().liveBlocks, before.liveBlocks) << "leak at failure point " << n;
        EXPECT_EQ(State().errorCount, 0) << n;
    }
    EXPECT_FALSE(load(total + 1, &status));
    EXPECT_EQ(status, 0);
    printf("LoadTextRecords (release): %u failure points, %zu walked\n", total, points.size());
}

TEST_F(OutOfMemoryTest, LoadsBesideTheRecordsAtEveryAllocation) {
    uint32_t count = 0;
    TextRecord *records = nullptr;
    ASSERT_EQ(LoadTextRecords("engtextrecords.dat", &count, &records), 0);
    RecordTable table = {count, records, nullptr};
    const int32_t codePoints = Walk([&] {
        int32_t status = CodeIndexBuild(&table);
        if (status == 0) {
            EXPECT_GE(FindRecordByCode(&table, PAGE_KIND_RECORD, "S72.456"), 0);
            CodeIndexFree(&table);
        }
        EXPECT_EQ(table.codeIndex, nullptr);
        return status;
    });
    const int32_t sevenPoints = Walk([&] {
        SeventhCharTable chars = {};
        int32_t status = SeventhCharLoad(&chars, &table);
        if (status == 0) EXPECT_EQ(chars.defCount, 507);
        else EXPECT_EQ(chars.defs, nullptr);
        SeventhCharFree(&chars);
        return status;
    });
    const int32_t changePoints = Walk([&] {
        ReleaseChanges changes = {};
        int32_t status = ReleaseChangesLoad(&changes);
        if (status == 0) EXPECT_GT(changes.changeCount, 1000);
        else EXPECT_EQ(changes.changes, nullptr);
        ReleaseChangesFree(&changes);
        return status;
    });
    EXPECT_GE(codePoints, 1);
    EXPECT_GE(sevenPoints, 1);
    EXPECT_GE(changePoints, 1);
    printf("CodeIndexBuild %d, SeventhCharLoad %d, ReleaseChangesLoad %d failure points\n",
           codePoints, sevenPoints, changePoints);
    FreeRecordTexts(count, records);
    MemFree(records);
}

// The newest release made of the records at each allocation: a failure, its code index's
// included, leaves the table as it was.
TEST_F(OutOfMemoryTest, ReleasesAndTheNewestTableAtEveryAllocation) {
    RecordTable table = {};
    SeventhCharTable chars = {};
    ASSERT_EQ(RecordTableLoad(&table, "engtextrecords.dat"), 0);
    ASSERT_EQ(SeventhCharLoad(&chars, &table), 0);
    const int32_t releasePoints = Walk([&] {
        Releases releases = {};
        int32_t status = ReleasesLoad(&releases);
        if (status == 0) EXPECT_EQ(releases.count, 6);
        else EXPECT_EQ(releases.states, nullptr);
        ReleasesFree(&releases);
        return status;
    });
    Releases releases = {};
    ASSERT_EQ(ReleasesLoad(&releases), 0);
    // By hand rather than Walk: the run that succeeds keeps what it made.
    int32_t applyPoints = 0;
    for (uint32_t n = 1; n < 100000; n++) {
        const TracerState before = State();
        const uint32_t count = table.recordCount;
        const TextRecord *records = table.records;
        TracerFailAllocation(n);
        const int32_t status = ReleasesApply(&releases, 5, &table, &chars);
        const bool hit = TracerFailuresHit() > 0;
        TracerFailAllocation(0);
        if (!hit) {
            EXPECT_EQ(status, 0);
            break;
        }
        applyPoints++;
        EXPECT_EQ(status, ERR_ALLOC) << n;
        EXPECT_EQ(table.recordCount, count) << n;
        EXPECT_EQ(table.records, records) << n;
        EXPECT_NE(table.codeIndex, nullptr) << n;
        EXPECT_EQ(State().liveBlocks, before.liveBlocks) << "leak at failure point " << n;
        EXPECT_EQ(State().errorCount, 0) << n;
    }
    EXPECT_EQ(table.recordCount, 47476u);
    EXPECT_GE(releasePoints, 3);
    EXPECT_GE(applyPoints, 1000);
    printf("ReleasesLoad %d, ReleasesApply %d failure points\n", releasePoints, applyPoints);
    ReleasesFree(&releases);
    SeventhCharFree(&chars);
    RecordTableFree(&table);
}

TEST_F(OutOfMemoryTest, AllWordsAndTypedCodeSearchesGiveAllHitsOrNone) {
    std::vector<std::string> lines = {"ROOT;root"};
    for (int i = 0; i < 300; i++) lines.push_back("C" + std::to_string(i) + ";diabetes with kidney " + std::to_string(i));
    TestTable t(lines);
    ASSERT_EQ(t.status, 0);
    const int32_t words = Walk([&] {
        SearchState state = {};
        int32_t status = SearchAllWords(&state, &t.table, "kidney diabetes", nullptr, nullptr);
        if (status == 0) EXPECT_EQ(state.hitCount, 300);
        else EXPECT_EQ(state.hitCount, 0);
        ClearSearchResults(&state);
        return status;
    }, ERR_ALLOC, true);
    // A failed copy of the typed text is allowed to pass (the state then keeps no text), but
    // never with a hit missing.
    TestTable codes({"ROOT;root", "E11;Type 2 diabetes mellitus", "E11.22;Type 2 diabetes with kidney"});
    SeventhCharTable none = {};
    int32_t found = 0;
    for (uint32_t n = 1; n < 100; n++) {
        const TracerState before = State();
        SearchState state = {};
        TracerFailAllocation(n);
        int32_t status = SearchFind(&state, &codes.table, &none, "e1122", nullptr, nullptr);
        const bool hit = TracerFailuresHit() > 0;
        TracerFailAllocation(0);
        if (status == 0) {
            ASSERT_EQ(state.hitCount, 1) << n;
            EXPECT_EQ(state.hits[0].index, 2) << n;
        } else {
            EXPECT_EQ(status, ERR_ALLOC) << n;
            EXPECT_EQ(state.hitCount, 0) << n;
        }
        ClearSearchResults(&state);
        EXPECT_EQ(State().liveBlocks, before.liveBlocks) << n;
        EXPECT_EQ(State().errorCount, 0) << n;
        if (!hit) break;
        found++;
    }
    EXPECT_GE(words, 3);
    printf("SearchAllWords %d, SearchFind (typed code) %d failure points\n", words, found);
}

}  // namespace

namespace {

// A visit that reaches every rule: an Excludes1 pair, a guideline pair, a warning, reminders of
// two nested notes, a Code also note.
std::vector<std::string> EncounterFindingsUnder(const RecordTable *table, int32_t *status) {
    Encounter e = {};
    std::vector<std::string> out;
    *status = EncounterInit(&e, table, nullptr);
    const char visit[] = "I10 I12.9 E11.9 E11.65 E11.22 X01";
    if (*status == 0) *status = EncounterRead(&e, visit, sizeof visit - 1);
    if (*status == 0) *status = EncounterCheck(&e);
    for (int32_t k = 0; *status == 0 && k < e.findingCount; k++) {
        const EncounterFinding *f = &e.findings[k];
        out.push_back(std::to_string(f->kind) + " " + std::to_string(f->code) + " " +
                      std::to_string(f->level) + " " + std::to_string(f->requests));
    }
    EncounterFree(&e);
    return out;
}

}  // namespace

TEST_F(OutOfMemoryTest, EncounterCheckAtEveryAllocation) {
    TestTable t({"A00-Z99;Root",
                 "E11;Type 2 diabetes mellitus;;code to identify control using:./insulin (Z79.4)./"
                 "oral drugs (Z79.84)./;diabetes (E08-E13 with .42)./",
                 "E11.9;Type 2 diabetes mellitus without complications",
                 "E11.65;Type 2 diabetes mellitus with hyperglycemia",
                 "E11.22;Type 2 diabetes mellitus with diabetic CKD;;code to identify stage (N18.1-"
                 "N18.6)./",
                 "I10;Essential hypertension;;code to identify tobacco use (Z72.0)./;;;;"
                 "heart failure, if applicable (I50.-)./",
                 "I12.9;Hypertensive chronic kidney disease;;tobacco use (Z72.0)./and tobacco "
                 "dependence (F17.-)./",
                 "X01;Polyneuropathy in diseases classified elsewhere;;;;;underlying disease, such "
                 "as:./amyloidosis (E85.-)./"},
                true);
    ASSERT_EQ(t.status, 0);
    for (uint32_t i = 2; i < t.table.recordCount; i++) t.table.records[i].flags = RECORD_FLAG_LEAF;
    for (uint32_t i = 2; i <= 4; i++) t.table.records[i].parent = 1;  // E11's codes
    int32_t status = 0;
    const std::vector<std::string> reference = EncounterFindingsUnder(&t.table, &status);
    ASSERT_EQ(status, 0);
    ASSERT_GE(reference.size(), 6u) << testing::PrintToString(reference);
    // The manifestations' per-record memo may fail alone: the answer is then the same.
    int32_t points = Walk(
        [&]() {
            int32_t s = 0;
            std::vector<std::string> got = EncounterFindingsUnder(&t.table, &s);
            if (s == 0) EXPECT_EQ(got, reference);
            return s;
        },
        ERR_ALLOC, true);
    EXPECT_GE(points, 8);
}
