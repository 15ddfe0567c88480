// Where an index entry's references lead: codes shortened until a record holds them, see
// references matched title by title from the main term down.
#include "index/index_refs.h"

#include <cstring>

#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "foundation/status.h"

enum : size_t { CODE_CHARS = 15 };  // longer text is no code

static bool IsAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
static char Fold(char c) { return (c >= 'a' && c <= 'z') ? (char)(c - 32) : c; }

int32_t IndexTextIsCode(const char *text) {
    return text && IsAlpha(text[0]) && IsDigit(text[1]) &&
           (IsAlpha(text[2]) || IsDigit(text[2]));
}

int32_t IndexCodeRecord(const RecordTable *table, const char *code) {
    if (!table || !code) return ERR_NULLPTR;
    if (!IndexTextIsCode(code)) return ERR_NOTFOUND;
    char buffer[CODE_CHARS + 1];
    size_t n = strlen(code);
    if (n > CODE_CHARS) return ERR_NOTFOUND;
    memcpy(buffer, code, n + 1);
    for (; n >= 3; buffer[--n] = '\0') {
        if (!IsAlpha(buffer[n - 1]) && !IsDigit(buffer[n - 1])) continue;
        int32_t r = FindRecordByCode(table, PAGE_KIND_RECORD, buffer);
        if (r >= 0) return r;
    }
    return ERR_NOTFOUND;
}

static char FoldDash(char c) { return c == '-' ? ' ' : Fold(c); }

// Length of reference consumed by the first n bytes of a title: all of them, case ignored and a
// hyphen taken for a blank ("Light for dates" names "Light-for-dates"), followed by the end of
// the reference or a comma, or by a plural "s" or "(s)" there ("Complications" and
// "Complication(s)" name "Complication");
// 0 otherwise.
static size_t ConsumedBy(const char *title, size_t n, const char *reference) {
    if (n == 0) return 0;
    for (size_t i = 0; i < n; i++)
        if (reference[i] == '\0' || FoldDash(title[i]) != FoldDash(reference[i])) return 0;
    if (reference[n] == '\0' || reference[n] == ',') return n;
    const size_t plural = reference[n] == 's' ? 1 : strncmp(reference + n, "(s)", 3) == 0 ? 3 : 0;
    if (plural && (reference[n + plural] == '\0' || reference[n + plural] == ',')) return n + plural;
    return 0;
}

// The same for a title without a closing " NEC" or " NOS", which references leave out.
static size_t ConsumedByBare(const char *title, size_t n, const char *reference) {
    size_t best = ConsumedBy(title, n, reference);
    if (n > 4 && (memcmp(title + n - 4, " NEC", 4) == 0 || memcmp(title + n - 4, " NOS", 4) == 0)) {
        const size_t bare = ConsumedBy(title, n - 4, reference);
        if (bare > best) best = bare;
    }
    return best;
}

// How much of reference a title names: the whole title; else, as references write them, any of
// its comma-separated forms ("Neoplasm" or "neoplastic" for "Neoplasm, neoplastic";
// "abnormality" for "Abnormal, abnormality, abnormalities"), each also without a closing " NEC"
// or " NOS". The longest wins; 0 when none does.
static size_t Consumed(const char *title, const char *reference) {
    size_t best = ConsumedByBare(title, strlen(title), reference);
    if (best) return best;
    for (const char *part = title; *part;) {
        while (*part == ' ') part++;
        const char *comma = strchr(part, ',');
        size_t n = comma ? (size_t)(comma - part) : strlen(part);
        while (n > 0 && part[n - 1] == ' ') n--;  // "Membrane , membranous" without its modifier
        const size_t got = ConsumedByBare(part, n, reference);
        if (got > best) best = got;
        if (!comma) break;
        part = comma + 1;
    }
    return best;
}

// Among the siblings from first on, the entry the reference names as far as it goes, or -1.
static int32_t Descend(const IndexFile *f, int32_t first, const char *reference) {
    int32_t best = -1;
    size_t bestLength = 0;
    for (int32_t e = first; e >= 0; e = f->entries[e].nextSibling) {
        size_t n = Consumed(f->entries[e].essential, reference);
        if (n > bestLength) {
            best = e;
            bestLength = n;
        }
    }
    if (best < 0) return -1;
    const char *rest = reference + bestLength;
    while (*rest == ',' || *rest == ' ') rest++;
    if (*rest == '\0' || f->entries[best].firstChild < 0) return best;
    int32_t deeper = Descend(f, f->entries[best].firstChild, rest);
    return deeper >= 0 ? deeper : best;
}

int32_t IndexSeeTarget(const IndexSet *set, uint16_t kind, const char *reference) {
    if (!set || !reference) return ERR_NULLPTR;
    while (*reference == ' ') reference++;
    if (!*reference) return -1;
    // "Table of Drugs and Chemicals, lead" names an entry of another book by the book's title.
    for (uint16_t k = 0; k < INDEX_KIND_COUNT; k++) {
        const char *book = IndexBookTitle(k);
        const size_t n = ConsumedBy(book, strlen(book), reference);
        if (n == 0 || reference[n] != ',') continue;
        const char *rest = reference + n;
        while (*rest == ',' || *rest == ' ') rest++;
        const int32_t e = set->files[k].entryCount > 0 ? Descend(&set->files[k], 0, rest) : -1;
        return e >= 0 ? IndexSetNumber(set, k, e) : -1;
    }
    for (int32_t pass = 0; pass <= INDEX_KIND_COUNT; pass++) {
        // The own index first, then all in book order (the own one again is harmless).
        const uint16_t k = pass == 0 ? kind : (uint16_t)(pass - 1);
        if (k >= INDEX_KIND_COUNT || set->files[k].entryCount == 0) continue;
        int32_t e = Descend(&set->files[k], 0, reference);
        if (e >= 0) return IndexSetNumber(set, k, e);
    }
    return -1;
}
