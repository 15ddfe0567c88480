// Code references: recognising a code mentioned in a text by its shape, and finding the record
// that carries a code. Lookups answer exactly as a linear scan of the table in order would; the
// optional CodeIndex only makes them fast.
#pragma once
#include <cstdint>

#include "record_table.h"

enum : int32_t {
    MAX_CODE_REF_CHARS = 11,  // longest recognised reference, A00+B99.12*
};

// Length (3 to 11) of the code reference that starts exactly at p: U D D, U D D M, U D D '.'
// [D [D]] [M], U D D '-' U D D, U D D '+' U D D ['.' [D [D]] [M]] (U upper-case letter, D digit,
// M mark). 0 when none starts there; ERR_INVDATA when a range or combination's second code is not
// U D D. Reads nothing beyond the terminating zero.
int32_t CodeRefLength(const char *p);

// 1 for '#', '&' and '*', otherwise 0.
int32_t IsCodeMark(int32_t c);

// 1 when a record (the root included) has this code as field 0, ignoring case, or the code
// followed by one mark; 0 when none does, or the kind is not PAGE_KIND_RECORD, or the table is
// empty. ERR_NULLPTR, ERR_EMPTY (empty code), ERR_INVINDEX (a record without field 0 comes
// before the answer in table order).
int32_t CodeExists(const RecordTable *table, uint16_t kind, const char *code);

// Position (1 or more; the root is never a target) of the record with this code: the first exact
// match, else the last record whose code is this code plus one mark. ERR_NOTFOUND, ERR_NULLPTR,
// ERR_EMPTY, ERR_INVINDEX as for CodeExists.
int32_t FindRecordByCode(const RecordTable *table, uint16_t kind, const char *code);

// Builds table->codeIndex over the records' field 0 (replacing any previous index). The index
// must be rebuilt or freed whenever a record's text or field 0 changes. 0, ERR_NULLPTR, ERR_ALLOC
// (the table is then left without an index).
int32_t CodeIndexBuild(RecordTable *table);
// Frees table->codeIndex and sets it to null. 0, ERR_NULLPTR.
int32_t CodeIndexFree(RecordTable *table);
