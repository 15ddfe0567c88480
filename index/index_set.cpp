// The indexes as one set: loading the archive's index files, numbering their entries through
// all of them, and writing an entry's path and codes as the hit list and the console show them.
#include "index/index_set.h"

#include <cstring>

#include "archive/embedded_archive.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static const char *const kEntryNames[INDEX_KIND_COUNT] = {
    INDEX_ENTRY_DISEASES, INDEX_ENTRY_NEOPLASM, INDEX_ENTRY_DRUG, INDEX_ENTRY_EXTERNAL};
static const char *const kDisplayNames[INDEX_KIND_COUNT] = {"Index", "Neoplasms", "Drugs",
                                                            "External causes"};
static const char *const kBookTitles[INDEX_KIND_COUNT] = {
    "Index to Diseases and Injuries", "Table of Neoplasms", "Table of Drugs and Chemicals",
    "External Cause of Injuries Index"};

const char *IndexDisplayName(uint16_t kind) {
    return kind < INDEX_KIND_COUNT ? kDisplayNames[kind] : "";
}

const char *IndexBookTitle(uint16_t kind) {
    return kind < INDEX_KIND_COUNT ? kBookTitles[kind] : "";
}

static void Number(IndexSet *set) {
    set->entryCount = 0;
    for (int32_t k = 0; k < INDEX_KIND_COUNT; k++) {
        set->base[k] = set->entryCount;
        set->entryCount += set->files[k].entryCount;
    }
}

int32_t IndexSetAdopt(IndexSet *set, IndexFile *const files[INDEX_KIND_COUNT]) {
    if (!set) return ERR_NULLPTR;
    *set = IndexSet();
    for (int32_t k = 0; k < INDEX_KIND_COUNT; k++) {
        if (!files || !files[k]) continue;
        set->files[k] = *files[k];
        *files[k] = IndexFile();
    }
    Number(set);
    return 0;
}

int32_t IndexSetLoad(IndexSet *set) {
    if (!set) return ERR_NULLPTR;
    *set = IndexSet();
    for (int32_t k = 0; k < INDEX_KIND_COUNT; k++) {
        int32_t size = 0;
        char *buffer = nullptr;
        int32_t status = PakLoadEmbeddedEntry(kEntryNames[k], &size, &buffer);
        if (status == ERR_NOTFOUND && k == INDEX_KIND_DISEASES) continue;
        if (status >= 0) status = IndexFileAdopt(buffer, size, &set->files[k]);
        // A file of another kind than its name says would be shown under the wrong index.
        if (status >= 0 && set->files[k].kind != k) status = ERR_INVFORMAT;
        if (status < 0) {
            IndexSetFree(set);
            return status;
        }
    }
    Number(set);
    return 0;
}

int32_t IndexSetFree(IndexSet *set) {
    if (!set) return ERR_NULLPTR;
    for (IndexFile &f : set->files) IndexFileFree(&f);
    *set = IndexSet();
    return 0;
}

const IndexEntry *IndexSetEntry(const IndexSet *set, int32_t n, uint16_t *kind) {
    if (!set || n < 0 || n >= set->entryCount) return nullptr;
    for (uint16_t k = INDEX_KIND_COUNT; k-- > 0;) {
        if (n >= set->base[k] && n - set->base[k] < set->files[k].entryCount) {
            if (kind) *kind = k;
            return &set->files[k].entries[n - set->base[k]];
        }
    }
    return nullptr;
}

int32_t IndexSetNumber(const IndexSet *set, uint16_t kind, int32_t e) {
    if (!set || kind >= INDEX_KIND_COUNT || e < 0 || e >= set->files[kind].entryCount) return -1;
    return set->base[kind] + e;
}

// Bounded writer: counts every byte, stores those that fit.
struct Writer {
    char *buffer;
    int32_t capacity;
    int32_t length;
};

static void Put(Writer *w, const char *text, size_t n) {
    for (size_t i = 0; i < n; i++, w->length++)
        if (w->length < w->capacity - 1) w->buffer[w->length] = text[i];
}

static void PutString(Writer *w, const char *text) { Put(w, text, strlen(text)); }

static int32_t Finish(Writer *w) {
    if (w->capacity > 0) w->buffer[w->length < w->capacity ? w->length : w->capacity - 1] = '\0';
    return w->length;
}

static int32_t PathWrite(const IndexSet *set, int32_t n, char *buffer, int32_t capacity,
                         bool shortMain) {
    if (!set || (!buffer && capacity > 0) || capacity < 0) return ERR_NULLPTR;
    uint16_t kind = 0;
    const IndexEntry *e = IndexSetEntry(set, n, &kind);
    if (!e) return ERR_INVINDEX;
    const IndexFile *f = &set->files[kind];
    const IndexEntry *chain[INDEX_MAX_LEVEL + 1];
    int32_t depth = 0;
    for (; e && depth <= INDEX_MAX_LEVEL; depth++) {
        chain[depth] = e;
        e = e->parent >= 0 ? &f->entries[e->parent] : nullptr;
    }
    Writer w = {buffer, capacity, 0};
    for (int32_t i = depth - 1; i >= 0; i--) {
        // A main term's modifiers can fill a list's column; below it only its essential words.
        const bool essential = shortMain && i == depth - 1 && depth > 1 && chain[i]->essential &&
                               chain[i]->essential[0] != '\0';
        PutString(&w, essential ? chain[i]->essential : chain[i]->title);
        if (i > 0) PutString(&w, " > ");
    }
    return Finish(&w);
}

int32_t IndexPathWrite(const IndexSet *set, int32_t n, char *buffer, int32_t capacity) {
    return PathWrite(set, n, buffer, capacity, false);
}

int32_t IndexPathWriteShort(const IndexSet *set, int32_t n, char *buffer, int32_t capacity) {
    return PathWrite(set, n, buffer, capacity, true);
}

const char *IndexCellCode(const char *text) {
    if (!text || !*text || strcmp(text, "-") == 0 || strcmp(text, "--") == 0) return nullptr;
    return text;
}

// An entry that refers elsewhere says where, after its codes: "see Infarct, myocardium".
static void PutReferences(Writer *w, const IndexItem *items, int32_t count) {
    for (int32_t i = 0; i < count; i++) {
        if (items[i].kind != INDEX_ITEM_SEE && items[i].kind != INDEX_ITEM_SEE_ALSO) continue;
        if (w->length > 0) PutString(w, " ");
        PutString(w, items[i].kind == INDEX_ITEM_SEE ? "see " : "see also ");
        PutString(w, items[i].text);
    }
}

int32_t IndexCodesWrite(const IndexSet *set, int32_t n, char *buffer, int32_t capacity) {
    if (!set || (!buffer && capacity > 0) || capacity < 0) return ERR_NULLPTR;
    uint16_t kind = 0;
    const IndexEntry *e = IndexSetEntry(set, n, &kind);
    if (!e) return ERR_INVINDEX;
    const IndexFile *f = &set->files[kind];
    const IndexItem *items = f->items + e->firstItem;
    Writer w = {buffer, capacity, 0};
    if (f->columnCount > 0) {
        for (int32_t col = 2; col <= f->columnCount; col++) {
            const char *code = nullptr;
            for (int32_t i = 0; i < e->itemCount && !code; i++)
                if (items[i].kind == INDEX_ITEM_CELL && items[i].column == col)
                    code = IndexCellCode(items[i].text);
            if (col > 2) PutString(&w, " ");
            PutString(&w, code ? code : "-");
        }
        PutReferences(&w, items, e->itemCount);
        return Finish(&w);
    }
    static const uint8_t order[] = {INDEX_ITEM_CODE, INDEX_ITEM_SUBCAT, INDEX_ITEM_SEECAT};
    for (uint8_t kindOfCode : order) {
        for (int32_t i = 0; i < e->itemCount; i++) {
            if (items[i].kind != kindOfCode) continue;
            if (w.length > 0) PutString(&w, " ");
            PutString(&w, items[i].text);
        }
        if (w.length > 0) break;
    }
    // As the printed index writes them: the manifestation in brackets after the etiology.
    for (int32_t i = 0; i < e->itemCount; i++) {
        if (items[i].kind != INDEX_ITEM_MANIF) continue;
        if (w.length > 0) PutString(&w, " ");
        PutString(&w, "[");
        PutString(&w, items[i].text);
        PutString(&w, "]");
    }
    PutReferences(&w, items, e->itemCount);
    return Finish(&w);
}
