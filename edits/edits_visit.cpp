// The payer's edits of a visit and its summaries.
#include "edits/edits_visit.h"

#include <cstdio>
#include <cstring>

#include "classification/encounter_text.h"
#include "classification/str_bounded.h"
#include "edits/edits_words.h"
#include "foundation/mem.h"
#include "foundation/status.h"

// The row of a valid code the list covers, or null.
static const EditsCode *Row(const EditsTable *edits, const Releases *releases,
                            const EncounterCode *c, EditsListKind list) {
    if (c->status != RELEASE_BILLABLE) return nullptr;
    if (releases != nullptr && !EditsListCovers(edits, list, ReleasesSince(releases, c->check.code)))
        return nullptr;
    return EditsFind(edits, c->check.code);
}

static int32_t Add(EditsVisit *v, EditsVisitKind kind, int32_t code) {
    if (MemReserve((void **)&v->findings, &v->findingCapacity, (int64_t)v->findingCount + 1,
                   (int32_t)sizeof(EditsVisitFinding), 8) < 0) {
        return ERR_ALLOC;
    }
    v->findings[v->findingCount++] = {kind, code};
    return 0;
}

int32_t EditsVisitCheck(EditsVisit *v, const EditsTable *edits, const Releases *releases,
                        const Encounter *e, int32_t age, int32_t inpatient) {
    if (v == nullptr || edits == nullptr || e == nullptr) return ERR_NULLPTR;
    if (age != VISIT_NO_AGE && (age < 0 || age > VISIT_MAX_AGE)) return ERR_INVPARAM;
    v->findingCount = 0;
    int32_t others = 0;  // valid codes after the first, each counted once
    for (int32_t i = 1; i < e->codeCount; i++) {
        others += e->codes[i].first == i && e->codes[i].status == RELEASE_BILLABLE;
    }
    for (int32_t i = 0; i < e->codeCount; i++) {
        const EncounterCode *c = &e->codes[i];
        const EditsCode *row = c->first == i ? Row(edits, releases, c, EDITS_MCE) : nullptr;
        if (row == nullptr) continue;
        if (age != VISIT_NO_AGE && (row->mce & MCE_AGE_EDITS) &&
            (age < row->ageLow || age > row->ageHigh) && Add(v, VISIT_AGE, i) < 0) {
            return ERR_ALLOC;
        }
        if (!inpatient || i != 0) continue;
        if ((row->mce & MCE_UNACCEPTABLE_PDX) && Add(v, VISIT_UNACCEPTABLE_PRINCIPAL, i) < 0)
            return ERR_ALLOC;
        if ((row->mce & MCE_REQUIRES_SECONDARY) && others == 0 &&
            Add(v, VISIT_REQUIRES_SECONDARY, i) < 0)
            return ERR_ALLOC;
        if ((row->mce & MCE_QUESTIONABLE_ADMISSION) && Add(v, VISIT_QUESTIONABLE_ADMISSION, i) < 0)
            return ERR_ALLOC;
    }
    return 0;
}

void EditsVisitFree(EditsVisit *v) {
    if (v == nullptr) return;
    MemFree(v->findings);
    MemFree(v->hccs);
    memset(v, 0, sizeof *v);
}

int32_t EditsVisitManifestation(const void *context, const char *key) {
    if (context == nullptr || key == nullptr || strlen(key) > EDITS_CODE_CHARS - 1) return 0;
    char code[EDITS_CODE_CHARS + 1];
    // The lists write codes with their dot after the category.
    size_t n = strlen(key);
    memcpy(code, key, n < 3 ? n : 3);
    code[n < 3 ? n : 3] = '\0';
    if (n > 3) {
        code[3] = '.';
        memcpy(code + 4, key + 3, n - 3);
        code[n + 1] = '\0';
    }
    const EditsCode *row = EditsFind((const EditsTable *)context, code);
    return row != nullptr && (row->mce & MCE_MANIFESTATION) != 0 ? 1 : 0;
}

const char *EditsVisitManifestationName(const EditsTable *edits, char *buffer) {
    char sentence[EDITS_LINE_CHARS + 1];
    snprintf(buffer, EDITS_LINE_CHARS + 1, "%s: %s",
             edits != nullptr ? edits->lists[EDITS_MCE].name : "Medicare Code Editor",
             EditsMceSentence(nullptr, MCE_MANIFESTATION, sentence));
    return buffer;
}

const char *EditsVisitKindName(EditsVisitKind kind) {
    switch (kind) {
        case VISIT_AGE: return "age";
        case VISIT_UNACCEPTABLE_PRINCIPAL: return "unacceptable-principal";
        case VISIT_REQUIRES_SECONDARY: return "requires-secondary";
        case VISIT_QUESTIONABLE_ADMISSION: return "questionable-admission";
        default: return "";
    }
}

const char *EditsVisitNote(const EditsTable *edits, const Encounter *e,
                           const EditsVisitFinding *f, char *buffer) {
    buffer[0] = '\0';
    const EditsCode *row = EditsFind(edits, e->codes[f->code].check.code);
    if (row == nullptr) return buffer;
    uint16_t edit = f->kind == VISIT_AGE ? (uint16_t)(row->mce & MCE_AGE_EDITS)
                    : f->kind == VISIT_UNACCEPTABLE_PRINCIPAL ? (uint16_t)MCE_UNACCEPTABLE_PDX
                    : f->kind == VISIT_REQUIRES_SECONDARY     ? (uint16_t)MCE_REQUIRES_SECONDARY
                                                              : (uint16_t)MCE_QUESTIONABLE_ADMISSION;
    return EditsMceSentence(row, edit, buffer);
}

const char *EditsVisitCcMcc(const EditsTable *edits, const Releases *releases, const Encounter *e,
                            char *buffer, int32_t capacity) {
    buffer[0] = '\0';
    for (int32_t i = 1; i < e->codeCount; i++) {
        const EncounterCode *c = &e->codes[i];
        const EditsCode *row = c->first == i ? Row(edits, releases, c, EDITS_DRG) : nullptr;
        if (row == nullptr || row->drg == EDITS_DRG_NONE) continue;
        if (buffer[0] != '\0') StrAppendBounded(buffer, " ", capacity);
        StrAppendBounded(buffer, c->check.code, capacity);
        StrAppendBounded(buffer, row->drg == EDITS_DRG_MCC ? ":MCC" : ":CC", capacity);
    }
    if (buffer[0] == '\0') StrCopyBounded(buffer, "-", capacity);
    return buffer;
}

const char *EditsVisitHccs(EditsVisit *v, const EditsTable *edits, const Encounter *e,
                           char *buffer, int32_t capacity) {
    buffer[0] = '\0';
    if (MemReserve((void **)&v->hccs, &v->hccCapacity, (int64_t)e->codeCount * EDITS_MAX_HCCS + 1,
                   (int32_t)sizeof(int32_t), 16) < 0) {
        return buffer;
    }
    int32_t n = 0;
    for (int32_t i = 0; i < e->codeCount; i++) {
        const EncounterCode *c = &e->codes[i];
        // The HCC list's codes are FY2026's: a newer code maps to nothing it could say.
        const EditsCode *row = c->first == i && c->status == RELEASE_BILLABLE
                                   ? EditsFind(edits, c->check.code)
                                   : nullptr;
        for (int32_t k = 0; row != nullptr && k < EDITS_MAX_HCCS && row->hccs[k] != 0; k++) {
            v->hccs[n++] = row->hccs[k];
        }
    }
    n = EditsHccApply(edits, v->hccs, n);
    char number[16];
    for (int32_t k = 0; k < n; k++) {
        snprintf(number, sizeof number, "%s%d", k > 0 ? " " : "", (int)v->hccs[k]);
        StrAppendBounded(buffer, number, capacity);
    }
    if (n == 0) StrCopyBounded(buffer, "-", capacity);
    return buffer;
}

static void Text(const PageSink *sink, PageWorkspace *ws, const char *text) {
    PageSinkWrite(sink, ws, text, strlen(text));
}

void ComposeEditsVisitErrors(EditsVisit *v, const EditsTable *edits, const Encounter *e,
                             PageWorkspace *ws, const PageSink *sink) {
    if (v == nullptr || edits == nullptr || e == nullptr || v->findingCount == 0) return;
    char line[EDITS_LINE_CHARS + 1], note[EDITS_LINE_CHARS + 1];
    PageSinkEffects(sink, 1, 0, 0);
    Text(sink, ws, "Payer's edits (Medicare Code Editor v43.1):\n");
    PageSinkEffects(sink, 0, 0, 0);
    for (int32_t k = 0; k < v->findingCount; k++) {
        const EditsVisitFinding *f = &v->findings[k];
        int32_t n = 0;
        const char *code = EncounterCodeText(e, f->code, &n);
        snprintf(line, sizeof line, "%.*s: %s\n", (int)n, code, EditsVisitNote(edits, e, f, note));
        Text(sink, ws, line);
    }
    Text(sink, ws, "\n");
}

void ComposeEditsVisitSummary(EditsVisit *v, const EditsTable *edits, const Releases *releases,
                              const Encounter *e, PageWorkspace *ws, const PageSink *sink) {
    if (v == nullptr || edits == nullptr || e == nullptr || e->codeCount == 0) return;
    char line[EDITS_LINE_CHARS + 1];
    Text(sink, ws, "\n");
    PageSinkEffects(sink, 1, 0, 0);
    Text(sink, ws, "Summary:\n");
    PageSinkEffects(sink, 0, 0, 0);
    Text(sink, ws, "CC and MCC among the secondary codes (MS-DRG v43): ");
    Text(sink, ws, EditsVisitCcMcc(edits, releases, e, line, EDITS_LINE_CHARS));
    Text(sink, ws, "\nHCCs after the V28 hierarchies (CMS-HCC V28): ");
    Text(sink, ws, EditsVisitHccs(v, edits, e, line, EDITS_LINE_CHARS));
    Text(sink, ws, "\nThe principal diagnosis's CC exclusions are not applied: that list is not in "
                   "the data.\n");
}
