// Finding words: names, codes and note texts of an encounter's findings, taken from the records
// as stored (items without their "./" ends).
#include "encounter_text.h"

#include <cstdio>

#include <cstring>

#include "encounter_guidelines.h"
#include "note_requests.h"

const char *EncounterFindingKindName(EncounterFindingKind kind) {
    switch (kind) {
        case FINDING_INVALID: return "invalid";
        case FINDING_DUPLICATE: return "duplicate";
        case FINDING_EXCLUDES1: return "excludes1";
        case FINDING_MANIFESTATION_FIRST: return "manifestation-first";
        case FINDING_CODE_FIRST: return "code-first";
        case FINDING_USE_ADDITIONAL: return "use-additional";
        case FINDING_CODE_ALSO: return "code-also";
        case FINDING_GUIDELINE: return "guideline";
        default: return "";
    }
}

const char *EncounterCodeText(const Encounter *e, int32_t i, int32_t *length) {
    if (e == nullptr || i < 0 || i >= e->codeCount) {
        if (length != nullptr) *length = 0;
        return "";
    }
    if (length != nullptr) *length = e->codes[i].normalLength;
    return e->normal + e->codes[i].normalOffset;
}

static bool HasRecord(const Encounter *e, const EncounterFinding *f) {
    return e != nullptr && f != nullptr && e->table != nullptr && f->record > 0 &&
           (uint32_t)f->record < e->table->recordCount;
}

const char *EncounterFindingWhere(const Encounter *e, const EncounterFinding *f) {
    if (f != nullptr && f->kind == FINDING_GUIDELINE) {
        const GuidelineRule *rule = EncounterGuidelineRuleAt(f->rule);
        return rule != nullptr ? rule->section : "-";
    }
    return HasRecord(e, f) ? RecordField(&e->table->records[f->record], FIELD_CODE) : "-";
}

static const char *ListName(const Encounter *e) {
    return e->manifestationListName != nullptr ? e->manifestationListName : "a manifestation code";
}

static bool IsNote(const EncounterFinding *f) {
    return f->kind == FINDING_CODE_FIRST || f->kind == FINDING_USE_ADDITIONAL ||
           f->kind == FINDING_CODE_ALSO;
}

// The note's requests that the finding names (all of them when it names none).
static int32_t Requests(Encounter *e, const EncounterFinding *f, const NoteRef *refs,
                        int32_t count, NoteRequest *out) {
    const char *note = RecordField(&e->table->records[f->record], f->field);
    int32_t n = NoteRequestsRead(note, refs, count, f->field == FIELD_CODE_FIRST, false, out,
                                 NOTE_REQUESTS_MAX);
    int32_t kept = 0;
    for (int32_t g = 0; g < n; g++) {
        if (f->requests == 0 || (f->requests & (1u << g)) != 0) out[kept++] = out[g];
    }
    return kept;
}

// Appends n bytes of text, bounded. (Not StrAppendBounded: its padding of the whole buffer would
// cost more than the text.)
static void AppendSpan(char *buffer, const char *text, int32_t n, int32_t capacity) {
    int32_t used = (int32_t)strlen(buffer);
    if (n > capacity - used) n = capacity - used;
    if (n <= 0) return;
    memcpy(buffer + used, text, (size_t)n);
    buffer[used + n] = '\0';
}

static void Append(char *buffer, const char *text, int32_t capacity) {
    AppendSpan(buffer, text, (int32_t)strlen(text), capacity);
}

static void Refs(Encounter *e, const EncounterFinding *f, const NoteRef **refs, int32_t *count) {
    *refs = nullptr;
    *count = 0;
    if (HasRecord(e, f)) NoteRefCacheGet(&e->refs, f->record, f->field, refs, count);
}

const char *EncounterFindingOther(Encounter *e, const EncounterFinding *f, char *buffer,
                                  int32_t capacity) {
    if (buffer == nullptr || capacity < 0) return "";
    buffer[0] = '\0';
    if (e == nullptr || f == nullptr) return buffer;
    if (f->kind == FINDING_EXCLUDES1 || f->kind == FINDING_DUPLICATE ||
        (f->kind == FINDING_GUIDELINE && f->other >= 0)) {
        int32_t n = 0;
        const char *text = EncounterCodeText(e, f->other, &n);
        AppendSpan(buffer, text, n, capacity);
        return buffer;
    }
    const NoteRef *refs = nullptr;
    int32_t count = 0;
    if (IsNote(f)) Refs(e, f, &refs, &count);
    const char *note = HasRecord(e, f) ? RecordField(&e->table->records[f->record], f->field) : "";
    NoteRequest requests[NOTE_REQUESTS_MAX];
    int32_t n = count > 0 ? Requests(e, f, refs, count, requests) : 0;
    for (int32_t r = 0; r < count; r++) {
        bool asked = false;
        for (int32_t g = 0; g < n && !asked; g++) {
            asked = r >= requests[g].refFirst && r < requests[g].refFirst + requests[g].refCount;
        }
        if (!asked) continue;
        bool seen = false;
        for (int32_t q = 0; q < r && !seen; q++) {
            seen = refs[q].length == refs[r].length &&
                   memcmp(note + refs[q].offset, note + refs[r].offset, (size_t)refs[r].length) == 0;
        }
        if (seen) continue;
        if (buffer[0] != '\0') Append(buffer, " ", capacity);
        AppendSpan(buffer, note + refs[r].offset, refs[r].length, capacity);
    }
    if (buffer[0] == '\0') Append(buffer, "-", capacity);
    return buffer;
}

// The items of note[0..length), "./" ends dropped, joined.
static void Items(const char *note, int32_t length, const char *join, bool colonJoin,
                  char *buffer, int32_t capacity) {
    const char *p = note, *stop = note + length;
    while (p < stop && *p != '\0') {
        const char *end = strstr(p, "./");
        if (end != nullptr && end >= stop) end = nullptr;
        int32_t n = end != nullptr ? (int32_t)(end - p) : (int32_t)(stop - p);
        while (n > 0 && p[0] == ' ') p++, n--;
        while (n > 0 && p[n - 1] == ' ') n--;
        if (n > 0) {
            size_t used = strlen(buffer);
            if (used > 0) {
                Append(buffer, colonJoin && buffer[used - 1] == ':' ? " " : join, capacity);
            }
            AppendSpan(buffer, p, n, capacity);
        }
        if (end == nullptr) break;
        p = end + 2;
        while (*p == '/') p++;
    }
}

const char *EncounterReleaseWords(const Encounter *e, int32_t i, char *buffer,
                                  int32_t capacity) {
    if (buffer == nullptr || capacity < 0) return "";
    buffer[0] = '\0';
    if (e == nullptr || i < 0 || i >= e->codeCount || e->releases == nullptr) return buffer;
    const EncounterCode *c = &e->codes[i];
    bool deleted = c->status == RELEASE_DELETED;
    if (!deleted && c->status != RELEASE_NOT_YET_VALID) return buffer;
    // Deleted by the release after the last that held it; valid from the first that does.
    const ReleaseInfo *info = ReleasesInfo(e->releases, deleted ? c->other + 1 : c->other);
    if (info == nullptr) return buffer;
    char day[RELEASE_DATE_CHARS + 1];
    char words[160];
    if (deleted) {
        snprintf(words, sizeof words, "deleted in %s: valid for services to %s", info->label,
                 ReleaseDateWords(ReleaseDateBefore(info->from), day));
    } else {
        snprintf(words, sizeof words, "not yet valid: added in %s, valid for services from %s",
                 info->label, ReleaseDateWords(info->from, day));
    }
    Append(buffer, words, capacity);
    return buffer;
}

const char *EncounterFindingNote(Encounter *e, const EncounterFinding *f, const char *join,
                                 bool colonJoin, char *buffer, int32_t capacity) {
    if (buffer == nullptr || capacity < 0) return "";
    buffer[0] = '\0';
    if (f != nullptr && f->kind == FINDING_INVALID &&
        EncounterReleaseWords(e, f->code, buffer, capacity)[0] != '\0') {
        return buffer;
    }
    if (f != nullptr && f->kind == FINDING_GUIDELINE) {
        const GuidelineRule *rule = EncounterGuidelineRuleAt(f->rule);
        Append(buffer, rule != nullptr ? rule->note : "-", capacity);
        return buffer;
    }
    if (!HasRecord(e, f)) {
        Append(buffer, "-", capacity);
        return buffer;
    }
    const char *text = RecordField(&e->table->records[f->record], f->field);
    if (f->kind == FINDING_EXCLUDES1) {
        const NoteRef *refs = nullptr;
        int32_t count = 0;
        Refs(e, f, &refs, &count);
        for (int32_t r = 0; r < count; r++) {
            if (refs[r].offset != f->refOffset) continue;
            AppendSpan(buffer, text + refs[r].itemOffset, refs[r].itemLength, capacity);
            break;
        }
    } else if (f->kind == FINDING_MANIFESTATION_FIRST) {
        Append(buffer, f->field == FIELD_TITLE ? text : ListName(e), capacity);
    } else if (IsNote(f)) {
        const NoteRef *refs = nullptr;
        int32_t count = 0;
        Refs(e, f, &refs, &count);
        NoteRequest requests[NOTE_REQUESTS_MAX];
        int32_t n = Requests(e, f, refs, count, requests);
        for (int32_t g = 0; g < n; g++) {
            Items(text + requests[g].offset, requests[g].end - requests[g].offset,
                  join != nullptr ? join : "; ", colonJoin, buffer, capacity);
        }
    }
    if (buffer[0] == '\0') Append(buffer, "-", capacity);
    return buffer;
}
