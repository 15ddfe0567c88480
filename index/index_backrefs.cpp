// Which index entries lead to each record: every code of every entry resolved once to its record,
// then, entry by entry in book order, the records it leads to (that record, those above it, and
// for a code ending in "-" those below it) gathered without repeats into one array per record.
#include "index/index_backrefs.h"

#include <cstring>

#include "classification/code_refs.h"
#include "classification/code_validity.h"
#include "classification/page_ref.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "index/index_refs.h"

static const uint32_t kNoParent = 0xFFFFFFFFu;

// One code of an entry and the record it names.
struct CodeTarget {
    int32_t entry;   // set-wide entry number
    int32_t record;  // position of the record
    int32_t dashed;  // 1 when the code ended in "-"
};

// Null when the array would not fit the allocator's 32-bit size.
static void *AllocArray(int64_t count, size_t each) {
    const int64_t bytes = count * (int64_t)each;
    return bytes > INT32_MAX ? nullptr : MemAlloc((int32_t)bytes);
}

// Position of the record a code item names, or -1. The "-" that asks for more characters (and a
// dot left before it) is not part of the code.
static int32_t RecordOfCode(const RecordTable *table, const SeventhCharTable *sevenths,
                            const char *text, int32_t *dashed) {
    char code[CODE_CHECK_CHARS + 1];
    size_t n = strlen(text);
    if (n > CODE_CHECK_CHARS) return -1;
    memcpy(code, text, n + 1);
    *dashed = n > 0 && code[n - 1] == '-';
    while (n > 0 && (code[n - 1] == '-' || code[n - 1] == '.')) code[--n] = '\0';
    if (!IndexTextIsCode(code)) return -1;
    // Most codes are written as the records write them: one lookup, not the whole check.
    const int32_t exact = FindRecordByCode(table, PAGE_KIND_RECORD, code);
    if (exact > 0 && strcmp(RecordField(&table->records[exact], FIELD_CODE), code) == 0) return exact;
    CodeCheckResult check;
    CodeCheck(table, sevenths, code, &check);
    return check.record > 0 ? check.record : -1;
}

static const char *CodeText(const IndexItem *item) {
    switch (item->kind) {
    case INDEX_ITEM_CODE:
    case INDEX_ITEM_MANIF:
    case INDEX_ITEM_SUBCAT:
    case INDEX_ITEM_SEECAT: return item->text;
    case INDEX_ITEM_CELL: return IndexCellCode(item->text);
    default: return nullptr;
    }
}

// Builder state: the per-record stamps of the entry last counted there, and where each record's
// next entry goes (null while only counting).
struct Gather {
    const uint32_t *parents;  // parent of each record, kNoParent for the root: a compact copy
                              // of what the records hold, walked for every code
    uint32_t recordCount;
    int32_t *stamp;   // entry number + 1 of the last entry put on each record
    int32_t *count;   // entries per record (counting pass)
    int32_t *cursor;  // next free place of each record in entries (filling pass)
    int32_t *entries;
};

static void Put(Gather *g, uint32_t record, int32_t entry) {
    if (g->stamp[record] == entry + 1) return;
    g->stamp[record] = entry + 1;
    if (g->cursor)
        g->entries[g->cursor[record]++] = entry;
    else
        g->count[record]++;
}

// The record, those above it below the root, and for a dashed code every record below it: in
// document order a record's descendants follow it, each with a parent at or after it.
static void PutTarget(Gather *g, const CodeTarget *t) {
    const uint32_t *parents = g->parents;
    const uint32_t n = g->recordCount;
    for (uint32_t p = (uint32_t)t->record; p > 0 && p < n; p = parents[p]) Put(g, p, t->entry);
    if (!t->dashed) return;
    for (uint32_t q = (uint32_t)t->record + 1;
         q < n && parents[q] != kNoParent && parents[q] >= (uint32_t)t->record; q++)
        Put(g, q, t->entry);
}

int32_t IndexBackrefsBuild(IndexBackrefs *refs, const IndexSet *set, const RecordTable *table,
                           const SeventhCharTable *sevenths) {
    if (!refs || !set || !table) return ERR_NULLPTR;
    *refs = IndexBackrefs();
    int64_t items = 0;
    for (const IndexFile &f : set->files) items += f.itemCount;
    const int32_t records = (int32_t)table->recordCount;
    CodeTarget *targets = (CodeTarget *)AllocArray(items + 1, sizeof(CodeTarget));
    int32_t *stamp = (int32_t *)AllocArray(records + 1, sizeof(int32_t));
    int32_t *count = (int32_t *)AllocArray(records + 1, sizeof(int32_t));
    uint32_t *parents = (uint32_t *)AllocArray(records + 1, sizeof(uint32_t));
    refs->first = (int32_t *)AllocArray(records + 1, sizeof(int32_t));
    int32_t status = targets && stamp && count && parents && refs->first ? 0 : ERR_ALLOC;
    for (int32_t r = 0; r < records && status == 0; r++) parents[r] = table->records[r].parent;
    int32_t targetCount = 0;
    for (uint16_t k = 0; k < INDEX_KIND_COUNT && status == 0; k++) {
        const IndexFile *f = &set->files[k];
        for (int32_t e = 0; e < f->entryCount; e++) {
            const IndexEntry *entry = &f->entries[e];
            for (int32_t i = 0; i < entry->itemCount; i++) {
                const char *text = CodeText(&f->items[entry->firstItem + i]);
                if (!text) continue;
                refs->codeCount++;
                CodeTarget t = {set->base[k] + e, -1, 0};
                t.record = RecordOfCode(table, sevenths, text, &t.dashed);
                if (t.record < 0)
                    refs->unknownCount++;
                else
                    targets[targetCount++] = t;
            }
        }
    }
    Gather g = {parents, (uint32_t)records, stamp, count, nullptr, nullptr};
    for (int32_t i = 0; i < targetCount && status == 0; i++) PutTarget(&g, &targets[i]);
    int64_t pairs = 0;
    for (int32_t r = 0; r < records && status == 0; r++) {
        refs->first[r] = (int32_t)pairs;
        pairs += count[r];
    }
    if (status == 0) {
        refs->first[records] = (int32_t)pairs;
        refs->entries = (int32_t *)AllocArray(pairs + 1, sizeof(int32_t));
        if (!refs->entries) status = ERR_ALLOC;
    }
    if (status == 0) {
        // The counts become the cursors, each starting at its record's first place.
        for (int32_t r = 0; r < records; r++) count[r] = refs->first[r];
        memset(stamp, 0, (size_t)(records + 1) * sizeof(int32_t));
        g.cursor = count;
        g.entries = refs->entries;
        for (int32_t i = 0; i < targetCount; i++) PutTarget(&g, &targets[i]);
        refs->pairCount = (int32_t)pairs;
        refs->recordCount = records;
    }
    MemFree(targets);
    MemFree(parents);
    MemFree(stamp);
    MemFree(count);
    if (status < 0) IndexBackrefsFree(refs);
    return status;
}

int32_t IndexBackrefsFree(IndexBackrefs *refs) {
    if (!refs) return ERR_NULLPTR;
    MemFree(refs->first);
    MemFree(refs->entries);
    *refs = IndexBackrefs();
    return 0;
}

const int32_t *IndexBackrefsOf(const IndexBackrefs *refs, int32_t position, int32_t *count) {
    if (count) *count = 0;
    if (!refs || !refs->first || position < 0 || position >= refs->recordCount) return nullptr;
    if (count) *count = refs->first[position + 1] - refs->first[position];
    return refs->entries + refs->first[position];
}

// The single word of phrase into word (zero-ended); false for none, more, or a longer one.
static bool OneWord(const char *phrase, char word[CODE_CHECK_CHARS + 1]) {
    while (*phrase == ' ' || *phrase == '\t') phrase++;
    size_t n = 0;
    while (phrase[n] && phrase[n] != ' ' && phrase[n] != '\t' && n < CODE_CHECK_CHARS) {
        word[n] = phrase[n];
        n++;
    }
    word[n] = '\0';
    for (const char *rest = phrase + n; *rest; rest++)
        if (*rest != ' ' && *rest != '\t') return false;
    return n > 0;
}

int32_t IndexWordIsCode(const char *phrase) {
    char word[CODE_CHECK_CHARS + 1];
    return phrase && OneWord(phrase, word) && IndexTextIsCode(word);
}

int32_t IndexBackrefsRecordFor(const RecordTable *table, const SeventhCharTable *sevenths,
                               const char *phrase) {
    char word[CODE_CHECK_CHARS + 1];
    if (!table || !phrase || !OneWord(phrase, word) || !IndexTextIsCode(word)) return -1;
    CodeCheckResult check;
    CodeCheck(table, sevenths, word, &check);
    if (check.record > 0) return check.record;
    const int32_t range = FindRecordByCode(table, PAGE_KIND_RECORD, word);  // A00-B99, A00-A09
    return range > 0 ? range : -1;
}

int32_t IndexBackrefsSearch(IndexSearch *search, const IndexBackrefs *refs, int32_t position,
                            const char *phrase, IndexHitFn onHit, void *context) {
    if (!search || !refs || !phrase) return ERR_NULLPTR;
    IndexSearchClear(search);
    int32_t count = 0;
    const int32_t *entries = IndexBackrefsOf(refs, position, &count);
    if (!entries) return ERR_INVINDEX;
    search->phrase = MemStrDup(phrase);
    search->hits = (int32_t *)AllocArray(count + 1, sizeof(int32_t));
    if (!search->phrase || !search->hits) {
        IndexSearchClear(search);
        return ERR_ALLOC;
    }
    search->hitCapacity = count + 1;
    for (int32_t i = 0; i < count; i++) {
        search->hits[search->hitCount++] = entries[i];
        if (onHit) onHit(context, i, entries[i]);
    }
    return 0;
}
