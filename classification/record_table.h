// Record table: the classification records of engtextrecords.dat parsed into memory, one
// TextRecord per record with its own copy of the line and the offsets of its ';' fields.
// Parsing works on any memory block; LoadTextRecords feeds it the embedded archive entry.
#pragma once
#include <cstdint>

struct CodeIndex;

enum : uint32_t {
    RECORD_MARKER = 0xE7,            // second header byte of every record, end record included
    END_RECORD_INDEX = 99999999,     // header index of the end record
    MAX_RECORD_FIELDS = 40,          // field numbers 0 to 39 are addressable
    MAX_LINE_CHARS = 65530,          // longer lines are cut; the line buffer holds one more byte
    RECORD_GROWTH = 512,             // the record array grows by this many records
    RECORD_FLAG_LEAF = 0x0002,       // header flag: the record has no children
    RECORD_FLAG_DELETED = 0x0100,    // set at load (releases.h): no code of the table's release
    RECORD_HEADER_BYTES = 12,        // size of the binary header before each line
};

// Field numbers with a fixed meaning; field i (1 to 8) is shown under RecordFieldCaption(i).
enum : uint32_t {
    FIELD_CODE = 0,
    FIELD_TITLE = 1,
    FIELD_LAST_SHOWN = 8,
};

struct TextRecord {
    uint16_t flags;                            // header flags (RECORD_FLAG_LEAF)
    uint8_t marker;                            // RECORD_MARKER for every loaded record
    uint8_t level;                             // header level: 0 root, 1 to 7 below; not interpreted
    uint32_t index;                            // position in the table (header index for a record
                                               // whose line never ended)
    uint32_t parent;                           // header parent index; 0xFFFFFFFF for the root
    char *text;                                // the line, ';' replaced by zero bytes, then two zero
                                               // bytes; owned (MemFree); null if the line never ended
    int32_t fieldOffsets[MAX_RECORD_FIELDS];   // offset of each field in text, -1 when absent
    void *treeItem;                            // the record's tree item (HTREEITEM), set by the UI
};

struct RecordTable {
    uint32_t recordCount;  // records in use (the end record is not counted)
    TextRecord *records;   // MemRealloc array, capacity a multiple of RECORD_GROWTH; owned
    CodeIndex *codeIndex;  // optional code lookup index (code_refs.h); null: lookups scan. Owned.
};

// Parses a record file held in memory (bytes..bytes+size). On success writes the count and a
// new array (texts owned by the records) and returns 0; on failure logs through ErrorPrint,
// leaves nothing allocated and the out-parameters untouched: ERR_NULLPTR, ERR_INVPARAM (size
// below 1), ERR_INVDATA, ERR_READ, ERR_ALLOC. The block is only read.
int32_t ParseTextRecords(const char *bytes, int32_t size, uint32_t *count, TextRecord **records);

// Loads the named entry of the embedded archive and parses it (ParseTextRecords). Same results,
// plus the archive's own status when the entry cannot be read.
int32_t LoadTextRecords(const char *name, uint32_t *count, TextRecord **records);

// Frees the text of each of the first count records and sets it to null; not the array itself.
// 0, or ERR_NULLPTR for a null array.
int32_t FreeRecordTexts(uint32_t count, TextRecord *records);

// The field's text inside the record (field number taken as its low 16 bits). Never null: "#" for
// a null record, "-" for a number above 39, "" for an absent field. The constants are read-only.
const char *RecordField(const TextRecord *record, uint32_t field);

// Copies at most limit characters of the field into buffer (StrCopyBounded) and returns buffer;
// "#" for a null record, a null buffer or a number above 39, "-" for an absent field (buffer
// untouched in both cases).
const char *CopyRecordField(const TextRecord *record, uint32_t field, char *buffer, int32_t limit);

// 1 when the field is present (it may be empty), else 0.
int32_t RecordFieldPresent(const TextRecord *record, uint32_t field);

// Caption of field 0 to 8 ("IcdCode", "LongName", ... "Notes"); "" for other numbers.
const char *RecordFieldCaption(uint32_t field);

// Whole-table convenience for the program and the tools: loads the entry into a zero-filled
// table and builds its code index (a failed index build only leaves lookups scanning).
int32_t RecordTableLoad(RecordTable *table, const char *name);
// Releases the texts, the array and the index; leaves the table zero-filled. ERR_NULLPTR.
int32_t RecordTableFree(RecordTable *table);
