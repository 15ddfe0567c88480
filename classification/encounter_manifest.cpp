// Manifestation codes of an encounter: by the classification's titles ("in diseases classified
// elsewhere") up to the category, or by a list the caller hands in, so that a manifestation is
// one however it is marked.
#include <cstring>

#include "encounter.h"
#include "foundation/mem.h"
#include "foundation/status.h"

int32_t EncounterSetManifestations(Encounter *e, EncounterManifestationList list,
                                   const void *context, const char *name) {
    if (e == nullptr) return ERR_NULLPTR;
    e->manifestations = list;
    e->manifestationContext = context;
    e->manifestationListName = name;
    if (e->manifestationOf != nullptr) memset(e->manifestationOf, 0, e->table->recordCount);
    return 0;
}

static bool ContainsNoCase(const char *text, const char *phrase) {
    size_t n = strlen(phrase);
    for (const char *p = text; *p != '\0'; p++) {
        size_t k = 0;
        while (k < n && p[k] != '\0' &&
               (p[k] == phrase[k] || (p[k] >= 'A' && p[k] <= 'Z' && p[k] + 32 == phrase[k]))) {
            k++;
        }
        if (k == n) return true;
    }
    return false;
}

static bool IsManifestationTitle(const char *title) {
    // Every phrase ends so; most titles fail this one quick look.
    if (strstr(title, "lassified elsewhere") == nullptr &&
        strstr(title, "LASSIFIED ELSEWHERE") == nullptr) {
        return false;
    }
    return ContainsNoCase(title, "in diseases classified elsewhere") ||
           ContainsNoCase(title, "in other diseases classified elsewhere") ||
           ContainsNoCase(title, "as the cause of diseases classified elsewhere");
}

int32_t EncounterManifestationRecord(const Encounter *e, int32_t i) {
    if (e == nullptr || i < 0 || i >= e->codeCount) return 0;
    for (int32_t p = e->codes[i].check.record; p > 0; p = EncounterParent(e, p)) {
        CodeKind kind = RecordCodeKind(e->table, p);
        if (kind != CODE_KIND_LEAF && kind != CODE_KIND_HEADER) break;
        if (IsManifestationTitle(RecordField(&e->table->records[p], FIELD_TITLE))) return p;
    }
    return 0;
}

static bool ByList(const Encounter *e, const char *key) {
    return e->manifestations != nullptr && e->manifestations(e->manifestationContext, key) != 0;
}

// Known per record once asked: a visit's codes repeat across a day's visits.
static bool Manifestation(Encounter *e, int32_t i) {
    const EncounterCode *c = &e->codes[i];
    int32_t record = c->check.record;
    if (e->manifestationOf == nullptr) {
        e->manifestationOf = (uint8_t *)MemAlloc((int32_t)e->table->recordCount + 1);
        if (e->manifestationOf != nullptr) memset(e->manifestationOf, 0, e->table->recordCount);
    }
    uint8_t known = e->manifestationOf != nullptr ? e->manifestationOf[record] : 0;
    if (known == 0) {
        char key[CODE_CHECK_CHARS + 1];
        int32_t k = 0;
        for (const char *p = RecordField(&e->table->records[record], FIELD_CODE);
             *p != '\0' && k < CODE_CHECK_CHARS; p++) {
            if (*p != '.') key[k++] = *p;
        }
        key[k] = '\0';
        known = EncounterManifestationRecord(e, i) > 0 ? 2 : ByList(e, key) ? 3 : 1;
        if (e->manifestationOf != nullptr) e->manifestationOf[record] = known;
    }
    // The list names complete codes: one with a 7th character is asked itself.
    if (known == 1 && c->check.seventh >= 0) return ByList(e, c->key);
    return known != 1;
}

int32_t EncounterIsManifestation(Encounter *e, int32_t i) {
    if (e == nullptr || i < 0 || i >= e->codeCount) return 0;
    EncounterCode *c = &e->codes[i];
    if (c->manifestation < 0) c->manifestation = c->check.record > 0 && Manifestation(e, i);
    return c->manifestation;
}
