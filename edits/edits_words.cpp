// The lists' words: one line and one column per list, from the code's row.
#include "edits/edits_words.h"

#include <cstdio>
#include <cstring>

#include "classification/str_bounded.h"

static const char *const kMceNames[MCE_EDIT_COUNT] = {
    "age_perinatal", "age_pediatric", "age_maternity", "age_adult", "manifestation_not_pdx",
    "unacceptable_pdx", "unacceptable_pdx_unless_secondary_dx", "questionable_admission"};

const char *EditsMceName(uint16_t edit) {
    for (int32_t k = 0; k < MCE_EDIT_COUNT; k++) {
        if (edit == (1u << k)) return kMceNames[k];
    }
    return "";
}

const char *EditsMceSentence(const EditsCode *row, uint16_t edit, char *buffer) {
    static const char *const kAges[4] = {"Perinatal diagnosis", "Pediatric diagnosis",
                                         "Maternity diagnosis", "Adult diagnosis"};
    buffer[0] = '\0';
    for (int32_t k = 0; k < 4; k++) {
        if (edit != (1u << k) || row == nullptr) continue;
        if (row->ageLow == row->ageHigh) {
            snprintf(buffer, EDITS_LINE_CHARS + 1, "%s: patient age %d", kAges[k], row->ageLow);
        } else {
            snprintf(buffer, EDITS_LINE_CHARS + 1, "%s: patient age %d-%d", kAges[k], row->ageLow,
                     row->ageHigh);
        }
    }
    const char *words = edit == MCE_MANIFESTATION     ? "Never the principal diagnosis (manifestation)"
                        : edit == MCE_UNACCEPTABLE_PDX ? "Unacceptable as principal diagnosis"
                        : edit == MCE_REQUIRES_SECONDARY
                            ? "Acceptable as principal diagnosis only with a secondary diagnosis"
                        : edit == MCE_QUESTIONABLE_ADMISSION
                            ? "Questionable admission as principal diagnosis"
                            : nullptr;
    if (words != nullptr) StrCopyBounded(buffer, words, EDITS_LINE_CHARS);
    return buffer;
}

static void Append(char *buffer, const char *text) { StrAppendBounded(buffer, text, EDITS_LINE_CHARS); }

const char *EditsLine(const EditsTable *table, EditsListKind list, const char *code, int32_t since,
                      char *buffer) {
    buffer[0] = '\0';
    if (table == nullptr || list < 0 || list >= EDITS_LISTS) return buffer;
    const char *name = table->lists[list].name;
    Append(buffer, list == EDITS_POA ? "POA" : name);
    Append(buffer, ": ");
    if (!EditsListCovers(table, list, since)) {
        Append(buffer, "not in the ");
        Append(buffer, name);
        Append(buffer, list == EDITS_POA ? " (the code is newer)" : " lists (the code is newer)");
        return buffer;
    }
    const EditsCode *row = EditsFind(table, code);
    char part[EDITS_LINE_CHARS + 1];
    switch (list) {
        case EDITS_DRG:
            if (row == nullptr || row->drg == EDITS_DRG_NONE) {
                Append(buffer, "neither CC nor MCC");
            } else {
                Append(buffer, row->drg == EDITS_DRG_MCC ? "MCC when secondary" : "CC when secondary");
                if (row->drg == EDITS_DRG_MCC && EditsMccOnlyAlive(code)) {
                    Append(buffer, ", only when the patient is discharged alive");
                }
            }
            break;
        case EDITS_HCC:
            if (row == nullptr || row->hccs[0] == 0) Append(buffer, "no HCC");
            for (int32_t k = 0; row != nullptr && k < EDITS_MAX_HCCS && row->hccs[k] != 0; k++) {
                snprintf(part, sizeof part, "%sHCC %d %s", k > 0 ? "; " : "", row->hccs[k],
                         EditsHccLabel(table, row->hccs[k]));
                Append(buffer, part);
            }
            break;
        case EDITS_MCE:
            if (row == nullptr || row->mce == 0) Append(buffer, "no MCE edit");
            for (int32_t k = 0, said = 0; row != nullptr && k < MCE_EDIT_COUNT; k++) {
                if (!(row->mce & (1u << k))) continue;
                if (said++ > 0) Append(buffer, "; ");
                Append(buffer, EditsMceSentence(row, (uint16_t)(1u << k), part));
            }
            break;
        default:
            Append(buffer, row != nullptr && row->poaExempt ? "exempt from POA reporting"
                                                            : "POA indicator required");
            break;
    }
    return buffer;
}

const char *EditsColumn(const EditsTable *table, EditsListKind list, const char *code,
                        int32_t since, char *buffer) {
    StrCopyBounded(buffer, "-", EDITS_LINE_CHARS);
    if (table == nullptr) return buffer;
    if (!EditsListCovers(table, list, since)) {
        StrCopyBounded(buffer, "?", EDITS_LINE_CHARS);
        return buffer;
    }
    const EditsCode *row = EditsFind(table, code);
    if (row == nullptr) return buffer;
    char part[16];
    buffer[0] = '\0';
    switch (list) {
        case EDITS_DRG:
            if (row->drg != EDITS_DRG_NONE) Append(buffer, row->drg == EDITS_DRG_MCC ? "MCC" : "CC");
            break;
        case EDITS_HCC:
            for (int32_t k = 0; k < EDITS_MAX_HCCS && row->hccs[k] != 0; k++) {
                snprintf(part, sizeof part, "%s%d", k > 0 ? " " : "", row->hccs[k]);
                Append(buffer, part);
            }
            break;
        case EDITS_MCE:
            for (int32_t k = 0; k < MCE_EDIT_COUNT; k++) {
                if (!(row->mce & (1u << k))) continue;
                if (buffer[0] != '\0') Append(buffer, " ");
                Append(buffer, kMceNames[k]);
            }
            break;
        default:
            if (row->poaExempt) Append(buffer, "exempt");
            break;
    }
    if (buffer[0] == '\0') Append(buffer, "-");
    return buffer;
}
