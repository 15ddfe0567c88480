// Validity of a typed code: billable (may go on a claim), not billable (a chapter, block or
// header, or a code still missing its 7th character) or unknown, with the record it names and,
// for a complete 7-character code, the character that completes it.
#pragma once
#include <cstdint>

#include "record_table.h"
#include "seventh_chars.h"

enum : int32_t {
    CODE_CHECK_CHARS = 15,  // longest normalised code kept; longer input is unknown
};

enum CodeValidity : int32_t {
    CODE_UNKNOWN = 0,       // no such record, an undefined 7th character, a bad placeholder, ...
    CODE_BILLABLE = 1,      // a leaf without 7th characters in effect, or a complete code
    CODE_NOT_BILLABLE = 2,  // a chapter, block or header, or a leaf written without its 7th
};

enum CodeKind : int32_t {
    CODE_KIND_NONE = 0,      // unknown code
    CODE_KIND_CHAPTER = 1,   // a chapter (A00-B99)
    CODE_KIND_BLOCK = 2,     // a block of categories (A00-A09)
    CODE_KIND_HEADER = 3,    // a category or subcategory with codes below it
    CODE_KIND_LEAF = 4,      // a code without codes below it
    CODE_KIND_COMPLETE = 5,  // a leaf with its 7th character (S52.121A)
};

struct CodeCheckResult {
    CodeValidity validity;
    CodeKind kind;
    char code[CODE_CHECK_CHARS + 1];   // normalised: upper case, dot after the 3rd character
    int32_t record;                    // position of the record it names, -1 when unknown
    int32_t seventh;                   // index of the 7th character in the def, -1 if none
    const SeventhCharDef *def;         // definition in effect for record, or null
    const char *meaning;               // the 7th character's meaning for a complete code, or null
};

// Writes typed in its normal form into out (capacity + 1 bytes, cut at capacity): blanks around
// it dropped, upper case, and for a code of letters and digits with at most one dot, placed after
// its 3rd character, the dot after the 3rd character when it has more than three. Returns the
// length of the whole normal form (which may exceed capacity), or ERR_NULLPTR.
int32_t CodeNormalise(const char *typed, char *out, int32_t capacity);

// What the record at position is: chapter, block, header or leaf; CODE_KIND_NONE for the root
// or a position outside the table.
CodeKind RecordCodeKind(const RecordTable *table, int32_t position);

// Records below the record at position (all levels); 0 for a leaf or a position outside the table.
int32_t RecordDescendantCount(const RecordTable *table, int32_t position);

// Checks typed (any case, with or without its dot, blanks around it ignored). Always fills
// result (an unknown code keeps its normalised text). 0; ERR_NULLPTR. chars may be null: no
// record then needs a 7th character.
int32_t CodeCheck(const RecordTable *table, const SeventhCharTable *chars, const char *typed,
                  CodeCheckResult *result);

// Title of a checked code into buffer (capacity + 1 bytes): the record's title, and for a
// complete code ", " and the character's meaning. "" when unknown. Returns buffer.
const char *CodeCheckTitle(const RecordTable *table, const CodeCheckResult *result, char *buffer,
                           int32_t capacity);

// The complete code of a leaf into out: its code without the dot, padded with X to six
// characters, the character, and the dot put back after the third. False when the code is longer
// than six.
bool CodeComplete(const char *code, char character, char out[10]);

// "billable", "not-billable" or "unknown".
const char *CodeValidityName(CodeValidity validity);
