// The later releases' section of a record page and the Find and status lines about later
// changes. Codes follow the page's link rules: a record's code is a link, any other code is
// underlined, as in the notes.
#include "page_changes.h"

#include <cstdio>
#include <cstring>

#include "code_refs.h"
#include "foundation/status.h"
#include "page_ref.h"
#include "str_bounded.h"

static void Write(const PageSink *sink, PageWorkspace *ws, const char *text) {
    PageSinkWrite(sink, ws, text, strlen(text));
}

static void WriteCode(const RecordTable *table, uint16_t kind, const char *code, PageWorkspace *ws,
                      LinkTable *links, const PageSink *sink) {
    if (CodeExists(table, kind, code) > 0) {
        if (sink->setLink != nullptr) sink->setLink(sink->context, 1);
        Write(sink, ws, code);
        if (sink->setLink != nullptr) sink->setLink(sink->context, 0);
        LinkEntry entry;
        memset(&entry, 0, sizeof entry);
        entry.kind = kind;
        StrCopyBounded(entry.code, code, LINK_CODE_CHARS);
        AddLink(links, &entry);
    } else {
        if (sink->setEffects != nullptr) sink->setEffects(sink->context, 0, 0, 1);
        Write(sink, ws, code);
        if (sink->setEffects != nullptr) sink->setEffects(sink->context, 0, 0, 0);
    }
}

// 1 when the change belongs on the page of the record with code (length characters, a prefix
// of the change's code): no record between them has a code that is also a prefix.
static int32_t Concerns(const RecordTable *table, uint16_t kind, const char *code, size_t length,
                        const ReleaseChange *change) {
    if (strncmp(change->code, code, length) != 0) {
        return 0;
    }
    char prefix[CHANGE_CODE_CHARS + 1];
    for (size_t n = strlen(change->code); n > length; n--) {
        if (change->code[n - 1] == '.') {
            continue;
        }
        memcpy(prefix, change->code, n);
        prefix[n] = '\0';
        // The change's own code counts too: a record of it has its own page.
        if (CodeExists(table, kind, prefix) > 0) {
            return 0;
        }
    }
    return 1;
}

static const char *ChangeNote(const ReleaseChange *c) {
    if (c->kind == CHANGE_SPLIT) {
        return " (a header now: use a code below it)";
    }
    if (c->kind != CHANGE_DELETED && c->billable == 0) {
        return " (a header: not billable)";
    }
    return "";
}

int32_t ComposeReleaseChanges(const RecordTable *table, const ReleaseChanges *changes,
                              uint16_t kind, const TextRecord *record, PageWorkspace *ws,
                              LinkTable *links, const PageSink *sink) {
    if (table == nullptr || changes == nullptr || record == nullptr || links == nullptr ||
        sink == nullptr || ws == nullptr || ws->textBuffer == nullptr ||
        ws->scratchBuffer == nullptr) {
        return ERR_NULLPTR;
    }
    if (ws->textCapacity < 1) {
        return ERR_INVPARAM;
    }
    char code[CHANGE_CODE_CHARS + 1];
    if (kind != PAGE_KIND_RECORD || !RecordFieldPresent(record, FIELD_CODE) ||
        ReleaseChangesNormalize(RecordField(record, FIELD_CODE), code) < 0 ||
        strcmp(code, RecordField(record, FIELD_CODE)) != 0) {
        return 0;
    }
    size_t length = strlen(code);
    int32_t written = 0;
    for (int32_t i = 0; i < changes->changeCount; i++) {
        const ReleaseChange *c = &changes->changes[i];
        if (!Concerns(table, kind, code, length, c)) {
            continue;
        }
        if (written++ == 0) {
            Write(sink, ws, PAGE_CHANGES_HEADING);
        }
        Write(sink, ws, ReleaseChangesReleaseLabel(changes, c->release));
        Write(sink, ws, " ");
        Write(sink, ws, ReleaseChangeKindName(c->kind));
        Write(sink, ws, ": ");
        WriteCode(table, kind, c->code, ws, links, sink);
        Write(sink, ws, " ");
        Write(sink, ws, c->title);
        Write(sink, ws, ChangeNote(c));
        Write(sink, ws, "\n");
    }
    if (written > 0) {
        Write(sink, ws, "\n");
    }
    return written;
}

static int32_t LineArgs(const ReleaseChanges *changes, const char *typed, char *buffer,
                        int32_t capacity, char *code) {
    if (changes == nullptr || typed == nullptr || buffer == nullptr) {
        return ERR_NULLPTR;
    }
    if (capacity < 1) {
        return ERR_INVPARAM;
    }
    buffer[0] = '\0';
    return ReleaseChangesNormalize(typed, code) < 0 ? ERR_INVVALUE : 0;
}

int32_t ReleaseChangesFindLine(const ReleaseChanges *changes, const char *typed, char *buffer,
                               int32_t capacity) {
    char code[CHANGE_CODE_CHARS + 1];
    int32_t status = LineArgs(changes, typed, buffer, capacity, code);
    if (status < 0) {
        return status;
    }
    const ReleaseChange *added = nullptr;
    const ReleaseChange *last = nullptr;
    for (int32_t i = 0; i < changes->changeCount; i++) {
        const ReleaseChange *c = &changes->changes[i];
        if (strcmp(c->code, code) == 0 && (added != nullptr || c->kind == CHANGE_ADDED)) {
            added = added != nullptr ? added : c;
            last = c;
        }
    }
    if (added == nullptr) {
        return ERR_NOTFOUND;
    }
    // The title as the last release has it, or as the code had it when it went.
    snprintf(buffer, (size_t)capacity + 1, "%s is not in this release: added in %s, %s", code,
             ReleaseChangesReleaseLabel(changes, added->release),
             last->title);
    if (last->kind == CHANGE_DELETED || last->kind == CHANGE_SPLIT) {
        StrAppendBounded(buffer, "; ", capacity);
        StrAppendBounded(buffer, ReleaseChangeKindName(last->kind), capacity);
        StrAppendBounded(buffer, " in ", capacity);
        StrAppendBounded(buffer, ReleaseChangesReleaseLabel(changes, last->release), capacity);
    }
    return (int32_t)strlen(buffer);
}

int32_t ReleaseChangesStatusLine(const ReleaseChanges *changes, const char *typed, char *buffer,
                                 int32_t capacity) {
    char code[CHANGE_CODE_CHARS + 1];
    int32_t status = LineArgs(changes, typed, buffer, capacity, code);
    if (status < 0) {
        return status;
    }
    const ReleaseChange *last = nullptr;
    for (int32_t i = 0; i < changes->changeCount; i++) {
        if (strcmp(changes->changes[i].code, code) == 0) {
            last = &changes->changes[i];
        }
    }
    if (last == nullptr) {
        return 0;
    }
    const char *release = ReleaseChangesReleaseLabel(changes, last->release);
    if (last->kind == CHANGE_DELETED) {
        snprintf(buffer, (size_t)capacity + 1, "no longer valid: deleted in %s", release);
        return 1;
    }
    if (last->billable == 0 && last->fromBillable == 1) {
        snprintf(buffer, (size_t)capacity + 1,
                 "no longer valid: a header since %s, use a code below it", release);
        return 1;
    }
    return 0;
}
