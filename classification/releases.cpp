// The releases: their dates, and the state in each release of every code a change names, replayed
// from the state before its first change. Codes no change names are as the records have them.
#include "releases.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"
#include "str_bounded.h"

static bool Digits(const char *s, int n) {
    for (int i = 0; i < n; i++) {
        if (s[i] < '0' || s[i] > '9') return false;
    }
    return true;
}

static int32_t Number(const char *s, int n) {
    int32_t v = 0;
    for (int i = 0; i < n; i++) v = v * 10 + (s[i] - '0');
    return v;
}

static bool LeapYear(int32_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

static int32_t DaysInMonth(int32_t y, int32_t m) {
    static const int8_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && LeapYear(y) ? 29 : kDays[m - 1];
}

int32_t ReleaseDateParse(const char *text, int32_t *date) {
    if (text == nullptr || date == nullptr) return ERR_NULLPTR;
    if (strlen(text) != 10 || text[4] != '-' || text[7] != '-' || !Digits(text, 4) ||
        !Digits(text + 5, 2) || !Digits(text + 8, 2)) {
        return ERR_INVVALUE;
    }
    int32_t y = Number(text, 4), m = Number(text + 5, 2), d = Number(text + 8, 2);
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return ERR_INVVALUE;
    *date = y * 10000 + m * 100 + d;
    return 0;
}

int32_t ReleaseDateBefore(int32_t date) {
    int32_t y = date / 10000, m = date / 100 % 100, d = date % 100;
    if (d > 1) return date - 1;
    if (m > 1) return y * 10000 + (m - 1) * 100 + DaysInMonth(y, m - 1);
    return (y - 1) * 10000 + 1231;
}

const char *ReleaseDateWords(int32_t date, char *buffer) {
    static const char *const kMonths[12] = {"January", "February", "March",     "April",
                                            "May",     "June",     "July",      "August",
                                            "September", "October", "November", "December"};
    int32_t m = date / 100 % 100;
    snprintf(buffer, RELEASE_DATE_CHARS + 1, "%s %d, %d", m >= 1 && m <= 12 ? kMonths[m - 1] : "?",
             (int)(date % 100), (int)(date / 10000));
    return buffer;
}

const char *ReleaseDateIso(int32_t date, char *buffer) {
    unsigned y = (unsigned)(date / 10000) % 10000, m = (unsigned)(date / 100) % 100,
             d = (unsigned)date % 100;
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u", y, m, d);
    memcpy(buffer, text, 10);
    buffer[10] = '\0';
    return buffer;
}

// A later release's name: "2024" is in effect from October 1, 2023; "2023-04" from April 1, 2023.
static bool ReadName(const char *name, int32_t *fiscalYear, int32_t *from) {
    size_t n = strlen(name);
    if (n < 4 || !Digits(name, 4)) return false;
    int32_t year = Number(name, 4);
    if (n == 4) {
        *fiscalYear = year;
        *from = (year - 1) * 10000 + 1001;
        return true;
    }
    if (n != 7 || name[4] != '-' || !Digits(name + 5, 2)) return false;
    int32_t month = Number(name + 5, 2);
    if (month < 1 || month > 12) return false;
    *fiscalYear = month >= 10 ? year + 1 : year;
    *from = year * 10000 + month * 100 + 1;
    return true;
}

static int32_t SetDates(Releases *r) {
    const ReleaseChanges *c = &r->changes;
    r->count = c->releaseCount + 1;
    ReleaseInfo *base = &r->info[0];
    if (c->releaseCount == 0) {
        // Nothing says which release the records are: any date is theirs.
        StrCopyBounded(base->label, "this release", RELEASE_NAME_CHARS);
        base->from = 10000101;
        base->to = 99991231;
        return 0;
    }
    for (int32_t k = 1; k < r->count; k++) {
        ReleaseInfo *info = &r->info[k];
        if (!ReadName(c->releases[k - 1], &info->fiscalYear, &info->from)) return ERR_INVDATA;
        StrCopyBounded(info->label, c->labels[k - 1], RELEASE_NAME_CHARS);
        info->to = info->fiscalYear * 10000 + 930;
    }
    // The records' own release is the fiscal year before the first later one, unless that one
    // is a mid-year update of the same year.
    const ReleaseInfo *first = &r->info[1];
    base->fiscalYear = first->from % 10000 == 1001 ? first->fiscalYear - 1 : first->fiscalYear;
    base->from = (base->fiscalYear - 1) * 10000 + 1001;
    snprintf(base->label, RELEASE_NAME_CHARS + 1, "FY%d", (int)base->fiscalYear);
    for (int32_t k = 0; k + 1 < r->count; k++) {
        if (r->info[k + 1].from <= r->info[k].from) return ERR_INVDATA;
        r->info[k].to = ReleaseDateBefore(r->info[k + 1].from);
    }
    if (base->from >= first->from) return ERR_INVDATA;
    base->to = ReleaseDateBefore(first->from);
    return 0;
}

// The state before a code's first change, read off that change.
static ReleaseCodeState StateBefore(const ReleaseChange *first) {
    ReleaseCodeState s = {0, 0, first->title};
    if (first->kind == CHANGE_DELETED) {
        s.present = 1;
        s.billable = first->billable;
    } else if (first->kind == CHANGE_REVISED || first->kind == CHANGE_SPLIT) {
        s.present = 1;
        s.billable = first->fromBillable;
        s.title = first->fromTitle;
    }
    return s;
}

static void Apply(ReleaseCodeState *s, const ReleaseChange *change) {
    s->title = change->title;
    switch (change->kind) {
        case CHANGE_DELETED: s->present = 0; break;
        case CHANGE_SPLIT: s->present = 1; s->billable = 0; break;
        default: s->present = 1; s->billable = change->billable; break;
    }
}

static int32_t BuildStates(Releases *r) {
    const ReleaseChanges *c = &r->changes;
    if (c->changeCount == 0) return 0;
    int32_t *order = (int32_t *)MemAlloc((int32_t)sizeof(int32_t) * c->changeCount);
    if (order == nullptr) return ERR_ALLOC;
    for (int32_t i = 0; i < c->changeCount; i++) order[i] = i;
    std::sort(order, order + c->changeCount, [c](int32_t a, int32_t b) {
        int cmp = strcmp(c->changes[a].code, c->changes[b].code);
        return cmp != 0 ? cmp < 0 : a < b;
    });
    int32_t distinct = 0;
    for (int32_t i = 0; i < c->changeCount; i++) {
        if (i == 0 || strcmp(c->changes[order[i]].code, c->changes[order[i - 1]].code) != 0) {
            distinct++;
        }
    }
    r->codes = (const char **)MemAlloc((int32_t)sizeof(char *) * distinct);
    r->states = (ReleaseCodeState *)MemAlloc(
        (int32_t)((int64_t)sizeof(ReleaseCodeState) * distinct * r->count));
    if (r->codes == nullptr || r->states == nullptr) {
        MemFree(order);
        return ERR_ALLOC;
    }
    int32_t i = 0;
    while (i < c->changeCount) {
        int32_t end = i;
        const char *code = c->changes[order[i]].code;
        while (end < c->changeCount && strcmp(c->changes[order[end]].code, code) == 0) end++;
        ReleaseCodeState *row = &r->states[(int64_t)r->codeCount * r->count];
        r->codes[r->codeCount++] = code;
        row[0] = StateBefore(&c->changes[order[i]]);
        int32_t next = i;
        for (int32_t k = 1; k < r->count; k++) {
            row[k] = row[k - 1];
            for (; next < end && c->changes[order[next]].release == k - 1; next++) {
                Apply(&row[k], &c->changes[order[next]]);
            }
        }
        i = end;
    }
    MemFree(order);
    return 0;
}

int32_t ReleasesFromChanges(Releases *releases, ReleaseChanges *changes) {
    if (releases == nullptr || changes == nullptr) return ERR_NULLPTR;
    memset(releases, 0, sizeof *releases);
    releases->changes = *changes;
    memset(changes, 0, sizeof *changes);
    int32_t status = SetDates(releases);
    if (status >= 0) status = BuildStates(releases);
    if (status < 0) ReleasesFree(releases);
    return status < 0 ? status : 0;
}

int32_t ReleasesFree(Releases *releases) {
    if (releases == nullptr) return ERR_NULLPTR;
    ReleaseChangesFree(&releases->changes);
    MemFree(releases->codes);
    MemFree(releases->states);
    memset(releases, 0, sizeof *releases);
    return 0;
}

int32_t ReleasesNewest(const Releases *releases) {
    return releases != nullptr && releases->count > 0 ? releases->count - 1 : -1;
}

int32_t ReleasesForDate(const Releases *releases, int32_t date) {
    if (releases == nullptr) return ERR_NULLPTR;
    for (int32_t k = 0; k < releases->count; k++) {
        if (date >= releases->info[k].from && date <= releases->info[k].to) return k;
    }
    return ERR_OUTOFRANGE;
}

const ReleaseInfo *ReleasesInfo(const Releases *releases, int32_t release) {
    if (releases == nullptr || release < 0 || release >= releases->count) return nullptr;
    return &releases->info[release];
}

const ReleaseCodeState *ReleasesCodeStates(const Releases *releases, const char *code) {
    if (releases == nullptr || code == nullptr || releases->codeCount == 0) return nullptr;
    const char **end = releases->codes + releases->codeCount;
    const char **at = std::lower_bound(releases->codes, end, code, [](const char *a, const char *b) {
        return strcmp(a, b) < 0;
    });
    if (at == end || strcmp(*at, code) != 0) return nullptr;
    return &releases->states[(int64_t)(at - releases->codes) * releases->count];
}

static ReleaseStatus FromValidity(CodeValidity v) {
    switch (v) {
        case CODE_BILLABLE: return RELEASE_BILLABLE;
        case CODE_NOT_BILLABLE: return RELEASE_NOT_BILLABLE;
        default: return RELEASE_UNKNOWN;
    }
}

int32_t ReleasesCheck(const Releases *releases, int32_t release, const RecordTable *table,
                      const SeventhCharTable *chars, const char *typed,
                      ReleaseCheckResult *result) {
    if (releases == nullptr || table == nullptr || typed == nullptr || result == nullptr) {
        return ERR_NULLPTR;
    }
    memset(result, 0, sizeof *result);
    result->release = release;
    result->other = -1;
    CodeCheck(table, chars, typed, &result->check);
    if (release < 0 || release >= releases->count) return ERR_INVPARAM;
    const ReleaseCodeState *row = ReleasesCodeStates(releases, result->check.code);
    if (row == nullptr) {
        result->status = FromValidity(result->check.validity);
        return 0;
    }
    const ReleaseCodeState *s = &row[release];
    if (s->present) {
        result->status = s->billable ? RELEASE_BILLABLE : RELEASE_NOT_BILLABLE;
        result->title = s->title;
        return 0;
    }
    for (int32_t k = release - 1; k >= 0 && result->other < 0; k--) {
        if (row[k].present) {
            result->status = RELEASE_DELETED;
            result->other = k;
        }
    }
    for (int32_t k = release + 1; k < releases->count && result->other < 0; k++) {
        if (row[k].present) {
            result->status = RELEASE_NOT_YET_VALID;
            result->other = k;
        }
    }
    result->title = result->other >= 0 ? row[result->other].title : s->title;
    return 0;
}

const char *ReleasesCheckTitle(const RecordTable *table, const ReleaseCheckResult *result,
                               char *buffer, int32_t capacity) {
    if (buffer == nullptr || capacity < 0) return "";
    if (result == nullptr) {
        buffer[0] = '\0';
        return buffer;
    }
    if (result->title != nullptr) {
        StrCopyBounded(buffer, result->title, capacity);
        return buffer;
    }
    return CodeCheckTitle(table, &result->check, buffer, capacity);
}

const char *ReleaseStatusName(ReleaseStatus status) {
    switch (status) {
        case RELEASE_BILLABLE: return "billable";
        case RELEASE_NOT_BILLABLE: return "not-billable";
        case RELEASE_DELETED: return "deleted";
        case RELEASE_NOT_YET_VALID: return "not-yet-valid";
        default: return "unknown";
    }
}

int32_t ReleasesSince(const Releases *releases, const char *code) {
    if (releases == nullptr || releases->count == 0) return 0;
    const ReleaseCodeState *row = ReleasesCodeStates(releases, code);
    if (row == nullptr) return releases->info[0].fiscalYear;
    int32_t k = releases->count - 1;
    if (!row[k].present) return 0;
    while (k > 0 && row[k - 1].present) k--;
    return releases->info[k].fiscalYear;
}

int32_t ReleasesDeletedIn(const Releases *releases, const RecordTable *table, int32_t position) {
    if (releases == nullptr || table == nullptr || position <= 0 ||
        (uint32_t)position >= table->recordCount ||
        !(table->records[position].flags & RECORD_FLAG_DELETED)) {
        return -1;
    }
    const ReleaseCodeState *row =
        ReleasesCodeStates(releases, RecordField(&table->records[position], FIELD_CODE));
    if (row == nullptr) return -1;
    for (int32_t k = releases->count - 1; k >= 0; k--) {
        if (row[k].present) return k + 1 < releases->count ? k + 1 : -1;
    }
    return -1;
}
