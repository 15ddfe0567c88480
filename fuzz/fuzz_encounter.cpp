// libFuzzer target: the encounter reader and rules on the linked release. Any bytes are one
// encounter; every finding must name codes and records that exist, come in the order of their
// levels, and an Excludes1 finding's reference must cover the other code.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "classification/encounter.h"
#include "classification/encounter_text.h"
#include "classification/page_compose.h"

static RecordTable gTable = {};
static SeventhCharTable gChars = {};
static Encounter gEncounter = {};

static void CheckFinding(Encounter *e, const EncounterFinding *f, int32_t previousLevel) {
    if (f->level < previousLevel || f->kind < FINDING_INVALID || f->kind > FINDING_GUIDELINE) abort();
    if (EncounterFindingIsError(f->kind) && f->level != LEVEL_ERROR) abort();
    if (f->code < 0 || f->code >= e->codeCount || f->other >= e->codeCount) abort();
    if (f->record >= (int32_t)gTable.recordCount) abort();
    if (f->kind == FINDING_EXCLUDES1) {
        NoteRef ref;
        const char *note = RecordField(&gTable.records[f->record], f->field);
        if (NoteRefAt(note + f->refOffset, &ref) == 0) abort();
        if (!NoteRefCovers(&ref, e->codes[f->other].key) || f->other == f->code) abort();
    }
    static char text[TEXT_BUFFER_CHARS + 1];
    EncounterFindingOther(e, f, text, TEXT_BUFFER_CHARS);
    EncounterFindingNote(e, f, "; ", true, text, TEXT_BUFFER_CHARS);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (gTable.records == nullptr) {
        if (RecordTableLoad(&gTable, "engtextrecords.dat") < 0) abort();
        if (SeventhCharLoad(&gChars, &gTable) < 0) abort();
        if (EncounterInit(&gEncounter, &gTable, &gChars) < 0) abort();
    }
    Encounter *e = &gEncounter;
    if (EncounterRead(e, reinterpret_cast<const char *>(data), size) != 0) abort();
    if (EncounterCheck(e) != 0) abort();
    int32_t errors = 0, level = 0;
    for (int32_t k = 0; k < e->findingCount; k++) {
        CheckFinding(e, &e->findings[k], level);
        level = e->findings[k].level;
        errors += e->findings[k].level != LEVEL_REMINDER;
    }
    if (errors != e->errorCount) abort();
    return 0;
}
