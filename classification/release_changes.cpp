// Parsing of the later releases' changes entry and lookups by code. The whole text is copied
// once and cut into fields in place; the titles point into that copy. A lookup scans: the
// entry holds some 1,600 changes, a scan of them costs microseconds.
#include "release_changes.h"

#include <cstdio>
#include <cstring>

#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "str_bounded.h"

static const char kMagic[] = "morbivue-changes";

enum : int32_t { MAX_FIELDS = 6 };

static int32_t Fail(ReleaseChanges *changes, int32_t status, int32_t line, const char *reason) {
    ErrorPrint("changes entry, line %d: %.80s", (int)line, reason);
    ErrorPrint("failed to load the later releases' changes: %.32s", StatusName(status));
    ReleaseChangesFree(changes);
    return status;
}

// Cuts the line at p (ended by a zero byte in place of its line feed) into at most MAX_FIELDS
// tab-separated fields. Returns the number of fields; MAX_FIELDS + 1 when there are more.
static int32_t SplitFields(char *p, char **fields) {
    int32_t n = 0;
    fields[n++] = p;
    for (; *p != '\0'; p++) {
        if (*p == '\t') {
            *p = '\0';
            if (n == MAX_FIELDS) {
                return MAX_FIELDS + 1;
            }
            fields[n++] = p + 1;
        }
    }
    return n;
}

// A count of at most 7 digits, or -1.
static int32_t Count(const char *s) {
    size_t length = strlen(s);
    if (length < 1 || length > 7) {
        return -1;
    }
    int32_t value = 0;
    for (size_t i = 0; i < length; i++) {
        if (s[i] < '0' || s[i] > '9') {
            return -1;
        }
        value = value * 10 + (s[i] - '0');
    }
    return value;
}

static int32_t Flag(const char *s) {
    return (s[0] == '0' || s[0] == '1') && s[1] == '\0' ? s[0] - '0' : -1;
}

// "2024" reads "FY2024", "2023-04" reads "April 2023"; another form stays as it is.
static void MakeLabel(const char *name, char *label) {
    bool year = strlen(name) >= 4;
    for (int i = 0; i < 4 && year; i++) {
        year = name[i] >= '0' && name[i] <= '9';
    }
    if (year && name[4] == '\0') {
        snprintf(label, RELEASE_NAME_CHARS + 1, "FY%s", name);
    } else if (year && strcmp(name + 4, "-04") == 0) {
        snprintf(label, RELEASE_NAME_CHARS + 1, "April %.4s", name);
    } else {
        StrCopyBounded(label, name, RELEASE_NAME_CHARS);
    }
}

static bool NameOk(const char *name) {
    size_t length = strlen(name);
    if (length < 1 || length > (size_t)RELEASE_NAME_CHARS) {
        return false;
    }
    for (size_t i = 0; i < length; i++) {
        char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
              c == '-')) {
            return false;
        }
    }
    return true;
}

// Reads one change line's fields into change. Returns a reason, or null when it is sound.
static const char *ParseChange(char **f, int32_t n, ReleaseChange *change) {
    if (f[0][0] == '\0' || f[0][1] != '\0' || strchr("ADRS", f[0][0]) == nullptr) {
        return "unknown kind of change";
    }
    change->kind = f[0][0];
    bool withFrom = change->kind == CHANGE_REVISED || change->kind == CHANGE_SPLIT;
    if (n != (withFrom ? 6 : 4)) {
        return "wrong number of fields";
    }
    int32_t billable = Flag(f[1]);
    int32_t fromBillable = withFrom ? Flag(f[4]) : billable;
    if (billable < 0 || fromBillable < 0) {
        return "status is neither 0 nor 1";
    }
    char code[CHANGE_CODE_CHARS + 1];
    if (strlen(f[2]) > (size_t)CHANGE_CODE_CHARS || ReleaseChangesNormalize(f[2], code) < 0 ||
        strcmp(code, f[2]) != 0) {
        return "bad code";
    }
    if (f[3][0] == '\0' || (withFrom && f[5][0] == '\0')) {
        return "empty title";
    }
    change->billable = (uint8_t)billable;
    change->fromBillable = (uint8_t)fromBillable;
    memcpy(change->code, code, sizeof code);
    change->title = f[3];
    change->fromTitle = withFrom ? f[5] : "";
    return nullptr;
}

int32_t ReleaseChangesParse(ReleaseChanges *changes, const char *bytes, int32_t size) {
    if (changes == nullptr || bytes == nullptr) {
        return ERR_NULLPTR;
    }
    memset(changes, 0, sizeof *changes);
    if (size < 1) {
        return Fail(changes, ERR_INVDATA, 1, "empty");
    }
    int32_t lines = 0;
    for (int32_t i = 0; i < size; i++) {
        unsigned char c = (unsigned char)bytes[i];
        if (c == '\n') {
            lines++;
        } else if (c < 0x20 && c != '\t') {
            return Fail(changes, ERR_INVDATA, lines + 1, "control character");
        }
    }
    if (bytes[size - 1] != '\n') {
        return Fail(changes, ERR_INVDATA, lines + 1, "the last line has no line feed");
    }
    if ((uint64_t)lines * sizeof(ReleaseChange) > (uint64_t)INT32_MAX || size == INT32_MAX) {
        return Fail(changes, ERR_ALLOC, lines, "too large");
    }
    changes->text = (char *)MemAlloc(size + 1);
    changes->changes = (ReleaseChange *)MemAlloc(lines * (int32_t)sizeof(ReleaseChange));
    if (changes->text == nullptr || changes->changes == nullptr) {
        return Fail(changes, ERR_ALLOC, 0, "no memory");
    }
    memcpy(changes->text, bytes, (size_t)size);
    char *p = changes->text;
    char *end = p + size;
    char *fields[MAX_FIELDS];
    int32_t line = 0;
    int32_t releases = -1;  // from the first line
    int32_t due = 0;        // changes the current release still has to list
    while (p < end) {
        char *lf = (char *)memchr(p, '\n', (size_t)(end - p));
        *lf = '\0';
        line++;
        int32_t n = SplitFields(p, fields);
        p = lf + 1;
        if (line == 1) {
            releases = n == 3 && strcmp(fields[0], kMagic) == 0 && strcmp(fields[1], "1") == 0
                           ? Count(fields[2])
                           : -1;
            if (releases < 0) {
                return Fail(changes, ERR_INVDATA, line, "not a changes entry of version 1");
            }
            if (releases > MAX_RELEASES) {
                return Fail(changes, ERR_TOOMANY, line, "too many releases");
            }
            continue;
        }
        if (due == 0) {
            int32_t count = n == 3 && strcmp(fields[0], "release") == 0 ? Count(fields[2]) : -1;
            if (count < 0 || !NameOk(fields[1])) {
                return Fail(changes, ERR_INVDATA, line, "expected a release line");
            }
            if (changes->releaseCount == releases) {
                return Fail(changes, ERR_INVDATA, line, "more releases than the first line says");
            }
            int32_t r = changes->releaseCount++;
            StrCopyBounded(changes->releases[r], fields[1], RELEASE_NAME_CHARS);
            MakeLabel(fields[1], changes->labels[r]);
            due = count;
            continue;
        }
        ReleaseChange *change = &changes->changes[changes->changeCount];
        const char *reason = n > MAX_FIELDS ? "too many fields" : ParseChange(fields, n, change);
        if (reason != nullptr) {
            return Fail(changes, ERR_INVDATA, line, reason);
        }
        change->release = changes->releaseCount - 1;
        changes->changeCount++;
        due--;
    }
    if (releases < 0 || due > 0 || changes->releaseCount != releases) {
        return Fail(changes, ERR_INVDATA, line + 1, "the entry ends early");
    }
    return 0;
}

int32_t ReleaseChangesFree(ReleaseChanges *changes) {
    if (changes == nullptr) {
        return ERR_NULLPTR;
    }
    MemFree(changes->changes);
    MemFree(changes->text);
    memset(changes, 0, sizeof *changes);
    return 0;
}

int32_t ReleaseChangesNormalize(const char *typed, char *out) {
    if (typed == nullptr || out == nullptr) {
        return ERR_NULLPTR;
    }
    while (*typed == ' ' || *typed == '\t') {
        typed++;
    }
    char plain[CHANGE_CODE_CHARS + 1];
    int32_t length = 0;
    for (int32_t i = 0; typed[i] != '\0'; i++) {
        char c = typed[i];
        if (c == ' ' || c == '\t') {
            // Only blanks may follow.
            for (; typed[i] == ' ' || typed[i] == '\t'; i++) {
            }
            if (typed[i] != '\0') {
                return ERR_INVVALUE;
            }
            break;
        }
        if (c == '.' && i == 3 && typed[i + 1] != '\0' && typed[i + 1] != ' ') {
            continue;
        }
        if (c >= 'a' && c <= 'z') {
            c = (char)(c - 'a' + 'A');
        }
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) ||
            length == CHANGE_CODE_CHARS - 1) {
            return ERR_INVVALUE;
        }
        plain[length++] = c;
    }
    // No more than a letter first: FY2026 brought the first category with two (QA0).
    if (length < 3 || plain[0] < 'A' || plain[0] > 'Z') {
        return ERR_INVVALUE;
    }
    int32_t k = 0;
    for (int32_t i = 0; i < length; i++) {
        if (i == 3) {
            out[k++] = '.';
        }
        out[k++] = plain[i];
    }
    out[k] = '\0';
    return 0;
}

int32_t ReleaseChangesFind(const ReleaseChanges *changes, const char *code, ReleaseMatch match,
                           int32_t *positions, int32_t capacity) {
    if (changes == nullptr || code == nullptr || (positions == nullptr && capacity > 0)) {
        return ERR_NULLPTR;
    }
    char wanted[CHANGE_CODE_CHARS + 1];
    if (ReleaseChangesNormalize(code, wanted) < 0) {
        return ERR_INVVALUE;
    }
    size_t length = strlen(wanted);
    int32_t found = 0;
    for (int32_t i = 0; i < changes->changeCount; i++) {
        const char *c = changes->changes[i].code;
        bool hit = match == RELEASE_MATCH_PREFIX ? strncmp(c, wanted, length) == 0
                                                 : strcmp(c, wanted) == 0;
        if (hit) {
            if (found < capacity) {
                positions[found] = i;
            }
            found++;
        }
    }
    return found;
}

const ReleaseChange *ReleaseChangesAt(const ReleaseChanges *changes, int32_t position) {
    if (changes == nullptr || position < 0 || position >= changes->changeCount) {
        return nullptr;
    }
    return &changes->changes[position];
}

const char *ReleaseChangesReleaseName(const ReleaseChanges *changes, int32_t release) {
    if (changes == nullptr || release < 0 || release >= changes->releaseCount) {
        return "";
    }
    return changes->releases[release];
}

const char *ReleaseChangesReleaseLabel(const ReleaseChanges *changes, int32_t release) {
    if (changes == nullptr || release < 0 || release >= changes->releaseCount) {
        return "";
    }
    return changes->labels[release];
}

const char *ReleaseChangeKindName(char kind) {
    switch (kind) {
    case CHANGE_ADDED: return "added";
    case CHANGE_DELETED: return "deleted";
    case CHANGE_REVISED: return "revised";
    case CHANGE_SPLIT: return "split";
    default: return "";
    }
}
