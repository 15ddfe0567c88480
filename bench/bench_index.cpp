// Index search over the four linked index files for two words (the tab's usual query), one word
// and a word found nowhere; loading the index files, building the map of the entries that lead
// to each record, and composing the record page's section for the record most entries lead to.
#include <benchmark/benchmark.h>

#include "classification/page_compose.h"
#include "classification/page_ref.h"
#include "classification/page_whole.h"
#include "classification/record_table.h"
#include "classification/seventh_chars.h"
#include "index/index_backrefs.h"
#include "index/index_entries_page.h"
#include "index/index_query.h"
#include "index/index_search.h"
#include "index/index_set.h"

static IndexSet gSet = {};
static RecordTable gTable = {};
static SeventhCharTable gSevenths = {};

static void LoadOnce() {
    if (gSet.entryCount > 0) return;
    IndexSetLoad(&gSet);
    RecordTableLoad(&gTable, "engtextrecords.dat");
    SeventhCharLoad(&gSevenths, &gTable);
}

static const char *kPhrases[] = {"lung upper", "accident transport", "diabetes kidney",
                                 "syndrome heart", "aspirin", "a", "qqxyzzy"};

static void BM_IndexSearch(benchmark::State &state) {
    LoadOnce();
    const char *phrase = kPhrases[state.range(0)];
    IndexSearch search = {};
    for (auto _ : state) {
        IndexSearchRun(&search, &gSet, phrase, nullptr, nullptr);
        benchmark::DoNotOptimize(search.hitCount);
    }
    state.SetLabel(phrase);
    state.counters["hits"] = search.hitCount;
    state.counters["entries"] = gSet.entryCount;
    IndexSearchClear(&search);
}
BENCHMARK(BM_IndexSearch)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

static void BM_IndexSetLoad(benchmark::State &state) {
    for (auto _ : state) {
        IndexSet set = {};
        IndexSetLoad(&set);
        benchmark::DoNotOptimize(set.entryCount);
        IndexSetFree(&set);
    }
}
BENCHMARK(BM_IndexSetLoad)->Unit(benchmark::kMillisecond);

// What the first record page shown waits for once the indexes are loaded.
static void BM_IndexBackrefsBuild(benchmark::State &state) {
    LoadOnce();
    IndexBackrefs refs = {};
    for (auto _ : state) {
        IndexBackrefsBuild(&refs, &gSet, &gTable, &gSevenths);
        benchmark::DoNotOptimize(refs.pairCount);
        state.counters["pairs"] = refs.pairCount;
        state.counters["codes"] = refs.codeCount;
        state.counters["unknown"] = refs.unknownCount;
        IndexBackrefsFree(&refs);
    }
}
BENCHMARK(BM_IndexBackrefsBuild)->Unit(benchmark::kMillisecond);

static void CountText(void *context, const char *, int32_t length) { *(int32_t *)context += length; }
static void NoLink(void *, int32_t) {}

static void BM_IndexEntriesSection(benchmark::State &state) {
    LoadOnce();
    IndexBackrefs refs = {};
    IndexBackrefsBuild(&refs, &gSet, &gTable, &gSevenths);
    int32_t most = 0;
    int32_t mostCount = -1;
    for (int32_t r = 0; r < refs.recordCount; r++) {
        int32_t count = 0;
        IndexBackrefsOf(&refs, r, &count);
        if (count > mostCount) {
            most = r;
            mostCount = count;
        }
    }
    IndexLinkMap links = {};
    int32_t written = 0;
    PageSink sink = {&written, nullptr, nullptr, NoLink, CountText};
    // The whole page (state.range(0) 1) as the window composes it, or the section alone (0).
    static char text[TEXT_BUFFER_CHARS + 1], scratch[TEXT_BUFFER_CHARS + 1];
    static LinkTable table;
    ReleaseChanges changes = {};
    ReleaseChangesLoad(&changes);
    PageWorkspace workspace = {text, scratch, TEXT_BUFFER_CHARS};
    PageSources sources = {&gTable, &gSevenths, &changes, nullptr};
    for (auto _ : state) {
        PageCounter counter;
        PageCounterInit(&counter, &sink);
        if (state.range(0))
            ComposeWholePage(&sources, PAGE_KIND_RECORD, &gTable.records[most], &workspace, &table,
                             &counter.sink);
        ComposeIndexEntries(&gSet, &refs, most, counter.position, &links, &sink);
        benchmark::DoNotOptimize(written);
    }
    ReleaseChangesFree(&changes);
    state.SetLabel(RecordField(&gTable.records[most], FIELD_CODE));
    state.counters["entries"] = mostCount;
    IndexLinkMapFree(&links);
    IndexBackrefsFree(&refs);
}
BENCHMARK(BM_IndexEntriesSection)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The coder's query (ranked, abbreviations, plurals) beside the literal search of the same words;
// a typo with the vocabulary built (as every query after the first that found nothing), and the
// vocabulary's build alone.
static const char *kQueries[] = {"pneumonia", "heart attack", "copd", "fractures", "pnemonia"};

static void BM_IndexQuery(benchmark::State &state) {
    LoadOnce();
    const char *typed = kQueries[state.range(0)];
    IndexVocabulary *vocabulary = nullptr;
    IndexSearch search = {};
    IndexQueryNote note;
    IndexQueryRun(&search, &gSet, typed, &vocabulary, &note);
    for (auto _ : state) {
        IndexQueryRun(&search, &gSet, typed, &vocabulary, &note);
        benchmark::DoNotOptimize(search.hitCount);
    }
    state.SetLabel(typed);
    state.counters["hits"] = search.hitCount;
    IndexSearchClear(&search);
    IndexVocabularyFree(&vocabulary);
}
BENCHMARK(BM_IndexQuery)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

static void BM_IndexVocabularyBuild(benchmark::State &state) {
    LoadOnce();
    for (auto _ : state) {
        IndexVocabulary *vocabulary = nullptr;
        IndexVocabularyBuild(&vocabulary, &gSet);
        IndexVocabularyFree(&vocabulary);
    }
}
BENCHMARK(BM_IndexVocabularyBuild)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
