// Index file reader: one index file of the archive (data/README.md) parsed into entries (main
// terms and subterms, in file order) and their items (code, see, cell, ...). Parsing works on any
// memory block and checks every line; it knows nothing of searching or pages.
#pragma once
#include <cstdint>

// The indexes, in the order of the printed book.
enum : uint16_t {
    INDEX_KIND_DISEASES = 0,  // Index to Diseases and Injuries ("index")
    INDEX_KIND_NEOPLASM = 1,  // Table of Neoplasms ("neoplasm")
    INDEX_KIND_DRUG = 2,      // Table of Drugs and Chemicals ("drug")
    INDEX_KIND_EXTERNAL = 3,  // External Cause of Injuries Index ("external")
    INDEX_KIND_COUNT = 4,
};

enum : int32_t {
    INDEX_MAX_LEVEL = 15,    // deepest subterm level; main terms are level 0
    INDEX_MAX_COLUMNS = 16,  // highest column number of a heading or cell
};

// Item kinds: the line tags of the file.
enum : uint8_t {
    INDEX_ITEM_CODE = 'C',
    INDEX_ITEM_SEE = 'S',
    INDEX_ITEM_SEE_ALSO = 'A',
    INDEX_ITEM_SEECAT = 'K',
    INDEX_ITEM_SUBCAT = 'B',
    INDEX_ITEM_MANIF = 'M',
    INDEX_ITEM_CELL = 'X',
};

struct IndexItem {
    uint8_t kind;      // INDEX_ITEM_*
    uint8_t column;    // column of a cell (1 to INDEX_MAX_COLUMNS), else 0
    const char *text;  // its text, modifiers in place without their markers; in IndexFile::text
};

struct IndexEntry {
    const char *title;      // the title: pieces joined by one blank, modifiers without markers
    const char *essential;  // the same without its modifiers (what see references name)
    int32_t titleLength;    // bytes of title
    int32_t parent;         // entry number of the parent, -1 for a main term
    int32_t nextSibling;    // next entry with the same parent (main terms: the next main term
                            // of the file), -1 for the last
    int32_t firstChild;     // first subterm, -1 for none
    int32_t firstItem;      // its first item in IndexFile::items
    int32_t itemCount;      // items in a row from firstItem
    uint8_t level;          // 0 main term, 1 to INDEX_MAX_LEVEL subterms
    uint16_t letter;        // number of the letter it is under, from 0
};

struct IndexFile {
    uint16_t kind;                                // INDEX_KIND_*
    char *text;                                   // the file's bytes, fields zero-terminated; owned
    char *essentials;                             // the essential titles; owned
    int32_t entryCount;                           // entries in entries
    IndexEntry *entries;                          // in file order; owned
    int32_t itemCount;                            // items in items
    IndexItem *items;                             // in file order; owned
    int32_t letterCount;                          // letters in letters
    const char **letters;                         // letter titles; owned array
    int32_t columnCount;                          // highest heading column, 0 for no headings
    const char *headings[INDEX_MAX_COLUMNS + 1];  // heading of each column, null if none
    const char *version;                          // "<version>" text, or ""
    const char *title;                            // document title, or ""
};

// Name of a kind as the file header and the console tool write it ("index", "neoplasm", "drug",
// "external"); "" for others.
const char *IndexKindName(uint16_t kind);
// The kind named so, or -1.
int32_t IndexKindFromName(const char *name);

// Parses an index file held in buffer[0..size), taking ownership of buffer (a MemAlloc block of
// at least size + 1 bytes, freed on failure too). On success fills *file and returns 0; on
// failure *file is zero-filled and nothing stays allocated: ERR_NULLPTR, ERR_INVPARAM (size below
// 1), ERR_INVFORMAT (not an index file, or another version), ERR_INVDATA (a malformed line,
// unknown tag, level jump, control byte, unpaired modifier marker), ERR_ALLOC.
int32_t IndexFileAdopt(char *buffer, int32_t size, IndexFile *file);
// Same for a block the caller keeps (it is copied first).
int32_t IndexFileParse(const char *bytes, int32_t size, IndexFile *file);
// Frees everything and zero-fills the file. ERR_NULLPTR.
int32_t IndexFileFree(IndexFile *file);
