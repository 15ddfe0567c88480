// The releases the data holds: the records' own (FY2023) and each later one built from its
// changes, with the dates each is in effect, and for every code a later release touched its
// state in each. Validity by date, the record table of a release and the counts answer from here;
// nothing else reads the changes on its own. Knows codes and titles only: no release's notes.
#pragma once
#include <cstdint>

#include "code_validity.h"
#include "record_table.h"
#include "release_changes.h"
#include "seventh_chars.h"

enum : int32_t {
    RELEASES_MAX = MAX_RELEASES + 1,  // the records' own release and the later ones
    RELEASE_DATE_CHARS = 31,          // longest date in words ("September 30, 2026")
};

enum ReleaseStatus : int32_t {
    RELEASE_UNKNOWN = 0,        // no release holds the code
    RELEASE_BILLABLE = 1,       // valid on a claim in the release
    RELEASE_NOT_BILLABLE = 2,   // a chapter, block or header in the release
    RELEASE_DELETED = 3,        // valid in an earlier release, not in this one
    RELEASE_NOT_YET_VALID = 4,  // valid only in later releases
};

struct ReleaseInfo {
    char label[RELEASE_NAME_CHARS + 1];  // as a user reads it: "FY2023", "April 2023", "FY2027"
    int32_t fiscalYear;                  // the fiscal year it belongs to (2023 for April 2023)
    int32_t from;                        // first day in effect, YYYYMMDD
    int32_t to;                          // last day in effect, YYYYMMDD
};

// A code in one release: listed (an order-file code) or not, with its flag and long title.
struct ReleaseCodeState {
    uint8_t present;    // 1 when the release holds the code
    uint8_t billable;   // 1 billable, 0 header (when present)
    const char *title;  // the release's title; when absent, the last one known; inside changes
};

struct Releases {
    int32_t count;                       // releases, oldest first; 0 is the records' own
    ReleaseInfo info[RELEASES_MAX];      // each release's label and dates
    ReleaseChanges changes;              // the later releases' changes; owned
    int32_t codeCount;                   // distinct codes the changes name
    const char **codes;                  // those codes, sorted (strcmp), inside changes; owned
    ReleaseCodeState *states;            // codeCount * count states, code by code; owned
};

// Result of checking a typed code against one release.
struct ReleaseCheckResult {
    CodeCheckResult check;  // the code against the table (the newest release's records)
    ReleaseStatus status;   // its status in the release asked for
    int32_t release;        // the release asked for
    int32_t other;          // deleted: the last release holding it; not yet valid: the first;
                            // else -1
    const char *title;      // the title the changes give it (for that release or other), or
                            // null: the table's title (CodeCheckTitle) applies
};

// Takes over changes (left zero-filled) and builds the releases: the records' own first, its
// fiscal year read off the first later release ("2023-04" or "2024" both follow FY2023), then
// one per release of changes, each in effect until the next begins. 0; ERR_NULLPTR; ERR_INVDATA
// (a release name that is no year, or releases out of order); ERR_ALLOC. On failure changes is
// freed and releases left zero-filled.
int32_t ReleasesFromChanges(Releases *releases, ReleaseChanges *changes);
// Loads the changes entry of the embedded archive and builds the releases. Same results, plus
// those of ReleaseChangesLoad.
int32_t ReleasesLoad(Releases *releases);
// Releases everything; zero-filled after. 0; ERR_NULLPTR.
int32_t ReleasesFree(Releases *releases);

// The newest release (count - 1), or -1 when there is none.
int32_t ReleasesNewest(const Releases *releases);
// The release in effect on date (YYYYMMDD). ERR_OUTOFRANGE before the first or after the last
// day held; ERR_NULLPTR.
int32_t ReleasesForDate(const Releases *releases, int32_t date);
// The release's info, or null outside the list.
const ReleaseInfo *ReleasesInfo(const Releases *releases, int32_t release);

// Reads a date of service written YYYY-MM-DD into *date (YYYYMMDD): 0, or ERR_INVVALUE for
// anything else (a day the calendar does not have included); ERR_NULLPTR.
int32_t ReleaseDateParse(const char *text, int32_t *date);
// "September 30, 2026" into buffer (RELEASE_DATE_CHARS + 1 bytes); returns buffer.
const char *ReleaseDateWords(int32_t date, char *buffer);
// "2026-09-30" into buffer (11 bytes); returns buffer.
const char *ReleaseDateIso(int32_t date, char *buffer);
// The day before date (YYYYMMDD).
int32_t ReleaseDateBefore(int32_t date);

// The states of a code (dotted, upper case) some later release changed: count entries, one per
// release; null when no change names it (then every release holds it as the records do).
const ReleaseCodeState *ReleasesCodeStates(const Releases *releases, const char *code);

// Checks typed against release: the code's states when a change names it, else the table's
// answer (table and chars as the newest release has them: ReleasesApply). Always fills result.
// 0; ERR_NULLPTR; ERR_INVPARAM for a release outside the list.
int32_t ReleasesCheck(const Releases *releases, int32_t release, const RecordTable *table,
                      const SeventhCharTable *chars, const char *typed, ReleaseCheckResult *result);
// The title of a checked code into buffer (capacity + 1 bytes); returns buffer.
const char *ReleasesCheckTitle(const RecordTable *table, const ReleaseCheckResult *result,
                               char *buffer, int32_t capacity);
// "billable", "not-billable", "unknown", "deleted", "not-yet-valid".
const char *ReleaseStatusName(ReleaseStatus status);

// The fiscal year of the release from which the newest release's code (dotted, upper case) has
// been held without a break: the records' own for a code no change names. 0 when the newest
// release does not hold it.
int32_t ReleasesSince(const Releases *releases, const char *code);

// The release that deleted the record at position (it is flagged RECORD_FLAG_DELETED), or -1.
int32_t ReleasesDeletedIn(const Releases *releases, const RecordTable *table, int32_t position);

// Called with each code of a release and whether it is billable (1) or a header (0).
typedef void (*ReleaseCodeFn)(void *context, const char *code, int32_t billable);
// Every code of release as its order file lists it (categories, subcategories, codes and complete
// 7-character codes), over the table and chars of the newest release: the table's codes in table
// order, then those some change names. 0; ERR_NULLPTR; ERR_INVPARAM.
int32_t ReleasesEachCode(const Releases *releases, int32_t release, const RecordTable *table,
                         const SeventhCharTable *chars, ReleaseCodeFn fn, void *context);
// The number of those codes, and of the billable ones among them. 0; ERR_NULLPTR; ERR_INVPARAM.
int32_t ReleasesCount(const Releases *releases, int32_t release, const RecordTable *table,
                      const SeventhCharTable *chars, int32_t *codes, int32_t *billable);

// Makes a table of the records' own release into one of release: codes it added become records
// in code order under their parents (chars, the 7th characters of the table as it was, tell a
// complete code from a record), codes it deleted are flagged RECORD_FLAG_DELETED and stay, revised
// titles replace the old, leaf flags follow the records below, and the code index is rebuilt.
// An added code with no parent is left out (logged). Positions change; chars (may be null)
// follows them, new records taking their ancestors' 7th characters. 0; ERR_NULLPTR; ERR_INVPARAM; ERR_INVDATA (records out of tree order); ERR_ALLOC
// (the code index included), the table then as it was.
int32_t ReleasesApply(const Releases *releases, int32_t release, RecordTable *table,
                      SeventhCharTable *chars);

// The program's load: the records, the releases, the table made the newest release and its 7th
// characters. 0, or the first failing step's status (everything then freed).
int32_t ReleasesLoadTable(Releases *releases, RecordTable *table, SeventhCharTable *chars);
