// 7th characters: parsing the converter's entry into definitions and exclusion rules, and which
// definition is in effect for each record (its own, else its nearest ancestor's).
#include "seventh_chars.h"

#include <cstring>

#include "archive/embedded_archive.h"
#include "code_refs.h"
#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "page_ref.h"

// Cuts the line at p (ending at the next '\n' or the zero byte) into tab-separated fields;
// stores up to max field starts and returns the field count. *next gets the next line's start.
static int32_t SplitLine(char *p, char **fields, int32_t max, char **next) {
    char *end = p;
    while (*end != '\0' && *end != '\n') end++;
    *next = *end == '\n' ? end + 1 : end;
    *end = '\0';
    if (end > p && end[-1] == '\r') end[-1] = '\0';
    int32_t count = 0;
    for (char *q = p;;) {
        if (count < max) fields[count] = q;
        count++;
        char *tab = strchr(q, '\t');
        if (tab == nullptr) break;
        *tab = '\0';
        q = tab + 1;
    }
    return count;
}

static bool IsCodeChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

static int32_t Fail(int32_t line, const char *what) {
    ErrorPrint("7th-character entry, line %d: %.64s", (int)line, what);
    return ERR_INVDATA;
}

int32_t SeventhCharFree(SeventhCharTable *chars) {
    if (chars == nullptr) return ERR_NULLPTR;
    MemFree(chars->text);
    MemFree(chars->defs);
    MemFree(chars->chars);
    MemFree(chars->exclusions);
    MemFree(chars->inEffect);
    memset(chars, 0, sizeof *chars);
    return 0;
}

// Counts the lines of each kind so that every array is allocated once, at its size.
static void CountLines(const char *text, int32_t *defs, int32_t *characters, int32_t *rules) {
    *defs = *characters = *rules = 0;
    for (const char *p = text; *p != '\0';) {
        const char *end = strchr(p, '\n');
        if (end == nullptr) end = p + strlen(p);
        if (p[0] == 'D') {
            (*defs)++;
            for (const char *q = p; q < end; q++) *characters += *q == '\t';
        } else if (p[0] == 'X') {
            (*rules)++;
        }
        p = *end == '\n' ? end + 1 : end;
    }
}

static int32_t ParseLines(SeventhCharTable *t, const RecordTable *table) {
    char *fields[2 * MAX_SEVENTH_CHARS + 3];
    const int32_t maxFields = (int32_t)(sizeof fields / sizeof *fields);
    int32_t line = 0;
    for (char *p = t->text; *p != '\0';) {
        line++;
        char *next = nullptr;
        int32_t n = SplitLine(p, fields, maxFields, &next);
        p = next;
        if (n == 1 && fields[0][0] == '\0') continue;  // an empty line, such as a last CR LF
        const char *kind = fields[0];
        if (n < 2 || kind[1] != '\0' || (kind[0] != 'D' && kind[0] != 'X')) {
            return Fail(line, "not a definition (D) or exclusion (X) line");
        }
        int32_t record = FindRecordByCode(table, PAGE_KIND_RECORD, fields[1]);
        if (record < 0) return Fail(line, "its code names no record");
        if (kind[0] == 'X') {
            if (n != 4 || fields[2][0] == '\0' || fields[3][0] == '\0') {
                return Fail(line, "an exclusion needs a code, 6th and 7th characters");
            }
            SeventhCharExclusion *x = &t->exclusions[t->exclusionCount++];
            x->prefix = fields[1];
            x->sixth = fields[2];
            x->excluded = fields[3];
            continue;
        }
        int32_t count = (n - 2) / 2;
        if ((n - 2) % 2 != 0 || count < 1 || n > maxFields) {
            return Fail(line, "a definition needs pairs of character and meaning");
        }
        SeventhCharDef *def = &t->defs[t->defCount];
        if (t->defCount > 0 && def[-1].record >= record) {
            return Fail(line, "definitions out of record order or repeated");
        }
        def->record = record;
        def->charCount = count;
        def->firstChar = t->charCount;
        for (int32_t k = 0; k < count; k++) {
            const char *c = fields[2 + 2 * k];
            const char *meaning = fields[3 + 2 * k];
            if (c[1] != '\0' || !IsCodeChar(c[0]) || meaning[0] == '\0') {
                return Fail(line, "a 7th character is one letter or digit with a meaning");
            }
            for (int32_t j = 0; j < k; j++) {
                if (t->chars[def->firstChar + j].character == c[0]) {
                    return Fail(line, "a 7th character defined twice");
                }
            }
            t->chars[t->charCount].character = c[0];
            t->chars[t->charCount].meaning = meaning;
            t->charCount++;
        }
        t->defCount++;
    }
    return 0;
}

// Parents come before their children in the table, so one pass in order settles every record.
static void FillInEffect(SeventhCharTable *t, const RecordTable *table) {
    int32_t d = 0;
    for (int32_t i = 0; i < t->recordCount; i++) {
        uint32_t parent = table->records[i].parent;
        t->inEffect[i] = parent < (uint32_t)i ? t->inEffect[parent] : -1;
        if (d < t->defCount && t->defs[d].record == i) t->inEffect[i] = d++;
    }
}

void SeventhCharFollow(SeventhCharTable *chars, const RecordTable *table, const int32_t *moved,
                       int32_t *effect) {
    for (int32_t d = 0; d < chars->defCount; d++) chars->defs[d].record = moved[chars->defs[d].record];
    MemFree(chars->inEffect);
    chars->inEffect = effect;
    chars->recordCount = (int32_t)table->recordCount;
    FillInEffect(chars, table);
}

int32_t SeventhCharParse(SeventhCharTable *chars, const RecordTable *table, const char *bytes,
                         int32_t size) {
    if (chars == nullptr || table == nullptr || bytes == nullptr) return ERR_NULLPTR;
    if (size < 0) return ERR_INVPARAM;
    SeventhCharTable t = {};
    t.text = (char *)MemAlloc(size + 1);
    if (t.text == nullptr) return ERR_ALLOC;
    memcpy(t.text, bytes, (size_t)size);
    if (memchr(t.text, '\0', (size_t)size) != nullptr) {
        MemFree(t.text);
        return Fail(0, "a zero byte inside the text");
    }
    int32_t defs = 0, characters = 0, rules = 0;
    CountLines(t.text, &defs, &characters, &rules);
    t.recordCount = (int32_t)table->recordCount;
    // One more of each, so that an empty entry still allocates and a null means failure.
    t.defs = (SeventhCharDef *)MemAlloc((defs + 1) * (int32_t)sizeof(SeventhCharDef));
    t.chars = (SeventhChar *)MemAlloc((characters + 1) * (int32_t)sizeof(SeventhChar));
    t.exclusions =
        (SeventhCharExclusion *)MemAlloc((rules + 1) * (int32_t)sizeof(SeventhCharExclusion));
    t.inEffect = (int32_t *)MemAlloc((t.recordCount + 1) * (int32_t)sizeof(int32_t));
    int32_t status = ERR_ALLOC;
    if (t.defs != nullptr && t.chars != nullptr && t.exclusions != nullptr &&
        t.inEffect != nullptr) {
        status = ParseLines(&t, table);
    }
    if (status < 0) {
        SeventhCharFree(&t);
        return status;
    }
    FillInEffect(&t, table);
    *chars = t;
    return 0;
}

int32_t SeventhCharLoad(SeventhCharTable *chars, const RecordTable *table) {
    if (chars == nullptr || table == nullptr) return ERR_NULLPTR;
    int32_t size = 0;
    char *bytes = nullptr;
    int32_t status = PakLoadEmbeddedEntry(SEVENTH_CHARS_ENTRY, &size, &bytes);
    if (status < 0) {
        ErrorPrint("failed to load the 7th characters: %.32s", StatusName(status));
        return status;
    }
    status = SeventhCharParse(chars, table, bytes, size);
    MemFree(bytes);
    return status;
}

const SeventhCharDef *SeventhCharDefFor(const SeventhCharTable *chars, int32_t position) {
    if (chars == nullptr || chars->inEffect == nullptr || position < 0 ||
        position >= chars->recordCount) {
        return nullptr;
    }
    int32_t d = chars->inEffect[position];
    return d < 0 ? nullptr : &chars->defs[d];
}

// The record's code without its dot, padded with X to six characters; "" when it does not fit.
static void PaddedCode(const char *code, char out[8]) {
    int32_t n = 0;
    for (const char *p = code; *p != '\0'; p++) {
        if (*p == '.') continue;
        if (n == 6) {
            out[0] = '\0';
            return;
        }
        out[n++] = *p;
    }
    while (n < 6) out[n++] = 'X';
    out[n] = '\0';
}

static bool StartsWithUndotted(const char *padded, const char *prefix) {
    int32_t n = 0;
    for (const char *p = prefix; *p != '\0'; p++) {
        if (*p == '.') continue;
        if (padded[n] != *p) return false;
        n++;
    }
    return true;
}

int32_t SeventhCharAllowed(const SeventhCharTable *chars, const RecordTable *table,
                           int32_t position, char character) {
    const SeventhCharDef *def = SeventhCharDefFor(chars, position);
    if (def == nullptr || table == nullptr || (uint32_t)position >= table->recordCount) return 0;
    bool defined = false;
    for (int32_t k = 0; k < def->charCount; k++) {
        defined = defined || chars->chars[def->firstChar + k].character == character;
    }
    if (!defined) return 0;
    char padded[8];
    PaddedCode(RecordField(&table->records[position], FIELD_CODE), padded);
    for (int32_t i = 0; i < chars->exclusionCount && padded[0] != '\0'; i++) {
        const SeventhCharExclusion *x = &chars->exclusions[i];
        if (StartsWithUndotted(padded, x->prefix) && strchr(x->sixth, padded[5]) != nullptr &&
            strchr(x->excluded, character) != nullptr) {
            return 0;
        }
    }
    return 1;
}
