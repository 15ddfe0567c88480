// 7th characters: which records define them (sevenChrDef), each character with its meaning, and
// the notes' exclusions, read from the archive entry the converter writes beside the records.
// The definition in effect for a record is its own or else its nearest ancestor's.
#pragma once
#include <cstdint>

#include "record_table.h"

#define SEVENTH_CHARS_ENTRY "sevenchr.txt"

enum : int32_t {
    MAX_SEVENTH_CHARS = 40,  // characters one definition may hold
};

struct SeventhChar {
    char character;       // 'A', 'D', '1', ...: an upper-case letter or a digit
    const char *meaning;  // "initial encounter for closed fracture", inside the table's text
};

struct SeventhCharDef {
    int32_t record;     // position of the defining record
    int32_t charCount;  // characters of the definition, 1 to MAX_SEVENTH_CHARS
    int32_t firstChar;  // index of its first character in the table's chars
};

// "7th characters D and S do not apply to codes in category S06 with 6th character 7 ... or 8":
// codes below prefix whose 6th character (code without its dot, padded with X) is one of sixth
// take none of the characters in excluded.
struct SeventhCharExclusion {
    const char *prefix;    // code the rule is written for ("S06"), inside the table's text
    const char *sixth;     // 6th characters the rule applies to ("78")
    const char *excluded;  // 7th characters that do not apply ("DS")
};

struct SeventhCharTable {
    char *text;                          // the entry's text, fields cut by zero bytes; owned
    int32_t defCount;                    // definitions in defs
    SeventhCharDef *defs;                // in entry order; owned (MemFree)
    int32_t charCount;                   // characters in chars
    SeventhChar *chars;                  // every definition's characters; owned (MemFree)
    int32_t exclusionCount;              // rules in exclusions
    SeventhCharExclusion *exclusions;    // owned (MemFree)
    int32_t recordCount;                 // records covered by inEffect
    int32_t *inEffect;                   // per record: index into defs in effect, -1 if none; owned
};

// Parses the entry's text (bytes..bytes+size, copied) against the loaded records: each code must
// name a record. On success fills the zero-filled table and returns 0; on failure leaves it
// zero-filled: ERR_NULLPTR, ERR_INVDATA (a malformed line, an unknown code, too many characters:
// logged with its line number), ERR_ALLOC.
int32_t SeventhCharParse(SeventhCharTable *chars, const RecordTable *table, const char *bytes,
                         int32_t size);
// Loads SEVENTH_CHARS_ENTRY from the embedded archive and parses it. Same results, plus the
// archive's own status.
int32_t SeventhCharLoad(SeventhCharTable *chars, const RecordTable *table);
// Releases everything and leaves the table zero-filled. 0, ERR_NULLPTR.
int32_t SeventhCharFree(SeventhCharTable *chars);
// After the records moved within table, in the same order (old position i now moved[i]), and
// records joined them: each definition follows its record and every record, a new one too, takes
// what is in effect from itself or its nearest ancestor. effect (table->recordCount + 1 entries,
// MemAlloc) takes the place of inEffect, so nothing here fails.
void SeventhCharFollow(SeventhCharTable *chars, const RecordTable *table, const int32_t *moved,
                       int32_t *effect);

// The definition in effect for the record at position, or null (none, a null table, a position
// outside the table).
const SeventhCharDef *SeventhCharDefFor(const SeventhCharTable *chars, int32_t position);
// 1 when character completes the record at position: it is in the definition in effect and no
// exclusion rules it out for the record's code; else 0.
int32_t SeventhCharAllowed(const SeventhCharTable *chars, const RecordTable *table,
                           int32_t position, char character);
