// Check page composition: the codes, then each finding as a sentence and the record that gives
// it, in the page's body font, through the same sink and link table as a record's page.
#include "page_encounter.h"

#include <cstdio>
#include <cstring>

#include "encounter_text.h"
#include "foundation/status.h"
#include "page_ref.h"

static void Text(const PageSink *sink, PageWorkspace *ws, const char *text) {
    PageSinkWrite(sink, ws, text, strlen(text));
}

static void Code(const Encounter *e, int32_t i, const PageSink *sink, PageWorkspace *ws) {
    int32_t n = 0;
    const char *text = EncounterCodeText(e, i, &n);
    PageSinkWrite(sink, ws, text, (size_t)n);
}

static void Link(const char *code, const PageSink *sink, PageWorkspace *ws, LinkTable *links,
                 uint16_t kind = PAGE_KIND_RECORD) {
    LinkEntry entry;
    memset(&entry, 0, sizeof entry);
    entry.kind = kind;
    strncpy(entry.code, code, LINK_CODE_CHARS);
    if (sink->setLink != nullptr) sink->setLink(sink->context, 1);
    Text(sink, ws, code);
    if (sink->setLink != nullptr) sink->setLink(sink->context, 0);
    // A full table only loses the kind, which a followed link reads from its text anyway.
    AddLink(links, &entry);
}

static const char *StatusWords(const EncounterCode *c) {
    switch (c->status) {
        case RELEASE_BILLABLE: return "billable";
        case RELEASE_NOT_BILLABLE: return "not billable";
        case RELEASE_DELETED: return "deleted";
        case RELEASE_NOT_YET_VALID: return "not yet valid";
        default: return "unknown";
    }
}

// Why a code that names a record is not billable.
static const char *Reason(const CodeCheckResult *c) {
    switch (c->kind) {
        case CODE_KIND_CHAPTER: return "a chapter, not a code";
        case CODE_KIND_BLOCK: return "a block of categories, not a code";
        case CODE_KIND_HEADER: return "a header with codes below it";
        default: return "it needs a 7th character";
    }
}

static void WriteCodes(Encounter *e, PageWorkspace *ws, LinkTable *links, const PageSink *sink) {
    for (int32_t i = 0; i < e->codeCount; i++) {
        const CodeCheckResult *c = &e->codes[i].check;
        if (c->record > 0 && e->codes[i].normalLength <= CODE_CHECK_CHARS) {
            Link(c->code, sink, ws, links);
        } else {
            Code(e, i, sink, ws);
        }
        Text(sink, ws, " ");
        Text(sink, ws, StatusWords(&e->codes[i]));
        char title[1024];
        EncounterCodeTitle(e, i, title, (int32_t)sizeof title - 1);
        if (title[0] != '\0') {
            Text(sink, ws, ": ");
            Text(sink, ws, title);
        }
        Text(sink, ws, "\n");
    }
    Text(sink, ws, "\n");
}

// The finding in plain words, up to its line end.
static void WriteSentence(Encounter *e, const EncounterFinding *f, PageWorkspace *ws,
                          const PageSink *sink) {
    const CodeCheckResult *c = &e->codes[f->code].check;
    char *note = ws->textBuffer;
    switch (f->kind) {
        case FINDING_INVALID:
            Code(e, f->code, sink, ws);
            if (EncounterReleaseWords(e, f->code, note, ws->textCapacity)[0] != '\0') {
                Text(sink, ws, " is not valid on the date of service: ");
                Text(sink, ws, note);
                Text(sink, ws, ".\n");
            } else if (c->validity == CODE_UNKNOWN) {
                Text(sink, ws, " is not a code of this release.\n");
            } else {
                Text(sink, ws, " is not billable: ");
                Text(sink, ws, Reason(c));
                Text(sink, ws, ".\n");
            }
            return;
        case FINDING_DUPLICATE:
            Code(e, f->code, sink, ws);
            Text(sink, ws, " is listed more than once.\n");
            return;
        case FINDING_EXCLUDES1:
            Text(sink, ws, "Excludes1: ");
            Code(e, f->code, sink, ws);
            Text(sink, ws, " and ");
            Code(e, f->other, sink, ws);
            Text(sink, ws, " may not be coded together \x97 ");
            break;
        case FINDING_MANIFESTATION_FIRST:
            Code(e, f->code, sink, ws);
            Text(sink, ws, " is a manifestation code and may not be listed first.\n");
            return;
        case FINDING_GUIDELINE:
            Text(sink, ws, "Guidelines: ");
            Code(e, f->code, sink, ws);
            if (f->other >= 0) {
                Text(sink, ws, " with ");
                Code(e, f->other, sink, ws);
            }
            Text(sink, ws, " \x97 ");
            break;
        default:
            Text(sink, ws, f->level == LEVEL_WARNING ? "Warning: " : "Reminder: ");
            Code(e, f->code, sink, ws);
            Text(sink, ws, f->kind == FINDING_CODE_FIRST       ? " \x97 code first "
                           : f->kind == FINDING_USE_ADDITIONAL ? " \x97 use additional "
                                                                 : " \x97 code also ");
            break;
    }
    EncounterFindingNote(e, f, "; ", true, note, ws->textCapacity);
    Text(sink, ws, note);
    Text(sink, ws, "\n");
}

static void WriteFinding(Encounter *e, const EncounterFinding *f, PageWorkspace *ws,
                         LinkTable *links, const PageSink *sink) {
    WriteSentence(e, f, ws, sink);
    if (f->kind == FINDING_GUIDELINE) {
        Text(sink, ws, "Official Guidelines, Section ");
        Link(EncounterFindingWhere(e, f), sink, ws, links, PAGE_KIND_GUIDELINE);
        Text(sink, ws, "\n\n");
        return;
    }
    if (f->record > 0 && (uint32_t)f->record < e->table->recordCount) {
        const TextRecord *r = &e->table->records[f->record];
        Text(sink, ws, f->kind != FINDING_MANIFESTATION_FIRST ? "Note of "
                       : f->field == FIELD_TITLE          ? "Title of "
                                                          : "Code ");
        Link(RecordField(r, FIELD_CODE), sink, ws, links);
        Text(sink, ws, " ");
        Text(sink, ws, RecordField(r, FIELD_TITLE));
        Text(sink, ws, "\n");
    }
    Text(sink, ws, "\n");
}

// Which release the codes were checked against, last, so that a printed page says it.
static void WriteRelease(const Encounter *e, PageWorkspace *ws, const PageSink *sink) {
    const ReleaseInfo *info = ReleasesInfo(e->releases, e->release);
    if (info == nullptr) return;
    char from[RELEASE_DATE_CHARS + 1], to[RELEASE_DATE_CHARS + 1], line[160];
    snprintf(line, sizeof line, "\nChecked against ICD-10-CM %s, in effect from %s to %s.\n",
             info->label, ReleaseDateWords(info->from, from), ReleaseDateWords(info->to, to));
    Text(sink, ws, line);
}

static const char *const kCaptions[] = {ENCOUNTER_ERRORS_CAPTION ":\n",
                                        ENCOUNTER_WARNINGS_CAPTION ":\n",
                                        ENCOUNTER_REMINDERS_CAPTION ":\n"};

int32_t ComposeEncounterPage(Encounter *e, PageWorkspace *ws, LinkTable *links,
                             const PageSink *sink,
                             void (*extra)(void *context, PageWorkspace *workspace,
                                           const PageSink *sink),
                             void *context) {
    if (e == nullptr || e->table == nullptr || ws == nullptr || ws->textBuffer == nullptr ||
        ws->scratchBuffer == nullptr || links == nullptr || sink == nullptr) {
        return ERR_NULLPTR;
    }
    if (ws->textCapacity < 1) return ERR_INVPARAM;
    ClearLinks(links);
    if (sink->setFont != nullptr) {
        sink->setFont(sink->context, PAGE_FONT_FACE, PAGE_HEADING_POINTS, PAGE_HEADING_WEIGHT);
    }
    char heading[64];
    snprintf(heading, sizeof heading, ENCOUNTER_PAGE_HEADING " of %d %s\n\n", (int)e->codeCount,
             e->codeCount == 1 ? "code" : "codes");
    Text(sink, ws, heading);
    if (sink->setFont != nullptr) {
        sink->setFont(sink->context, PAGE_FONT_FACE, PAGE_BODY_POINTS, PAGE_BODY_WEIGHT);
    }
    if (e->codeCount == 0) {
        Text(sink, ws, "Type or paste the codes of one visit, the first-listed code first, then "
                       "press Check.\n");
        return 0;
    }
    WriteCodes(e, ws, links, sink);
    if (e->findingCount == 0) {
        Text(sink, ws, "No findings: the notes of these codes raise nothing against them.\n");
    }
    // Errors, the caller's errors, warnings, reminders; the reminders quiet.
    int32_t k = 0;
    for (int32_t level = LEVEL_ERROR; level <= LEVEL_REMINDER; level++) {
        bool captioned = false;
        for (; k < e->findingCount && e->findings[k].level == level; k++) {
            if (!captioned) {
                PageSinkEffects(sink, 1, 0, 0);
                Text(sink, ws, kCaptions[level]);
                captioned = true;
            }
            // Again for each: a link's end sets the plain style.
            PageSinkEffects(sink, 0, level == LEVEL_REMINDER, 0);
            WriteFinding(e, &e->findings[k], ws, links, sink);
        }
        if (captioned) PageSinkEffects(sink, 0, 0, 0);
        if (level == LEVEL_ERROR && extra != nullptr) extra(context, ws, sink);
    }
    WriteRelease(e, ws, sink);
    return 0;
}

const char *EncounterCodeList(const Encounter *e, const char *separator, char *buffer,
                              int32_t capacity) {
    if (buffer == nullptr || capacity < 0) return "";
    buffer[0] = '\0';
    if (e == nullptr || separator == nullptr) return buffer;
    int32_t used = 0, gap = (int32_t)strlen(separator);
    for (int32_t i = 0; i < e->codeCount && used < capacity; i++) {
        int32_t n = 0;
        const char *text = EncounterCodeText(e, i, &n);
        if (i > 0) {
            int32_t g = gap < capacity - used ? gap : capacity - used;
            memcpy(buffer + used, separator, (size_t)g);
            used += g;
        }
        if (n > capacity - used) n = capacity - used;
        memcpy(buffer + used, text, (size_t)n);
        used += n;
    }
    buffer[used] = '\0';
    return buffer;
}
