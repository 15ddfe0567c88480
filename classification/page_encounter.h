// The Check page: an encounter's codes as links with their status and title, then its findings in
// plain words, errors before reminders, each with the record whose note or title says so as a
// link. Written through the page's sink; nothing here knows the viewer.
#pragma once
#include <cstdint>

#include "encounter.h"
#include "page_compose.h"

#define ENCOUNTER_PAGE_HEADING "Check"
#define ENCOUNTER_ERRORS_CAPTION "Errors"
#define ENCOUNTER_WARNINGS_CAPTION "Warnings"
#define ENCOUNTER_REMINDERS_CAPTION "Reminders"

// Empties links and composes the page of an encounter already read and checked (EncounterRead,
// EncounterCheck): the heading, one line per code (a link when it names a record), then under
// ENCOUNTER_ERRORS_CAPTION, ENCOUNTER_WARNINGS_CAPTION and ENCOUNTER_REMINDERS_CAPTION (in
// italics, quiet) one paragraph per finding; extra, when not null, is called after the errors
// with context, for errors of its own. Links are
// recorded as PAGE_KIND_RECORD with the text shown (a complete code is shown as typed, normalised:
// the one following a link reads it as a code, not as a record's field). 0; ERR_NULLPTR;
// ERR_INVPARAM (textCapacity below 1).
int32_t ComposeEncounterPage(Encounter *encounter, PageWorkspace *workspace, LinkTable *links,
                             const PageSink *sink,
                             void (*extra)(void *context, PageWorkspace *workspace,
                                           const PageSink *sink) = nullptr,
                             void *context = nullptr);

// The encounter's normal forms (each repeat too) joined by separator into buffer (capacity + 1
// bytes, cut at capacity), for the clipboard. Returns buffer.
const char *EncounterCodeList(const Encounter *encounter, const char *separator, char *buffer,
                              int32_t capacity);
