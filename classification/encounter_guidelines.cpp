// Guideline rules: the table, its references read once as a note's are, and the tests that find
// a rule's conflict in a visit. Only the codes valid in the visit's release take part.
#include "encounter_guidelines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"

static const GuidelineRule kRules[] = {
    {GUIDELINE_FIRST, "V00-Y99", "", "", "I.C.20.a.6",
     "An external cause code can never be a principal (first-listed) diagnosis."},
    {GUIDELINE_FIRST, "R65.2", "", "", "I.C.1.d.3",
     "A code from subcategory R65.2 (severe sepsis) can never be assigned as a principal "
     "diagnosis: the underlying systemic infection is sequenced first."},
    {GUIDELINE_FIRST, "T36-T50 with fifth or sixth character 5", "", "", "I.C.19.e.5(a)",
     "The nature of the adverse effect is sequenced first, followed by the code for the drug "
     "(T36-T50 with fifth or sixth character 5)."},
    {GUIDELINE_FIRST, "Z68", "", "", "I.B.14",
     "BMI codes should only be reported as secondary diagnoses, with the associated diagnosis "
     "(such as overweight or obesity) documented by the provider."},
    {GUIDELINE_SAME_CATEGORY, "", "", "without complications", "I.C.4.a",
     "A code \"without complications\" is not assigned with another code of its category, which "
     "codes a complication: assign as many codes of the category as needed to describe all the "
     "complications."},
    {GUIDELINE_WITH, "I10", "I11-I13", "", "I.C.9.a",
     "Hypertension with heart or kidney involvement is coded with the combination codes I11-I13, "
     "which include it: I10 is not assigned with them."},
    {GUIDELINE_WITH, "G89", "F45.41", "", "I.C.5.a",
     "A code from category G89 should not be assigned with code F45.41 (pain exclusively related "
     "to psychological disorders)."},
    {GUIDELINE_WITH, "Z79.4, Z79.84, Z79.85", "O24.4", "", "I.C.15.i",
     "Codes Z79.4, Z79.84 and Z79.85 should not be assigned with codes from subcategory O24.4 "
     "(gestational diabetes)."},
    {GUIDELINE_WITH, "O24.0-O24.3, O24.8-O24.9", "O24.4", "", "I.C.15.i",
     "No other code from category O24 should be used with a code from O24.4 (gestational "
     "diabetes)."},
    {GUIDELINE_WITH, "O00-O9A", "Z38", "", "I.C.15.a.2",
     "Chapter 15 codes are to be used only on the maternal record, never on the record of the "
     "newborn (Z38)."},
    {GUIDELINE_WITH, "P00-P96", "O00-O9A", "", "I.C.16.a.1",
     "Chapter 16 codes are never for use on the maternal record (chapter 15)."},
    {GUIDELINE_WITH, "Z33.1", "O00-O9A", "", "I.C.15.a.1",
     "Z33.1 (pregnant state, incidental) is used in place of any chapter 15 code."},
    {GUIDELINE_WITHOUT, "Z37", "O00-O9A", "", "I.C.15.b.5",
     "A code from category Z37 (outcome of delivery) belongs on the maternal delivery record, "
     "with the chapter 15 codes of the delivery."},
    {GUIDELINE_WITHOUT, "Z3A", "O00-O9A, Z33.1, Z34, Z36", "", "I.C.21.c.11",
     "Codes of category Z3A (weeks of gestation) give more information about a pregnancy; none "
     "is coded here."},
    {GUIDELINE_WITH, "Z3A", "O00-O08, Z33.2", "", "I.C.21.c.11",
     "Category Z3A codes should not be assigned for pregnancies with abortive outcomes (O00-O08) "
     "or elective termination of pregnancy (Z33.2)."},
    {GUIDELINE_TRIMESTER, "O00-O9A", "Z3A", "", "I.C.15.a.3",
     "The trimester of the code does not match the weeks of gestation: first trimester, less "
     "than 14 weeks; second, 14 weeks to less than 28; third, 28 weeks until delivery."},
    {GUIDELINE_BEFORE, "P07.2-P07.3", "P07.0-P07.1", "", "I.C.16.d",
     "When both birth weight and gestational age are coded, the code for birth weight (P07.0-, "
     "P07.1-) is sequenced before the code for gestational age (P07.2-, P07.3-)."},
    {GUIDELINE_WITH, "O80", "O00-O9A", "", "I.C.15.n.1",
     "O80 (full-term uncomplicated delivery) is not used when any other code from chapter 15 is "
     "needed."},
    {GUIDELINE_NOT_FIRST, "O80", "", "", "I.C.15.n.1",
     "Code O80 is always a principal diagnosis."},
    {GUIDELINE_WITH, "Z37.1-Z37.9", "O80", "", "I.C.15.n.3",
     "Z37.0 (single live birth) is the only outcome of delivery code appropriate for use with "
     "O80."},
    {GUIDELINE_NOT_FIRST, "Z38", "", "", "I.C.16.a.2",
     "A code from category Z38 (liveborn infant) is the principal diagnosis of the birth record."},
    {GUIDELINE_NOT_FIRST, "Z34", "", "", "I.C.21.c.11",
     "Codes in category Z34 (supervision of normal pregnancy) are always first listed."},
    {GUIDELINE_WITH, "Z34", "O00-O9A", "", "I.C.21.c.11",
     "Codes in category Z34 are not to be used with any other code from the OB chapter."},
};

enum : int32_t {
    RULE_COUNT = (int32_t)(sizeof kRules / sizeof kRules[0]),
    RULE_REFS = 4,  // references of one side of a rule
};

const GuidelineRule *EncounterGuidelineRuleAt(int32_t index) {
    return index >= 0 && index < RULE_COUNT ? &kRules[index] : nullptr;
}

int32_t EncounterGuidelineRuleCount(void) { return RULE_COUNT; }

struct Side {
    NoteRef refs[RULE_REFS];
    int32_t count;
};

// "A, B-C with fifth character 5": each reference with the suffix written after it.
static void ReadSide(const char *text, Side *side) {
    side->count = 0;
    for (const char *p = text; *p != '\0' && side->count < RULE_REFS;) {
        NoteRef *ref = &side->refs[side->count];
        int32_t n = NoteRefAt(p, ref);
        if (n == 0) {
            p++;
            continue;
        }
        p += n;
        if (strncmp(p, " with ", 6) == 0) p += 6 + NoteSuffixAt(p + 6, &ref->suffix);
        side->count++;
    }
}

struct RuleSides {
    Side codes[RULE_COUNT];
    Side others[RULE_COUNT];
};

static RuleSides ReadSides(void) {
    RuleSides sides;
    for (int32_t r = 0; r < RULE_COUNT; r++) {
        ReadSide(kRules[r].codes, &sides.codes[r]);
        ReadSide(kRules[r].others, &sides.others[r]);
    }
    return sides;
}

// Read once: the table is constant.
static const RuleSides *Sides(void) {
    static const RuleSides sides = ReadSides();
    return &sides;
}

// The positions of the codes side covers, ascending, into out (room for every code); their count.
// Each reference's run of the codes sorted by key, its suffix tested on each.
static int32_t Covered(const Encounter *e, const Side *side, int32_t *out) {
    int32_t n = 0;
    for (int32_t k = 0; k < side->count; k++) {
        int32_t lo = 0, hi = 0;
        NoteRefCoveredRun(&side->refs[k], e->keys, e->sortedCount, &lo, &hi);
        for (int32_t j = lo; j < hi; j++) {
            if (NoteRefCovers(&side->refs[k], e->codes[e->sorted[j]].key)) out[n++] = e->sorted[j];
        }
    }
    std::sort(out, out + n);
    return (int32_t)(std::unique(out, out + n) - out);
}

static int32_t Add(Encounter *e, int32_t rule, int32_t code, int32_t other) {
    EncounterFinding f = {FINDING_GUIDELINE, code, other, -1, 0, -1, LEVEL_ERROR, 0, rule};
    return EncounterAddFinding(e, &f);
}

// The words are the record's (or the release's revised title's), never a 7th character's.
static bool TitleHas(const Encounter *e, int32_t i, const char *words) {
    const EncounterCode *c = &e->codes[i];
    const char *title = c->title != nullptr
                            ? c->title
                            : RecordField(&e->table->records[c->check.record], FIELD_TITLE);
    return strstr(title, words) != nullptr;
}

// 1, 2 or 3 for a title's trimester, 0 for none.
static int32_t Trimester(const Encounter *e, int32_t i) {
    static const char *const kWords[] = {"first trimester", "second trimester", "third trimester"};
    for (int32_t t = 0; t < 3; t++) {
        if (TitleHas(e, i, kWords[t])) return t + 1;
    }
    return 0;
}

// The trimester a Z3A code's weeks fall in: Z3A.01 is under 8 weeks, Z3A.08 to Z3A.49 the weeks;
// 0 for Z3A.00 (not specified) or another code.
static int32_t WeeksTrimester(const char *key) {
    if (strncmp(key, "Z3A", 3) != 0 || strlen(key) != 5) return 0;
    int32_t weeks = atoi(key + 3);
    if (weeks <= 0) return 0;
    return weeks < 14 ? 1 : weeks < 28 ? 2 : 3;
}

// The codes titled with words, ascending.
static int32_t Titled(const Encounter *e, const char *words, int32_t *out) {
    int32_t n = 0;
    for (int32_t i = 0; i < e->codeCount; i++) {
        if (EncounterTakesPart(e, i) && TitleHas(e, i, words)) out[n++] = i;
    }
    return n;
}

// The other code of a pair for code a among others[0..n), or -1.
static int32_t Partner(const Encounter *e, const GuidelineRule *r, int32_t a, const int32_t *others,
                       int32_t n) {
    switch (r->test) {
        case GUIDELINE_WITH:
            for (int32_t k = 0; k < n && k < 2; k++) {
                if (others[k] != a) return others[k];
            }
            return -1;
        case GUIDELINE_BEFORE: {
            const int32_t *after = std::upper_bound(others, others + n, a);
            return after < others + n ? *after : -1;
        }
        case GUIDELINE_SAME_CATEGORY: {
            // The codes of a category sit together in the order by key.
            NoteRef category = {};
            memcpy(category.first, e->codes[a].key, 3);
            memcpy(category.last, e->codes[a].key, 3);
            int32_t lo = 0, hi = 0;
            NoteRefCoveredRun(&category, e->keys, e->sortedCount, &lo, &hi);
            int32_t best = -1;
            for (int32_t j = lo; j < hi; j++) {
                int32_t b = e->sorted[j];
                if (b != a && (best < 0 || b < best)) best = b;
            }
            return best;
        }
        case GUIDELINE_TRIMESTER: {
            int32_t trimester = Trimester(e, a);
            for (int32_t k = 0; k < n; k++) {
                int32_t weeks = WeeksTrimester(e->codes[others[k]].key);
                if (weeks != 0 && weeks != trimester) return others[k];
            }
            return -1;
        }
        default: return -1;
    }
}

static int32_t Apply(Encounter *e, int32_t rule) {
    const GuidelineRule *r = &kRules[rule];
    int32_t *codes = e->ruleCodes, *others = e->ruleCodes + e->codeCount;
    int32_t n = r->test == GUIDELINE_SAME_CATEGORY ? Titled(e, r->title, codes)
                                                   : Covered(e, &Sides()->codes[rule], codes);
    if (n == 0) return 0;
    int32_t m = Sides()->others[rule].count > 0 ? Covered(e, &Sides()->others[rule], others) : 0;
    for (int32_t k = 0; k < n; k++) {
        int32_t a = codes[k], other = -1;
        switch (r->test) {
            case GUIDELINE_FIRST:
                if (a != 0) continue;
                break;
            case GUIDELINE_NOT_FIRST:
                if (a == 0) continue;
                break;
            case GUIDELINE_WITHOUT:
                if (m > 0) continue;
                break;
            case GUIDELINE_TRIMESTER:
                if (Trimester(e, a) == 0) continue;
                other = Partner(e, r, a, others, m);
                if (other < 0) continue;
                break;
            default:
                other = Partner(e, r, a, others, m);
                if (other < 0) continue;
                break;
        }
        if (Add(e, rule, a, other) < 0) return ERR_ALLOC;
    }
    return 0;
}

int32_t EncounterFindGuidelines(Encounter *e) {
    if (e == nullptr) return ERR_NULLPTR;
    // Both sides' codes, each up to every code.
    if (MemReserve((void **)&e->ruleCodes, &e->ruleCapacity, 2 * (int64_t)e->codeCount, 4, 16) <
        0) {
        return ERR_ALLOC;
    }
    for (int32_t rule = 0; rule < RULE_COUNT; rule++) {
        int32_t status = Apply(e, rule);
        if (status < 0) return status;
    }
    return 0;
}
