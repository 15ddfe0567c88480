// Later releases: every code added, deleted, revised or split after the release of the records,
// in release order, read from the archive entry the converter writes from the addenda. Knows
// codes and titles only; the later releases' notes are not in the data.
#pragma once
#include <cstdint>

#define RELEASE_CHANGES_ENTRY "changes.txt"

enum : int32_t {
    MAX_RELEASES = 32,         // releases one entry may hold
    RELEASE_NAME_CHARS = 15,   // longest release name ("2024", "2023-04")
    CHANGE_CODE_CHARS = 15,    // longest code kept, with its dot
};

enum ReleaseChangeKind : char {
    CHANGE_ADDED = 'A',
    CHANGE_DELETED = 'D',
    CHANGE_REVISED = 'R',   // new long title or status
    CHANGE_SPLIT = 'S',     // a billable code that became a header: use the codes below it
};

enum ReleaseMatch : int32_t {
    RELEASE_MATCH_CODE = 0,    // changes of exactly this code
    RELEASE_MATCH_PREFIX = 1,  // changes of every code beginning with it, itself included
};

struct ReleaseChange {
    int32_t release;                   // index into ReleaseChanges.releases
    char kind;                         // ReleaseChangeKind
    uint8_t billable;                  // 1 billable, 0 header: after the change (before it for
                                       // a deletion)
    uint8_t fromBillable;              // for revised and split: before the change, else billable
    char code[CHANGE_CODE_CHARS + 1];  // with its dot (D13.91), upper case
    const char *title;                 // long title after the change (before it for a deletion),
                                       // inside text
    const char *fromTitle;             // for revised and split: the title before; else ""
};

struct ReleaseChanges {
    int32_t releaseCount;                              // releases, oldest first
    char releases[MAX_RELEASES][RELEASE_NAME_CHARS + 1];  // as the entry names them
    char labels[MAX_RELEASES][RELEASE_NAME_CHARS + 1];    // as a user reads them
    int32_t changeCount;                               // changes in changes
    ReleaseChange *changes;                            // release order, each file's order; owned
    char *text;                                        // the entry's text the titles point into;
                                                       // owned
};

// Parses the entry's text (bytes..bytes+size, only read). On success fills a zero-filled record
// and returns 0; on failure logs the line and reason through ErrorPrint and leaves it
// zero-filled: ERR_NULLPTR, ERR_INVDATA (malformed text, a count that does not match),
// ERR_TOOMANY (more than MAX_RELEASES), ERR_ALLOC.
int32_t ReleaseChangesParse(ReleaseChanges *changes, const char *bytes, int32_t size);
// Loads RELEASE_CHANGES_ENTRY from the embedded archive and parses it. Same results, plus the
// archive's own status.
int32_t ReleaseChangesLoad(ReleaseChanges *changes);
// Releases everything and leaves the record zero-filled. 0, ERR_NULLPTR.
int32_t ReleaseChangesFree(ReleaseChanges *changes);

// Normalises a typed code into out (CHANGE_CODE_CHARS + 1 bytes): blanks around it dropped,
// upper case, a dot after the third character when it has more. 0; ERR_NULLPTR; ERR_INVVALUE
// when it is no code (not a letter and 2 to 13 letters or digits, or a dot elsewhere).
int32_t ReleaseChangesNormalize(const char *typed, char *out);

// Positions (into changes->changes, in release order) of the changes that match code, typed in
// any form ReleaseChangesNormalize takes. Writes at most capacity of them (positions may be
// null when capacity is 0) and returns how many there are in all (0 or more); ERR_NULLPTR;
// ERR_INVVALUE for a code that is no code.
int32_t ReleaseChangesFind(const ReleaseChanges *changes, const char *code, ReleaseMatch match,
                           int32_t *positions, int32_t capacity);

// The change at position, or null outside the table.
const ReleaseChange *ReleaseChangesAt(const ReleaseChanges *changes, int32_t position);
// Name of a change's release as the entry has it ("2024", "2023-04"); "" when out of range.
const char *ReleaseChangesReleaseName(const ReleaseChanges *changes, int32_t release);
// How a user reads a release: "FY2024", "April 2023" (another name as it stands); "" when out
// of range.
const char *ReleaseChangesReleaseLabel(const ReleaseChanges *changes, int32_t release);
// "added", "deleted", "revised", "split"; "" for anything else.
const char *ReleaseChangeKindName(char kind);
