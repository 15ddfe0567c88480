// Making the records' own table into a later release's: new records merged into the tree in code
// order, deleted ones flagged, titles revised. The new table, its code index included, is made
// beside the old one, so a failure leaves the table as it was.
#include <algorithm>
#include <cstring>

#include "code_refs.h"
#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "page_ref.h"
#include "releases.h"

namespace {

const int32_t kNone = -1;

struct Plan {
    int32_t oldCount;     // records of the table
    int32_t addCount;     // records to add
    const char **added;   // their codes, sorted; into the releases' codes
    const char **titles;  // their titles
    int32_t *parent;      // per node (old records, then added): parent node, kNone for the root
    int32_t *firstChild;  // per node
    int32_t *nextSibling; // per node
    int32_t *lastChild;   // per node, while the old records are linked
    int32_t *newIndex;    // per node: its position in the new table
    uint8_t *changed;     // per old record: 1 when a child was added or deleted below it
    char **texts;         // per node: a new text (added or revised), else null
};

void PlanFree(Plan *p, bool freeTexts) {
    if (freeTexts && p->texts != nullptr) {
        for (int32_t i = 0; i < p->oldCount + p->addCount; i++) MemFree(p->texts[i]);
    }
    MemFree(p->added);
    MemFree(p->titles);
    MemFree(p->parent);
    MemFree(p->firstChild);
    MemFree(p->nextSibling);
    MemFree(p->lastChild);
    MemFree(p->newIndex);
    MemFree(p->changed);
    MemFree(p->texts);
    memset(p, 0, sizeof *p);
}

int32_t FindCode(const RecordTable *table, const char *code) {
    int32_t at = FindRecordByCode(table, PAGE_KIND_RECORD, code);
    return at > 0 && strcmp(RecordField(&table->records[at], FIELD_CODE), code) == 0 ? at : kNone;
}

// A 7-character code is a complete code when the nearest record above its stem takes 7th
// characters; otherwise (C44.1021) it is a record of its own.
bool IsComplete(const RecordTable *table, const SeventhCharTable *chars, const char *code) {
    char plain[16];
    size_t n = 0;
    for (const char *p = code; *p != '\0' && n < sizeof plain - 1; p++) {
        if (*p != '.') plain[n++] = *p;
    }
    if (n != 7) return false;
    for (size_t len = 6; len >= 3; len--) {
        char stem[16];
        size_t k = 0;
        for (size_t i = 0; i < len; i++) {
            if (i == 3) stem[k++] = '.';
            stem[k++] = plain[i];
        }
        stem[k] = '\0';
        int32_t at = FindCode(table, stem);
        if (at != kNone) return SeventhCharDefFor(chars, at) != nullptr;
    }
    return false;
}

bool InRange(const char *code, const char *range) {
    return strncmp(code, range, 3) >= 0 && strncmp(code, range + 4, 3) <= 0;
}

// The block a new category goes in: the deepest whose range holds it, else the last block of its
// chapter that begins before it with the same two characters (I1A after I10-I16), else the
// chapter itself: the one whose range holds it, or the last of its letter before it (QA0 after
// Q00-Q99).
int32_t BlockFor(const RecordTable *table, const char *code) {
    int32_t chapter = kNone, holding = kNone, before = kNone;
    for (uint32_t i = 1; i < table->recordCount; i++) {
        const TextRecord *r = &table->records[i];
        const char *range = RecordField(r, FIELD_CODE);
        if (strlen(range) != 7 || range[3] != '-') continue;
        if (r->parent == 0) {
            if (chapter != kNone && InRange(code, RecordField(&table->records[chapter], FIELD_CODE)))
                continue;
            if (InRange(code, range) || (range[0] == code[0] && strncmp(range, code, 3) <= 0))
                chapter = (int32_t)i;
            continue;
        }
        if (chapter == kNone || r->parent != (uint32_t)chapter) continue;
        if (InRange(code, range)) holding = (int32_t)i;
        if (strncmp(range, code, 2) == 0 && strncmp(range, code, 3) <= 0) before = (int32_t)i;
    }
    return holding != kNone ? holding : before != kNone ? before : chapter;
}

// The node a new code hangs from: the record or added code with the longest prefix of it.
int32_t ParentNode(const RecordTable *table, const Plan *p, int32_t count, const char *code) {
    char prefix[CHANGE_CODE_CHARS + 1];
    size_t n = strlen(code);
    if (n >= sizeof prefix) return kNone;
    memcpy(prefix, code, n + 1);
    while (n > 3) {
        prefix[--n] = '\0';
        if (prefix[n - 1] == '.') prefix[--n] = '\0';
        const char **end = p->added + count;
        const char **hit = std::lower_bound(p->added, end, (const char *)prefix,
                                           [](const char *a, const char *b) {
                                               return strcmp(a, b) < 0;
                                           });
        if (hit != end && strcmp(*hit, prefix) == 0) return p->oldCount + (int32_t)(hit - p->added);
        int32_t at = FindCode(table, prefix);
        if (at != kNone) return at;
    }
    return BlockFor(table, code);
}

// A record's text with its title replaced (or a new record's: code and title only), in the
// loaded form: fields cut by zero bytes, two zero bytes after the last.
char *MakeText(const TextRecord *old, const char *code, const char *title) {
    size_t size = 2;
    for (uint32_t f = 0; f < MAX_RECORD_FIELDS; f++) {
        if (old != nullptr && old->fieldOffsets[f] < 0) continue;
        if (old == nullptr && f > FIELD_TITLE) break;
        const char *v = f == FIELD_TITLE ? title : old != nullptr ? RecordField(old, f) : code;
        size += strlen(v) + 1;
    }
    char *text = (char *)MemAlloc((int32_t)size);
    if (text == nullptr) return nullptr;
    size_t at = 0;
    for (uint32_t f = 0; f < MAX_RECORD_FIELDS; f++) {
        if (old != nullptr && old->fieldOffsets[f] < 0) continue;
        if (old == nullptr && f > FIELD_TITLE) break;
        const char *v = f == FIELD_TITLE ? title : old != nullptr ? RecordField(old, f) : code;
        size_t n = strlen(v);
        memcpy(text + at, v, n + 1);
        at += n + 1;
    }
    text[at] = text[at + 1] = '\0';
    return text;
}

void SetOffsets(TextRecord *r, const TextRecord *old) {
    int32_t at = 0;
    for (uint32_t f = 0; f < MAX_RECORD_FIELDS; f++) {
        bool present = old != nullptr ? old->fieldOffsets[f] >= 0 : f <= FIELD_TITLE;
        r->fieldOffsets[f] = present ? at : -1;
        if (present) at += (int32_t)strlen(r->text + at) + 1;
    }
}

int32_t *Ints(int32_t count) {
    int32_t *a = (int32_t *)MemAlloc((int32_t)sizeof(int32_t) * (count > 0 ? count : 1));
    if (a != nullptr) {
        for (int32_t i = 0; i < count; i++) a[i] = kNone;
    }
    return a;
}

int32_t Prepare(const Releases *rel, int32_t release, const RecordTable *table,
                const SeventhCharTable *chars, Plan *p) {
    int32_t n = (int32_t)table->recordCount;
    p->oldCount = n;
    for (uint32_t i = 1; i < table->recordCount; i++) {
        // A table that is no tree in table order is left alone.
        if (table->records[i].parent >= i) return ERR_INVDATA;
    }
    p->added = (const char **)MemAlloc((int32_t)sizeof(char *) * (rel->codeCount + 1));
    p->titles = (const char **)MemAlloc((int32_t)sizeof(char *) * (rel->codeCount + 1));
    if (p->added == nullptr || p->titles == nullptr) return ERR_ALLOC;
    for (int32_t k = 0; k < rel->codeCount; k++) {
        const ReleaseCodeState *s = &rel->states[(int64_t)k * rel->count + release];
        if (!s->present || FindCode(table, rel->codes[k]) != kNone ||
            IsComplete(table, chars, rel->codes[k])) {
            continue;
        }
        p->titles[p->addCount] = s->title;
        p->added[p->addCount++] = rel->codes[k];
    }
    int32_t nodes = n + p->addCount;
    p->parent = Ints(nodes);
    p->firstChild = Ints(nodes);
    p->nextSibling = Ints(nodes);
    p->lastChild = Ints(nodes);
    p->newIndex = Ints(nodes);
    p->changed = (uint8_t *)MemAlloc(n > 0 ? n : 1);
    p->texts = (char **)MemAlloc((int32_t)sizeof(char *) * (nodes > 0 ? nodes : 1));
    if (!p->parent || !p->firstChild || !p->nextSibling || !p->lastChild || !p->newIndex ||
        !p->changed || !p->texts) {
        return ERR_ALLOC;
    }
    memset(p->changed, 0, (size_t)(n > 0 ? n : 1));
    memset(p->texts, 0, sizeof(char *) * (size_t)(nodes > 0 ? nodes : 1));
    for (int32_t i = 1; i < n; i++) {
        int32_t up = (int32_t)table->records[i].parent;
        p->parent[i] = up;
        if (p->lastChild[up] == kNone) {
            p->firstChild[up] = i;
        } else {
            p->nextSibling[p->lastChild[up]] = i;
        }
        p->lastChild[up] = i;
    }
    return 0;
}

// Links the added codes in under their parents, each before the first sibling with a greater code.
void LinkAdded(const RecordTable *table, Plan *p) {
    for (int32_t j = 0; j < p->addCount; j++) {
        int32_t node = p->oldCount + j;
        int32_t up = ParentNode(table, p, j, p->added[j]);
        if (up == kNone) {
            ErrorPrint("release: no parent for the added code %.15s, left out", p->added[j]);
            continue;
        }
        p->parent[node] = up;
        if (up < p->oldCount) p->changed[up] = 1;
        int32_t *link = &p->firstChild[up];
        while (*link != kNone) {
            const char *code = *link < p->oldCount
                                   ? RecordField(&table->records[*link], FIELD_CODE)
                                   : p->added[*link - p->oldCount];
            if (strcmp(code, p->added[j]) > 0) break;
            link = &p->nextSibling[*link];
        }
        p->nextSibling[node] = *link;
        *link = node;
    }
}

// New positions in preorder from the root; the nodes left out stay unnumbered.
int32_t Number(Plan *p) {
    int32_t next = 0;
    int32_t node = 0;
    while (node != kNone) {
        p->newIndex[node] = next++;
        if (p->firstChild[node] != kNone) {
            node = p->firstChild[node];
            continue;
        }
        while (node != kNone && p->nextSibling[node] == kNone) node = p->parent[node];
        if (node != kNone) node = p->nextSibling[node];
    }
    return next;
}

int32_t MakeTexts(const Releases *rel, int32_t release, const RecordTable *table, Plan *p) {
    for (int32_t j = 0; j < p->addCount; j++) {
        if (p->parent[p->oldCount + j] == kNone) continue;
        p->texts[p->oldCount + j] = MakeText(nullptr, p->added[j], p->titles[j]);
        if (p->texts[p->oldCount + j] == nullptr) return ERR_ALLOC;
    }
    for (int32_t i = 1; i < p->oldCount; i++) {
        const TextRecord *r = &table->records[i];
        const ReleaseCodeState *row = ReleasesCodeStates(rel, RecordField(r, FIELD_CODE));
        if (row == nullptr || r->text == nullptr) continue;
        const ReleaseCodeState *s = &row[release];
        if (!s->present) {
            if (p->parent[i] != kNone && p->parent[i] < p->oldCount) p->changed[p->parent[i]] = 1;
        } else if (strcmp(s->title, row[0].title) != 0 &&
                   strcmp(s->title, RecordField(r, FIELD_TITLE)) != 0) {
            // Only a title the releases revised: the changes spell accented letters without
            // their accents (Waldenstrom), the records with them.
            p->texts[i] = MakeText(r, nullptr, s->title);
            if (p->texts[i] == nullptr) return ERR_ALLOC;
        }
    }
    return 0;
}

bool Deleted(const Releases *rel, int32_t release, const TextRecord *r) {
    const ReleaseCodeState *row = ReleasesCodeStates(rel, RecordField(r, FIELD_CODE));
    return row != nullptr && !row[release].present;
}

}  // namespace

int32_t ReleasesApply(const Releases *releases, int32_t release, RecordTable *table,
                      SeventhCharTable *chars) {
    if (releases == nullptr || table == nullptr || table->records == nullptr) return ERR_NULLPTR;
    if (release < 0 || release >= releases->count) return ERR_INVPARAM;
    if (table->recordCount == 0) return ERR_INVPARAM;
    Plan p = {};
    int32_t status = Prepare(releases, release, table, chars, &p);
    if (status >= 0) {
        LinkAdded(table, &p);
        status = MakeTexts(releases, release, table, &p);
    }
    int32_t total = status >= 0 ? Number(&p) : 0;
    TextRecord *records = nullptr;
    if (status >= 0) {
        int32_t capacity = (total + RECORD_GROWTH - 1) / RECORD_GROWTH * RECORD_GROWTH;
        records = (TextRecord *)MemAlloc((int32_t)((int64_t)sizeof(TextRecord) * capacity));
        if (records == nullptr) status = ERR_ALLOC;
    }
    if (status < 0) {
        PlanFree(&p, true);
        return status;
    }
    // The new array takes copies of the old records; the old table stays whole until the new
    // one has its code index, the last thing that can fail.
    for (int32_t node = 0; node < p.oldCount + p.addCount; node++) {
        int32_t at = p.newIndex[node];
        if (at == kNone) continue;
        TextRecord *r = &records[at];
        if (node < p.oldCount) {
            *r = table->records[node];
            if (p.texts[node] != nullptr) {
                r->text = p.texts[node];
                SetOffsets(r, &table->records[node]);
            }
            if (node > 0 && Deleted(releases, release, r)) {
                r->flags |= RECORD_FLAG_DELETED;
            } else {
                r->flags &= (uint16_t)~RECORD_FLAG_DELETED;
            }
        } else {
            memset(r, 0, sizeof *r);
            r->marker = RECORD_MARKER;
            r->text = p.texts[node];
            SetOffsets(r, nullptr);
        }
        r->index = (uint32_t)at;
        r->parent = node == 0 ? table->records[0].parent : (uint32_t)p.newIndex[p.parent[node]];
        if (node >= p.oldCount) r->level = (uint8_t)(records[r->parent].level + 1);
    }
    // Leaf flags follow the records below, where a release added or deleted one of them.
    for (int32_t node = 0; node < p.oldCount + p.addCount; node++) {
        int32_t at = p.newIndex[node];
        if (at == kNone || (node < p.oldCount && !p.changed[node])) continue;
        bool live = false;
        for (int32_t c = p.firstChild[node]; c != kNone && !live; c = p.nextSibling[c]) {
            live = p.newIndex[c] != kNone && !(records[p.newIndex[c]].flags & RECORD_FLAG_DELETED);
        }
        if (live) {
            records[at].flags &= (uint16_t)~RECORD_FLAG_LEAF;
        } else {
            records[at].flags |= RECORD_FLAG_LEAF;
        }
    }
    RecordTable made = {(uint32_t)total, records, nullptr};
    status = CodeIndexBuild(&made);
    int32_t *effect = nullptr;
    if (status >= 0 && chars != nullptr && chars->inEffect != nullptr) {
        effect = (int32_t *)MemAlloc((total + 1) * (int32_t)sizeof(int32_t));
        if (effect == nullptr) status = ERR_ALLOC;
    }
    if (status < 0) {
        CodeIndexFree(&made);
        MemFree(records);
        PlanFree(&p, true);
        return status;
    }
    for (int32_t node = 0; node < p.oldCount + p.addCount; node++) {
        if (p.texts[node] == nullptr) continue;
        if (node < p.oldCount) {
            MemFree(table->records[node].text);
        } else if (p.newIndex[node] == kNone) {
            MemFree(p.texts[node]);
        }
    }
    CodeIndexFree(table);
    MemFree(table->records);
    table->records = records;
    table->recordCount = (uint32_t)total;
    table->codeIndex = made.codeIndex;
    if (effect != nullptr) SeventhCharFollow(chars, table, p.newIndex, effect);
    PlanFree(&p, false);
    return 0;
}
