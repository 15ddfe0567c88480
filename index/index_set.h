// The indexes of the program as one set: the index files of the embedded archive in the order
// of the printed book, their entries numbered through all of them, and what the console tool and
// the hit list show of an entry (its index, its path, its codes).
#pragma once
#include <cstddef>
#include <cstdint>

#include "index/index_file.h"

// Archive entry of each kind; an archive made without the Index to Diseases still loads.
#define INDEX_ENTRY_DISEASES "index_diseases.dat"
#define INDEX_ENTRY_NEOPLASM "index_neoplasm.dat"
#define INDEX_ENTRY_DRUG "index_drug.dat"
#define INDEX_ENTRY_EXTERNAL "index_external.dat"

struct IndexSet {
    IndexFile files[INDEX_KIND_COUNT];  // by kind; a file with no entries is absent
    int32_t base[INDEX_KIND_COUNT];     // set-wide number of each file's first entry
    int32_t entryCount;                 // entries of all files
};

// Fills the set with already parsed files (moved in: each source is left zero-filled), in kind
// order; files[k] may be null. 0; ERR_NULLPTR for a null set.
int32_t IndexSetAdopt(IndexSet *set, IndexFile *const files[INDEX_KIND_COUNT]);

// Loads and parses the embedded archive's index files into a zero-filled set. An absent
// Index to Diseases is no error; any other entry missing or damaged fails the whole load, which
// then leaves the set empty: the archive's status (ERR_NOTFOUND, ERR_CHECKSUM, ...) or the
// parser's. 0; ERR_NULLPTR.
int32_t IndexSetLoad(IndexSet *set);
// Frees every file and zero-fills the set. ERR_NULLPTR.
int32_t IndexSetFree(IndexSet *set);

// The file and the entry of set-wide number n; null (and *kind untouched) outside the set.
const IndexEntry *IndexSetEntry(const IndexSet *set, int32_t n, uint16_t *kind);
// Set-wide number of entry e of the file of kind; -1 when there is none.
int32_t IndexSetNumber(const IndexSet *set, uint16_t kind, int32_t e);

// Display name of an index in the hit list: "Index", "Neoplasms", "Drugs", "External causes".
const char *IndexDisplayName(uint16_t kind);
// Title of an index as the printed book names it ("Table of Drugs and Chemicals", ...).
const char *IndexBookTitle(uint16_t kind);

// Writes entry n's path (the titles from its main term down, joined by " > ") into buffer,
// at most capacity - 1 bytes and a zero byte; returns the path's full length, which may exceed
// what was written. ERR_NULLPTR (a null buffer with capacity 0 only measures); ERR_INVINDEX.
int32_t IndexPathWrite(const IndexSet *set, int32_t n, char *buffer, int32_t capacity);
// The same, with the main term of a subterm's path written without its nonessential modifiers
// ("Hypertension, hypertensive > with > heart involvement"), so that a list's column shows the
// subterms that tell the rows apart.
int32_t IndexPathWriteShort(const IndexSet *set, int32_t n, char *buffer, int32_t capacity);

// Writes entry n's codes the same way: for a table (a file with headings) the cells of columns 2
// up to the last heading, each its code or "-" (for "--", "-", an empty or a missing cell),
// separated by one blank; otherwise its code items separated by one blank, or else its subcat,
// or else its seecat, then each manifestation code in square brackets ("E85.4 [I43]", "[X]"
// alone without a code); in both, then each reference elsewhere, "see Infarct, myocardium" or
// "see also ...", blank-separated; or "". ERR_NULLPTR; ERR_INVINDEX.
int32_t IndexCodesWrite(const IndexSet *set, int32_t n, char *buffer, int32_t capacity);

// Text of a cell that stands for a code ("--", "-" and "" do not); null when it does not.
const char *IndexCellCode(const char *text);
