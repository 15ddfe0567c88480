// The payer's part of one visit's check, over an encounter already read and checked: the Medicare
// Code Editor's age edits (with the patient's age) and principal diagnosis edits (for an inpatient
// stay, the first code being the principal), and the visit's CC/MCC and HCC summaries.
#pragma once
#include <cstdint>

#include "classification/encounter.h"
#include "classification/page_compose.h"
#include "edits/edits_table.h"

enum EditsVisitKind : int32_t {
    VISIT_AGE = 1,                     // error: the code's MCE age range excludes the age
    VISIT_UNACCEPTABLE_PRINCIPAL = 2,  // error: not acceptable as principal diagnosis
    VISIT_REQUIRES_SECONDARY = 3,      // error: principal only with a secondary, none given
    VISIT_QUESTIONABLE_ADMISSION = 4,  // error: questionable as the reason for the admission
};

enum : int32_t {
    VISIT_NO_AGE = -1,    // no age given: the age edits do not apply
    VISIT_MAX_AGE = 124,  // the oldest age the MCE knows
};

struct EditsVisitFinding {
    EditsVisitKind kind;
    int32_t code;  // index into the encounter's codes
};

struct EditsVisit {
    EditsVisitFinding *findings;  // in the order of the codes; owned
    int32_t findingCount;
    int32_t findingCapacity;
    int32_t *hccs;                // scratch for the summary; owned
    int32_t hccCapacity;
};

// Empties the findings and applies the edits to the encounter's valid codes, each once. age is
// VISIT_NO_AGE or 0 to VISIT_MAX_AGE. A code newer than the MCE list gets none of its edits.
// 0; ERR_NULLPTR; ERR_INVPARAM (an age out of range); ERR_ALLOC.
int32_t EditsVisitCheck(EditsVisit *visit, const EditsTable *edits, const Releases *releases,
                        const Encounter *encounter, int32_t age, int32_t inpatient);
// Releases everything; zero-filled after.
void EditsVisitFree(EditsVisit *visit);

// The Medicare Code Editor's manifestation list for EncounterSetManifestations: context is the
// EditsTable, key a code without its dot. 1 when the list names it.
int32_t EditsVisitManifestation(const void *context, const char *key);
// What a finding of that list says: "Medicare Code Editor v43.1: Never the principal diagnosis
// (manifestation)", into buffer (EDITS_LINE_CHARS + 1 bytes); returns buffer.
const char *EditsVisitManifestationName(const EditsTable *edits, char *buffer);

// "age", "unacceptable-principal", "requires-secondary", "questionable-admission"; "".
const char *EditsVisitKindName(EditsVisitKind kind);
// The finding's sentence of the MCE ("Maternity diagnosis: patient age 9-64") into buffer
// (EDITS_LINE_CHARS + 1 bytes); returns buffer.
const char *EditsVisitNote(const EditsTable *edits, const Encounter *encounter,
                           const EditsVisitFinding *finding, char *buffer);

// The secondary codes that are CC or MCC, in the visit's order, "N17.9:CC I50.23:MCC", or "-";
// a code newer than the MS-DRG list is left out. Into buffer (capacity + 1 bytes).
const char *EditsVisitCcMcc(const EditsTable *edits, const Releases *releases,
                            const Encounter *encounter, char *buffer, int32_t capacity);
// The visit's HCCs after the V28 hierarchies, ascending and blank-separated, or "-".
// ERR_ALLOC leaves "" in buffer.
const char *EditsVisitHccs(EditsVisit *visit, const EditsTable *edits, const Encounter *encounter,
                           char *buffer, int32_t capacity);

// The Check page's parts: the payer's errors under their caption, after the encounter's errors
// (nothing when there are none); the summaries with their labels and what they leave out, after
// the encounter's page.
void ComposeEditsVisitErrors(EditsVisit *visit, const EditsTable *edits,
                             const Encounter *encounter, PageWorkspace *workspace,
                             const PageSink *sink);
void ComposeEditsVisitSummary(EditsVisit *visit, const EditsTable *edits, const Releases *releases,
                              const Encounter *encounter, PageWorkspace *workspace,
                              const PageSink *sink);
