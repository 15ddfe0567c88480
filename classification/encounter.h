// An encounter: the codes of one visit in order (the first is the first-listed code), read from
// text with any separators and each checked as `check` checks it, and the findings of the
// classification's own rules on them. No output here: see encounter_text.h and page_encounter.h.
#pragma once
#include <cstddef>
#include <cstdint>

#include "code_validity.h"
#include "note_refs.h"
#include "record_table.h"
#include "releases.h"
#include "seventh_chars.h"

enum EncounterFindingKind : int32_t {
    FINDING_INVALID = 1,              // error: the code is not billable
    FINDING_DUPLICATE = 2,            // error: the same normalised code again
    FINDING_EXCLUDES1 = 3,            // error: an Excludes1 note of the code rules out the other
    FINDING_MANIFESTATION_FIRST = 4,  // error: the first code is a manifestation code
    FINDING_CODE_FIRST = 5,           // warning or reminder: no code before it that the note asks for
    FINDING_USE_ADDITIONAL = 6,       // warning or reminder: no other code that the note asks for
    FINDING_CODE_ALSO = 7,            // reminder: no other code that a "Code also" note names
    FINDING_GUIDELINE = 8,            // error: a conflict the Official Guidelines state
};

// How much a finding weighs: an error and a warning make the visit fail ("!"), a reminder does
// not ("?").
enum EncounterLevel : int32_t {
    LEVEL_ERROR = 0,     // the claim is wrong as coded
    LEVEL_WARNING = 1,   // a companion the code cannot go without is missing
    LEVEL_REMINDER = 2,  // a note that may apply: conditional, inherited, or examples
};

// Whether the code with key (upper case, dot left out) is a manifestation by a list outside the
// classification (the Medicare Code Editor's); context is the caller's.
typedef int32_t (*EncounterManifestationList)(const void *context, const char *key);

struct EncounterCode {
    CodeCheckResult check;  // as `check` finds it; check.code is the normal form cut at 15; a
                            // code not valid in the release names no record here
    ReleaseStatus status;   // in the encounter's release
    int32_t other;          // deleted: the last release holding it; not yet valid: the first
    const char *title;      // the title the release gives it, or null: the record's
    int32_t normalOffset;   // the whole normal form (any length) in the encounter's normal text
    int32_t normalLength;   // and its length
    int32_t first;          // the first code with the same normal form (itself when it is first)
    char key[CODE_CHECK_CHARS + 1];  // check.code without its dot: what references cover
    int32_t manifestation;  // 1: a manifestation, by its titles or the list; -1 not yet known
                            // (EncounterIsManifestation)
};

struct EncounterFinding {
    EncounterFindingKind kind;
    int32_t code;        // the code it concerns (index into codes)
    int32_t other;       // the other code (excludes1, duplicate), else -1
    int32_t record;      // the record whose note or title gives it; -1 (invalid, duplicate)
    uint32_t field;      // that note's field, FIELD_TITLE for manifestation-first, else 0
    int32_t refOffset;   // excludes1: the covering reference's offset in the note, else -1
    EncounterLevel level;
    uint32_t requests;   // notes: the note's requests (NoteRequestsRead) left unmet, one bit each
    int32_t rule;        // guideline: the rule (EncounterGuidelineRuleAt), else -1
};

// One reference of a note already given in a visit, by its hash (encounter_notes.cpp).
struct EncounterGiven {
    uint32_t stamp;  // the rule's pass that put it; any other: an empty slot
    uint32_t hash;   // of the reference
    int32_t record;  // the note's record
};

struct Encounter {
    const RecordTable *table;         // the records; not owned
    const SeventhCharTable *chars;    // their 7th characters (may be null); not owned
    const Releases *releases;         // the releases (may be null: the table's own); not owned
    int32_t release;                  // the release the codes are checked against
    NoteRefCache refs;                // the notes' references, kept across encounters; owned
    EncounterCode *codes;             // in the order typed; owned
    int32_t codeCount;                // codes in use
    int32_t codeCapacity;             // codes allocated
    char *normal;                     // the codes' whole normal forms, one after another; owned
    int32_t normalLength;             // bytes in use
    int32_t normalCapacity;           // bytes allocated
    char *token;                      // one typed code, zero-terminated, for the check; owned
    int32_t tokenCapacity;            // bytes allocated
    int32_t *sorted;                  // the distinct codes that name a record, by key; owned
    int32_t sortedCount;              // entries in use
    int32_t sortedCapacity;           // entries allocated
    const char **keys;                // their keys in that order; owned
    int32_t keyCapacity;              // entries allocated
    int32_t *runMin;                  // per level l, least position over sorted[i, i + 2^l); owned
    int32_t runLevels;                // levels in runMin
    int32_t runMinCapacity;           // entries allocated
    int32_t *mark;                    // per code: scratch of the pair rules; owned
    int32_t markCapacity;             // entries allocated
    EncounterFinding *findings;       // errors, warnings, reminders; each level in the order of
                                      // the rules, then of the codes; owned
    int32_t findingCount;             // findings in use
    int32_t findingCapacity;          // findings allocated
    int32_t errorCount;               // findings that are errors or warnings
    EncounterManifestationList manifestations;  // may be null
    const void *manifestationContext;           // handed to it
    const char *manifestationListName;          // what a finding of the list says
    EncounterGiven *given;     // open addressing, a power of two entries; owned
    int32_t givenCapacity;     // entries allocated
    int32_t givenCount;        // entries of this pass
    uint32_t givenStamp;       // this pass's stamp
    int32_t *ruleCodes;        // scratch of the guideline rules: the codes of each side; owned
    int32_t ruleCapacity;      // entries allocated
    uint8_t *manifestationOf;  // per record: 0 not yet known, 1 no, 2 by its titles, 3 by the
                               // list only; allocated on first use, owned
};

enum : int32_t {
    ENCOUNTER_MAX_TEXT = 1 << 28,  // longest text read as one encounter
};

// Readies a zero-filled encounter for table and chars (chars may be null). 0; ERR_NULLPTR;
// ERR_ALLOC (left zero-filled).
int32_t EncounterInit(Encounter *encounter, const RecordTable *table,
                      const SeventhCharTable *chars);
// Releases everything; zero-filled after. 0; ERR_NULLPTR.
int32_t EncounterFree(Encounter *encounter);
// Checks the codes read from now on against release (the table and chars must be the newest
// release's, as ReleasesLoadTable makes them). 0; ERR_NULLPTR; ERR_INVPARAM outside the list.
int32_t EncounterSetRelease(Encounter *encounter, const Releases *releases, int32_t release);
// Reads manifestations from list too, besides the titles (list null: the titles only); name says
// the list in a finding's note. 0; ERR_NULLPTR.
int32_t EncounterSetManifestations(Encounter *encounter, EncounterManifestationList list,
                                   const void *context, const char *name);
// A code's title as `check` gives it, into buffer (capacity + 1 bytes); returns buffer.
const char *EncounterCodeTitle(const Encounter *encounter, int32_t i, char *buffer,
                               int32_t capacity);

// 1 for the separators between typed codes: blank, tab, ',', ';', CR and LF.
int32_t EncounterIsSeparator(int32_t c);

// Replaces the encounter's codes by those of text[0..length) (a zero byte is read as '?', no
// code character either way), each checked, and sorts them for the rules; findings emptied.
// 0; ERR_NULLPTR; ERR_TOOLONG (longer than ENCOUNTER_MAX_TEXT: nothing read); ERR_ALLOC (the
// encounter is left empty).
int32_t EncounterRead(Encounter *encounter, const char *text, size_t length);

// Empties the findings, applies every rule in order and orders the
// findings by level. 0; ERR_NULLPTR; ERR_ALLOC.
int32_t EncounterCheck(Encounter *encounter);

// The rules, each appending its findings (EncounterCheck calls them in this order). Each
// returns 0, ERR_NULLPTR or ERR_ALLOC.
// Every code that is not billable.
int32_t EncounterFindInvalid(Encounter *encounter);
// Every code whose normal form came before, on the repeat.
int32_t EncounterFindDuplicates(Encounter *encounter);
// Each ordered pair (A, B) of distinct codes that name records where an Excludes1 note of A's
// record or of an ancestor up to its chapter names a reference covering B; the nearest such
// record, its first such reference.
int32_t EncounterFindExcludes1(Encounter *encounter);
// The first code when it is a manifestation: its record or an ancestor up to its category is
// titled "... in (other) diseases classified elsewhere" or "... as the cause of diseases
// classified elsewhere", or the manifestation list names it.
int32_t EncounterFindManifestationFirst(Encounter *encounter);
// The conflicts of the guidelines' rules (encounter_guidelines.h), each rule in turn.
int32_t EncounterFindGuidelines(Encounter *encounter);
// Per code and per record from its own up to its chapter whose "Code first" note has
// references: one finding naming the note's requests that no code listed before it meets (a
// manifestation's, and a request of examples, met by any code before it that is no
// manifestation). A warning for an unconditional request of the code's own record, or for a
// manifestation with nothing before it; else a reminder. A note given for an earlier code, or
// whose references contain or are contained in a nearer record's of the code or those of a note
// already given, is left out.
int32_t EncounterFindCodeFirst(Encounter *encounter);
// The same for "Use additional code" notes and any other code of the encounter.
int32_t EncounterFindUseAdditional(Encounter *encounter);
// The same for "Code also" notes, any other code in any order; always reminders.
int32_t EncounterFindCodeAlso(Encounter *encounter);

// For the rule modules: appends a finding (a warning or error counted in errorCount). 0;
// ERR_NULLPTR; ERR_ALLOC.
int32_t EncounterAddFinding(Encounter *encounter, const EncounterFinding *finding);
// The record's parent, 0 at the chapter or for a position outside the table.
int32_t EncounterParent(const Encounter *encounter, int32_t position);
// 1 for a code that takes part in the rules: the first of its normal form, naming a record.
int32_t EncounterTakesPart(const Encounter *encounter, int32_t i);
// 1 when code i is a manifestation: its titles up to its category, or the list, say so.
int32_t EncounterIsManifestation(Encounter *encounter, int32_t i);
// The record whose title makes code i a manifestation, or 0 when only the list does (or none).
int32_t EncounterManifestationRecord(const Encounter *encounter, int32_t i);

// The least position among sorted[lo, hi): is any of those codes listed before a given one.
// -1 for an empty or bad run.
int32_t EncounterLeastPosition(const Encounter *encounter, int32_t lo, int32_t hi);

// 1 for the kinds that are always errors (invalid, duplicate, excludes1, manifestation-first,
// guideline).
int32_t EncounterFindingIsError(EncounterFindingKind kind);
// '!' for an error or a warning, '?' for a reminder.
char EncounterFindingPrefix(const EncounterFinding *finding);
