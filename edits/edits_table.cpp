// Reading the edits entry: its lines in one pass into a row per list line, then the rows sorted
// by code and merged, one row a code.
#include "edits/edits_table.h"

#include <algorithm>
#include <cstring>

#include "archive/embedded_archive.h"
#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static const char kMagic[] = "morbivue-edits\t1";
static const char *const kMceNames[MCE_EDIT_COUNT] = {
    "age_perinatal", "age_pediatric", "age_maternity", "age_adult", "manifestation_not_pdx",
    "unacceptable_pdx", "unacceptable_pdx_unless_secondary_dx", "questionable_admission"};
static const char *const kListKinds[EDITS_LISTS] = {"drg", "mce", "hcc", "poa"};

static int32_t Fail(EditsTable *t, int32_t line, const char *reason) {
    ErrorPrint("edits entry, line %d: %s", (int)line, reason);
    EditsFree(t);
    return ERR_INVDATA;
}

static int32_t Fields(char *line, char **f, int32_t max) {
    int32_t n = 0;
    f[n++] = line;
    for (char *p = line; *p != '\0'; p++) {
        if (*p != '\t') continue;
        *p = '\0';
        if (n == max) return -1;
        f[n++] = p + 1;
    }
    return n;
}

static bool Int(const char *s, int32_t limit, int32_t *value) {
    int32_t v = 0;
    if (*s == '\0' || strlen(s) > 4) return false;
    for (; *s != '\0'; s++) {
        if (*s < '0' || *s > '9') return false;
        v = v * 10 + (*s - '0');
    }
    *value = v;
    return v <= limit;
}

static bool Code(const char *s, EditsCode *row) {
    size_t n = strlen(s);
    if (n < 3 || n > EDITS_CODE_CHARS) return false;
    memset(row, 0, sizeof *row);
    memcpy(row->code, s, n);
    return true;
}

// One row from a line of the list being read; false when the line is not as written.
static bool ReadRow(int32_t list, char **f, int32_t n, EditsCode *row, EditsTable *t) {
    switch (list) {
        case EDITS_DRG:
            if (n != 3 || strcmp(f[0], "D") != 0 || !Code(f[1], row)) return false;
            row->drg = strcmp(f[2], "MCC") == 0 ? EDITS_DRG_MCC
                       : strcmp(f[2], "CC") == 0 ? EDITS_DRG_CC
                                                  : EDITS_DRG_NONE;
            return row->drg != EDITS_DRG_NONE;
        case EDITS_MCE: {
            int32_t lo = 0, hi = 0;
            if (n != 5 || strcmp(f[0], "M") != 0 || !Code(f[1], row) || !Int(f[3], 124, &lo) ||
                !Int(f[4], 124, &hi) || lo > hi) {
                return false;
            }
            for (int32_t k = 0; k < MCE_EDIT_COUNT; k++) {
                if (strcmp(f[2], kMceNames[k]) == 0) row->mce = (uint16_t)(1u << k);
            }
            row->ageLow = (uint8_t)lo;
            row->ageHigh = (uint8_t)hi;
            return row->mce != 0;
        }
        case EDITS_HCC: {
            int32_t hcc = 0;
            if (n != 3 || strcmp(f[0], "H") != 0 || !Code(f[1], row) || !Int(f[2], 9999, &hcc) ||
                hcc == 0 || EditsHccLabel(t, hcc)[0] == '\0') {
                return false;
            }
            row->hccs[0] = (int16_t)hcc;
            return true;
        }
        case EDITS_POA:
            if (n != 2 || strcmp(f[0], "P") != 0 || !Code(f[1], row)) return false;
            row->poaExempt = 1;
            return true;
        default:
            return false;
    }
}

// Rows of one code merged into the first; false when one list names the code twice.
static bool Merge(EditsCode *into, const EditsCode *row) {
    if ((into->drg && row->drg) || (into->poaExempt && row->poaExempt) || (into->mce & row->mce)) {
        return false;
    }
    if ((row->mce & MCE_AGE_EDITS) && (into->mce & MCE_AGE_EDITS)) return false;
    into->drg |= row->drg;
    into->poaExempt |= row->poaExempt;
    if (row->mce & MCE_AGE_EDITS) {
        into->ageLow = row->ageLow;
        into->ageHigh = row->ageHigh;
    }
    into->mce |= row->mce;
    if (row->hccs[0] != 0) {
        if (into->hccs[1] != 0 || into->hccs[0] == row->hccs[0]) return false;
        int16_t *slot = into->hccs[0] == 0 ? &into->hccs[0] : &into->hccs[1];
        *slot = row->hccs[0];
        if (into->hccs[1] != 0 && into->hccs[1] < into->hccs[0]) std::swap(into->hccs[0], into->hccs[1]);
    }
    return true;
}

int32_t EditsParse(EditsTable *table, const char *bytes, int32_t size) {
    if (table == nullptr || bytes == nullptr) return ERR_NULLPTR;
    if (size < 0) return ERR_INVPARAM;
    EditsTable t = {};
    int32_t lines = 1;
    for (int32_t i = 0; i < size; i++) lines += bytes[i] == '\n';
    t.text = (char *)MemAlloc(size + 1);
    t.codes = (EditsCode *)MemAlloc(lines * (int32_t)sizeof(EditsCode));
    t.labelHccs = (int32_t *)MemAlloc(lines * (int32_t)sizeof(int32_t));
    t.labels = (const char **)MemAlloc(lines * (int32_t)sizeof(char *));
    t.drops = (int32_t(*)[2])MemAlloc(lines * (int32_t)sizeof(int32_t[2]));
    if (!t.text || !t.codes || !t.labelHccs || !t.labels || !t.drops) {
        EditsFree(&t);
        return ERR_ALLOC;
    }
    memcpy(t.text, bytes, (size_t)size);
    t.text[size] = '\0';
    if (memchr(t.text, '\0', (size_t)size) != nullptr) return Fail(&t, 0, "a zero byte");
    int32_t list = -1, rows = 0, line = 0, seen = 0;
    bool ended = false;
    for (char *p = t.text; *p != '\0' && !ended;) {
        char *end = strchr(p, '\n');
        if (end == nullptr) return Fail(&t, line + 1, "a last line without its end");
        *end = '\0';
        line++;
        char *f[6];
        int32_t n = Fields(p, f, 6);
        p = end + 1;
        if (line == 1) {
            if (n != 2 || strcmp(f[0], "morbivue-edits") != 0 || strcmp(f[1], "1") != 0) {
                return Fail(&t, line, "not an edits entry of version 1");
            }
            continue;
        }
        if (n == 4 && strcmp(f[0], "list") == 0) {
            int32_t kind = -1, fy = 0;
            for (int32_t k = 0; k < EDITS_LISTS; k++) {
                if (strcmp(f[1], kListKinds[k]) == 0) kind = k;
            }
            if (kind < 0 || kind != list + 1 || strlen(f[2]) > EDITS_NAME_CHARS ||
                !Int(f[3], 9999, &fy)) {
                return Fail(&t, line, "a list out of order, unknown or misnamed");
            }
            list = kind;
            strcpy(t.lists[kind].name, f[2]);
            t.lists[kind].fiscalYear = fy;
            continue;
        }
        if (n == 2 && strcmp(f[0], "end") == 0) {
            int32_t count = 0;
            const char *q = f[1];
            for (; *q >= '0' && *q <= '9' && count < 100000000; q++) count = count * 10 + (*q - '0');
            if (*q != '\0' || q == f[1] || count != seen || list != EDITS_POA) {
                return Fail(&t, line, "the count does not match");
            }
            ended = true;
            continue;
        }
        seen++;
        if (list == EDITS_HCC && n == 3 && strcmp(f[0], "L") == 0) {
            int32_t hcc = 0;
            if (!Int(f[1], 9999, &hcc) || hcc == 0 ||
                (t.labelCount > 0 && t.labelHccs[t.labelCount - 1] >= hcc)) {
                return Fail(&t, line, "HCC labels must come in ascending order");
            }
            t.labelHccs[t.labelCount] = hcc;
            t.labels[t.labelCount++] = f[2];
            continue;
        }
        if (list == EDITS_HCC && n == 3 && strcmp(f[0], "X") == 0) {
            int32_t a = 0, b = 0;
            if (!Int(f[1], 9999, &a) || !Int(f[2], 9999, &b) || EditsHccLabel(&t, a)[0] == '\0' ||
                EditsHccLabel(&t, b)[0] == '\0') {
                return Fail(&t, line, "a hierarchy row of unlabelled HCCs");
            }
            t.drops[t.dropCount][0] = a;
            t.drops[t.dropCount++][1] = b;
            continue;
        }
        if (!ReadRow(list, f, n, &t.codes[rows], &t)) return Fail(&t, line, "a row not as written");
        rows++;
    }
    if (!ended) return Fail(&t, line, "no end line");
    std::stable_sort(t.codes, t.codes + rows,
                     [](const EditsCode &a, const EditsCode &b) { return strcmp(a.code, b.code) < 0; });
    for (int32_t i = 0; i < rows; i++) {
        if (t.codeCount > 0 && strcmp(t.codes[t.codeCount - 1].code, t.codes[i].code) == 0) {
            if (!Merge(&t.codes[t.codeCount - 1], &t.codes[i])) {
                return Fail(&t, 0, "a code twice on one list");
            }
        } else {
            t.codes[t.codeCount++] = t.codes[i];
        }
    }
    *table = t;
    return 0;
}

int32_t EditsLoad(EditsTable *table) {
    if (table == nullptr) return ERR_NULLPTR;
    int32_t size = 0;
    char *bytes = nullptr;
    int32_t status = PakLoadEmbeddedEntry(EDITS_ENTRY, &size, &bytes);
    if (status < 0) {
        ErrorPrint("failed to load the payers' lists: %.32s", StatusName(status));
        return status;
    }
    status = EditsParse(table, bytes, size);
    MemFree(bytes);
    return status;
}

int32_t EditsFree(EditsTable *table) {
    if (table == nullptr) return ERR_NULLPTR;
    MemFree(table->text);
    MemFree(table->codes);
    MemFree(table->labelHccs);
    MemFree(table->labels);
    MemFree(table->drops);
    memset(table, 0, sizeof *table);
    return 0;
}

const EditsCode *EditsFind(const EditsTable *table, const char *code) {
    if (table == nullptr || code == nullptr || table->codeCount == 0) return nullptr;
    const EditsCode *end = table->codes + table->codeCount;
    const EditsCode *at = std::lower_bound(
        (const EditsCode *)table->codes, end, code, [](const EditsCode &a, const char *b) { return strcmp(a.code, b) < 0; });
    return at != end && strcmp(at->code, code) == 0 ? at : nullptr;
}

int32_t EditsListCovers(const EditsTable *table, EditsListKind list, int32_t sinceFiscalYear) {
    if (table == nullptr || list < 0 || list >= EDITS_LISTS) return 0;
    return sinceFiscalYear <= table->lists[list].fiscalYear ? 1 : 0;
}

const char *EditsHccLabel(const EditsTable *table, int32_t hcc) {
    if (table == nullptr || table->labelCount == 0) return "";
    const int32_t *end = table->labelHccs + table->labelCount;
    const int32_t *at = std::lower_bound((const int32_t *)table->labelHccs, end, hcc);
    return at != end && *at == hcc ? table->labels[at - table->labelHccs] : "";
}

int32_t EditsHccApply(const EditsTable *table, int32_t *hccs, int32_t count) {
    if (table == nullptr || hccs == nullptr || count <= 0) return 0;
    std::sort(hccs, hccs + count);
    count = (int32_t)(std::unique(hccs, hccs + count) - hccs);
    // Every drop is judged against the HCCs given, not those left: a dropped HCC still drops.
    // A dropped one is marked by its sign until all are judged.
    for (int32_t i = 0; i < count; i++) {
        for (int32_t d = 0; d < table->dropCount; d++) {
            if (table->drops[d][1] != hccs[i]) continue;
            for (int32_t j = 0; j < count; j++) {
                if (j != i && (hccs[j] < 0 ? -hccs[j] : hccs[j]) == table->drops[d][0]) {
                    hccs[i] = -hccs[i];
                    d = table->dropCount;
                    break;
                }
            }
        }
    }
    int32_t kept = 0;
    for (int32_t i = 0; i < count; i++) {
        if (hccs[i] > 0) hccs[kept++] = hccs[i];
    }
    return kept;
}

int32_t EditsMccOnlyAlive(const char *code) {
    static const char *const kAlive[] = {"I46.2", "I46.8", "I46.9"};
    for (const char *c : kAlive) {
        if (code != nullptr && strcmp(code, c) == 0) return 1;
    }
    return 0;
}
