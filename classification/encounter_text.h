// The words of an encounter's findings: the kind's name and the other code, the record and the
// note's text each finding names, as the console tool prints them and the Check page shows them.
// Nothing is printed here.
#pragma once
#include <cstdint>

#include "encounter.h"

// "invalid", "duplicate", "excludes1", "manifestation-first", "code-first", "use-additional";
// "" for another value.
const char *EncounterFindingKindName(EncounterFindingKind kind);

// The whole normal form of code i (not zero-terminated) and its length in *length; "" and 0
// for an index outside the encounter.
const char *EncounterCodeText(const Encounter *encounter, int32_t i, int32_t *length);

// The code of the record the finding names (a block or chapter as its range); "-" for none.
const char *EncounterFindingWhere(const Encounter *encounter, const EncounterFinding *finding);

// Into buffer (capacity + 1 bytes, cut at capacity): the other code (excludes1, duplicate), the
// references the note names, each once in the order written and separated by one blank
// (reminders), or "-". Returns buffer.
const char *EncounterFindingOther(Encounter *encounter, const EncounterFinding *finding,
                                  char *buffer, int32_t capacity);

// Into buffer likewise: the note's item that holds the covering reference (excludes1), the
// note's items joined by join (reminders), the title (manifestation-first), or "-". An item
// ending in ':' is followed by one blank instead of join when colonJoin is set. Returns buffer.
const char *EncounterFindingNote(Encounter *encounter, const EncounterFinding *finding,
                                 const char *join, bool colonJoin, char *buffer,
                                 int32_t capacity);

// Into buffer likewise, for a code the encounter's release does not hold although another does:
// "deleted in FY2027: valid for services to September 30, 2026" or "not yet valid: added in
// FY2024, valid for services from October 1, 2023"; "" for any other code. Returns buffer.
const char *EncounterReleaseWords(const Encounter *encounter, int32_t i, char *buffer,
                                  int32_t capacity);
