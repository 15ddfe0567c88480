// The payers' lists as the program reads them from the edits entry: per code its MS-DRG CC/MCC
// level, Medicare Code Editor edits, CMS-HCC V28 categories and POA exemption; the HCC labels and
// hierarchies; each list's version and fiscal year. Lookups only: the words are edits_words.h's.
#pragma once
#include <cstdint>

#define EDITS_ENTRY "edits.txt"

enum EditsListKind : int32_t {
    EDITS_DRG = 0,  // MS-DRG v43 CC/MCC
    EDITS_MCE = 1,  // Medicare Code Editor v43.1
    EDITS_HCC = 2,  // CMS-HCC V28
    EDITS_POA = 3,  // POA exempt
    EDITS_LISTS = 4,
};

enum EditsDrgLevel : uint8_t {
    EDITS_DRG_NONE = 0,
    EDITS_DRG_CC = 1,
    EDITS_DRG_MCC = 2,
};

// The Medicare Code Editor's edits, one bit each, in the order they are said.
enum EditsMceEdit : uint16_t {
    MCE_AGE_PERINATAL = 0x01,           // age_perinatal
    MCE_AGE_PEDIATRIC = 0x02,           // age_pediatric
    MCE_AGE_MATERNITY = 0x04,           // age_maternity
    MCE_AGE_ADULT = 0x08,               // age_adult
    MCE_MANIFESTATION = 0x10,           // manifestation_not_pdx
    MCE_UNACCEPTABLE_PDX = 0x20,        // unacceptable_pdx
    MCE_REQUIRES_SECONDARY = 0x40,      // unacceptable_pdx_unless_secondary_dx
    MCE_QUESTIONABLE_ADMISSION = 0x80,  // questionable_admission
    MCE_AGE_EDITS = 0x0F,
    MCE_EDIT_COUNT = 8,
};

enum : int32_t {
    EDITS_CODE_CHARS = 8,   // longest code of the lists, with its dot
    EDITS_MAX_HCCS = 2,     // categories of one code
    EDITS_NAME_CHARS = 47,  // longest list name
};

struct EditsCode {
    char code[EDITS_CODE_CHARS + 1];  // with its dot, upper case
    uint8_t drg;                      // EditsDrgLevel
    uint8_t poaExempt;                // 1 on the POA exempt list
    uint16_t mce;                     // EditsMceEdit bits
    uint8_t ageLow, ageHigh;          // the age edit's range of ages allowed, when it has one
    int16_t hccs[EDITS_MAX_HCCS];     // its HCCs ascending, 0 for none
};

struct EditsList {
    char name[EDITS_NAME_CHARS + 1];  // "MS-DRG v43", "CMS-HCC V28", ...
    int32_t fiscalYear;               // the release of the codes it covers
};

struct EditsTable {
    EditsList lists[EDITS_LISTS];  // by EditsListKind
    int32_t codeCount;             // codes on any list
    EditsCode *codes;              // sorted by code (strcmp); owned
    int32_t labelCount;            // HCC labels
    int32_t *labelHccs;            // the HCC of each label, ascending; owned
    const char **labels;           // each label, inside text; owned
    int32_t dropCount;             // hierarchy rows
    int32_t (*drops)[2];           // the HCC that drops and the one dropped; owned
    char *text;                    // the entry's text, cut into fields; owned
};

// Parses the entry's text (copied). 0; ERR_NULLPTR; ERR_INVDATA (logged with its line: a line
// of no known kind, a field that is not as written, a code on two rows of one list, a count that
// does not match); ERR_ALLOC. On failure the table is left zero-filled.
int32_t EditsParse(EditsTable *table, const char *bytes, int32_t size);
// Loads EDITS_ENTRY from the embedded archive and parses it; the archive's status too.
int32_t EditsLoad(EditsTable *table);
// Releases everything; zero-filled after. 0; ERR_NULLPTR.
int32_t EditsFree(EditsTable *table);

// The code's row (dotted, upper case), or null when no list names it.
const EditsCode *EditsFind(const EditsTable *table, const char *code);
// 1 when list covers a code held since sinceFiscalYear (the list is not older than the code).
int32_t EditsListCovers(const EditsTable *table, EditsListKind list, int32_t sinceFiscalYear);
// The HCC's label, or "".
const char *EditsHccLabel(const EditsTable *table, int32_t hcc);
// Sorts hccs ascending, drops repeats and every HCC that another of them drops (V28
// hierarchies). Returns how many are left.
int32_t EditsHccApply(const EditsTable *table, int32_t *hccs, int32_t count);
// 1 when the MS-DRG list counts the code as an MCC only when the patient is discharged alive.
int32_t EditsMccOnlyAlive(const char *code);
