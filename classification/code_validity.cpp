// Code validity: normal form of a typed code, the record it names, and whether it may go on a
// claim, with the 7th-character and placeholder rules.
#include "code_validity.h"

#include <cstring>

#include "code_refs.h"
#include "foundation/status.h"
#include "page_ref.h"
#include "str_bounded.h"

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

static char Upper(char c) { return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c; }

static bool IsAlnum(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Trimmed bounds of typed.
static void Trim(const char *typed, const char **start, size_t *length) {
    const char *p = typed;
    while (IsBlank(*p)) p++;
    size_t n = strlen(p);
    while (n > 0 && IsBlank(p[n - 1])) n--;
    *start = p;
    *length = n;
}

// 1 when the trimmed text is letters and digits with at most one dot, placed after the 3rd.
static int32_t PlainCode(const char *p, size_t n) {
    int32_t dots = 0;
    for (size_t i = 0; i < n; i++) {
        if (p[i] == '.') {
            if (i != 3 || ++dots > 1) return 0;
        } else if (!IsAlnum(p[i])) {
            return 0;
        }
    }
    return 1;
}

int32_t CodeNormalise(const char *typed, char *out, int32_t capacity) {
    if (typed == nullptr || out == nullptr) return ERR_NULLPTR;
    const char *p = nullptr;
    size_t n = 0;
    Trim(typed, &p, &n);
    int32_t length = 0;
    auto put = [&](char c) {
        if (length < capacity) out[length] = c;
        if (length < INT32_MAX) length++;
    };
    if (PlainCode(p, n)) {
        int32_t k = 0;
        for (size_t i = 0; i < n; i++) {
            if (p[i] == '.') continue;
            if (k == 3) put('.');
            put(Upper(p[i]));
            k++;
        }
    } else {
        for (size_t i = 0; i < n; i++) put(Upper(p[i]));
    }
    out[length < capacity ? length : (capacity > 0 ? capacity : 0)] = '\0';
    return length;
}

// Parents come before their children, so a record's descendants are the run after it whose
// parent chains pass through it.
int32_t RecordDescendantCount(const RecordTable *table, int32_t position) {
    if (table == nullptr || position < 0 || (uint32_t)position >= table->recordCount) return 0;
    int32_t count = 0;
    for (uint32_t i = (uint32_t)position + 1; i < table->recordCount; i++) {
        uint32_t p = table->records[i].parent;
        while (p > (uint32_t)position && p < i) p = table->records[p].parent;
        if (p != (uint32_t)position) break;
        count++;
    }
    return count;
}

static bool IsLeaf(const TextRecord *r) { return (r->flags & RECORD_FLAG_LEAF) != 0; }

static int32_t Find(const RecordTable *table, const char *code) {
    int32_t at = FindRecordByCode(table, PAGE_KIND_RECORD, code);
    return at > 0 ? at : -1;
}

// Dotted form of an undotted code of letters and digits.
static void Dotted(const char *undotted, size_t n, char *out) {
    size_t k = 0;
    for (size_t i = 0; i < n; i++) {
        if (i == 3) out[k++] = '.';
        out[k++] = undotted[i];
    }
    out[k] = '\0';
}

// The leaf that needs a 7th character and whose code, padded with X to six characters, is
// padded[0..6): the code itself, else with trailing placeholders taken off. -1 when none.
static int32_t PaddedLeaf(const RecordTable *table, const SeventhCharTable *chars,
                          const char *padded) {
    for (size_t n = 6; n >= 3; n--) {
        char code[CODE_CHECK_CHARS + 1];
        Dotted(padded, n, code);
        int32_t at = Find(table, code);
        if (at >= 0) {
            bool fits = IsLeaf(&table->records[at]) && SeventhCharDefFor(chars, at) != nullptr &&
                        strcmp(RecordField(&table->records[at], FIELD_CODE), code) == 0;
            return fits ? at : -1;
        }
        if (padded[n - 1] != 'X') break;
    }
    return -1;
}

// Chapters and blocks carry a range as their code; a chapter hangs from the root.
CodeKind RecordCodeKind(const RecordTable *table, int32_t position) {
    if (table == nullptr || position <= 0 || (uint32_t)position >= table->recordCount) {
        return CODE_KIND_NONE;
    }
    const TextRecord *r = &table->records[position];
    if (strchr(RecordField(r, FIELD_CODE), '-') != nullptr) {
        return r->parent == 0 ? CODE_KIND_CHAPTER : CODE_KIND_BLOCK;
    }
    return IsLeaf(r) ? CODE_KIND_LEAF : CODE_KIND_HEADER;
}

int32_t CodeCheck(const RecordTable *table, const SeventhCharTable *chars, const char *typed,
                  CodeCheckResult *result) {
    if (table == nullptr || typed == nullptr || result == nullptr) return ERR_NULLPTR;
    memset(result, 0, sizeof *result);
    result->validity = CODE_UNKNOWN;
    result->kind = CODE_KIND_NONE;
    result->record = -1;
    result->seventh = -1;
    int32_t length = CodeNormalise(typed, result->code, CODE_CHECK_CHARS);
    if (length < 3 || length > CODE_CHECK_CHARS) return 0;
    int32_t at = Find(table, result->code);
    if (at >= 0) {
        result->record = at;
        result->def = SeventhCharDefFor(chars, at);
        result->kind = RecordCodeKind(table, at);
        bool billable = result->kind == CODE_KIND_LEAF && result->def == nullptr;
        result->validity = billable ? CODE_BILLABLE : CODE_NOT_BILLABLE;
        return 0;
    }
    // Letters and digits only from here: a complete code, or a padded one without its 7th.
    char undotted[CODE_CHECK_CHARS + 1];
    size_t n = 0;
    for (const char *p = result->code; *p != '\0'; p++) {
        if (*p == '.') continue;
        if (!IsAlnum(*p)) return 0;
        undotted[n++] = *p;
    }
    undotted[n] = '\0';
    if (n == 7) {
        int32_t leaf = PaddedLeaf(table, chars, undotted);
        if (leaf < 0 || !SeventhCharAllowed(chars, table, leaf, undotted[6])) return 0;
        const SeventhCharDef *def = SeventhCharDefFor(chars, leaf);
        for (int32_t k = 0; k < def->charCount; k++) {
            const SeventhChar *c = &chars->chars[def->firstChar + k];
            if (c->character == undotted[6]) {
                result->seventh = k;
                result->meaning = c->meaning;
            }
        }
        result->record = leaf;
        result->def = def;
        result->kind = CODE_KIND_COMPLETE;
        result->validity = CODE_BILLABLE;
    } else if (n == 6 && undotted[5] == 'X') {
        // S00.00X: placeholders in place, only the 7th character missing.
        int32_t leaf = PaddedLeaf(table, chars, undotted);
        if (leaf < 0) return 0;
        result->record = leaf;
        result->def = SeventhCharDefFor(chars, leaf);
        result->kind = CODE_KIND_LEAF;
        result->validity = CODE_NOT_BILLABLE;
    }
    return 0;
}

const char *CodeCheckTitle(const RecordTable *table, const CodeCheckResult *result, char *buffer,
                           int32_t capacity) {
    if (buffer == nullptr || capacity < 0) return "";
    buffer[0] = '\0';
    if (table == nullptr || result == nullptr || result->record < 0 ||
        (uint32_t)result->record >= table->recordCount) {
        return buffer;
    }
    StrCopyBounded(buffer, RecordField(&table->records[result->record], FIELD_TITLE), capacity);
    if (result->kind == CODE_KIND_COMPLETE && result->meaning != nullptr) {
        StrAppendBounded(buffer, ", ", capacity);
        StrAppendBounded(buffer, result->meaning, capacity);
    }
    return buffer;
}

bool CodeComplete(const char *code, char character, char out[10]) {
    char plain[8];
    int32_t n = 0;
    for (const char *p = code; *p != '\0'; p++) {
        if (*p == '.') continue;
        if (n == 6) return false;
        plain[n++] = *p;
    }
    while (n < 6) plain[n++] = 'X';
    plain[6] = character;
    memcpy(out, plain, 3);
    out[3] = '.';
    memcpy(out + 4, plain + 3, 4);
    out[8] = '\0';
    return true;
}

const char *CodeValidityName(CodeValidity validity) {
    switch (validity) {
        case CODE_BILLABLE: return "billable";
        case CODE_NOT_BILLABLE: return "not-billable";
        default: return "unknown";
    }
}
