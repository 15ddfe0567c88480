// Code reference recognition and code lookup. Lookups scan the table in order; a CodeIndex, when
// built for the table in hand, gives the same answers from a hash of field 0.
#include "code_refs.h"

#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"
#include "page_ref.h"

// One distinct code key (field 0, or field 0 without its final mark), folded to upper case.
struct IndexSlot {
    uint32_t hash;       // hash of the folded key
    uint32_t keyLength;  // characters of the key
    int32_t keyRecord;   // record whose field 0 starts with the key; -1: empty slot
    int32_t firstExact;  // first position >= 1 whose field 0 is the key; -1 if none
    int32_t lastMarked;  // last position >= 1 whose field 0 is the key plus a mark; -1 if none
};

struct CodeIndex {
    const TextRecord *records;  // the array the index was built for
    uint32_t recordCount;       // and its count; a different table makes lookups scan
    int32_t firstMissing;       // first position >= 1 without field 0; recordCount if none
    uint32_t slotMask;          // slot count - 1 (a power of two)
    IndexSlot slots[1];         // slotMask + 1 entries
};

static inline int IsUpper(int c) { return c >= 'A' && c <= 'Z'; }
static inline int IsDigit(int c) { return c >= '0' && c <= '9'; }
static inline unsigned char Fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? (unsigned char)(c - 'a' + 'A') : c;
}

int32_t IsCodeMark(int32_t c) { return (c == '#' || c == '&' || c == '*') ? 1 : 0; }

// Length after a dot: up to two digits, then an optional mark.
static int32_t AfterDot(const unsigned char *p, int32_t q) {
    int32_t n = q;
    if (IsDigit(p[q])) {
        q++;
        n++;
        if (IsDigit(p[q])) {
            q++;
            n++;
        }
    }
    if (IsCodeMark(p[q])) {
        n++;
    }
    return n;
}

int32_t CodeRefLength(const char *text) {
    const unsigned char *p = (const unsigned char *)text;
    if (p == nullptr) {
        return 0;
    }
    // Each test stops at the terminating zero, which is neither a letter, a digit nor a mark.
    if (!IsUpper(p[0]) || !IsDigit(p[1]) || !IsDigit(p[2])) {
        return 0;
    }
    switch (p[3]) {
    case '\0':
        return 3;
    case '#':
    case '&':
    case '*':
        return 4;
    case '-':
        return (IsUpper(p[4]) && IsDigit(p[5]) && IsDigit(p[6])) ? 7 : ERR_INVDATA;
    case '+':
        if (!(IsUpper(p[4]) && IsDigit(p[5]) && IsDigit(p[6]))) {
            return ERR_INVDATA;
        }
        return p[7] == '.' ? AfterDot(p, 8) : 7;
    case '.':
        return AfterDot(p, 4);
    default:
        return 3;
    }
}

static inline const char *Field0(const TextRecord *r) {
    return (r->text != nullptr && r->fieldOffsets[0] >= 0) ? r->text + r->fieldOffsets[0] : nullptr;
}

static int EqualNoCase(const char *a, const char *b, size_t n) {
    for (size_t i = 0; i < n; i++) {
        if (Fold((unsigned char)a[i]) != Fold((unsigned char)b[i])) {
            return 0;
        }
    }
    return 1;
}

// 1 when field0 is code + one mark, ignoring case.
static int IsMarkedMatch(const char *field0, const char *code, size_t codeLength) {
    return strlen(field0) == codeLength + 1 && EqualNoCase(field0, code, codeLength) &&
           IsCodeMark((unsigned char)field0[codeLength]);
}

static int IsExactMatch(const char *field0, const char *code, size_t codeLength) {
    return strlen(field0) == codeLength && EqualNoCase(field0, code, codeLength);
}

static uint32_t HashFolded(const char *s, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; i++) {
        h = (h ^ Fold((unsigned char)s[i])) * 16777619u;
    }
    return h;
}

static const CodeIndex *UsableIndex(const RecordTable *table) {
    const CodeIndex *index = table->codeIndex;
    if (index != nullptr && index->records == table->records &&
        index->recordCount == table->recordCount) {
        return index;
    }
    return nullptr;
}

static const IndexSlot *FindSlot(const CodeIndex *index, const TextRecord *records,
                                 const char *key, size_t length) {
    uint32_t h = HashFolded(key, length);
    for (uint32_t s = h & index->slotMask;; s = (s + 1) & index->slotMask) {
        const IndexSlot *slot = &index->slots[s];
        if (slot->keyRecord < 0) {
            return nullptr;
        }
        if (slot->hash == h && slot->keyLength == length &&
            EqualNoCase(Field0(&records[slot->keyRecord]), key, length)) {
            return slot;
        }
    }
}

// Answer of a scan over positions 1 .. count-1 through the index: an exact position, a marked
// position, ERR_INVINDEX or ERR_NOTFOUND, the way FindRecordByCode orders them.
static int32_t IndexedLookup(const CodeIndex *index, const TextRecord *records, const char *code,
                             size_t length) {
    const IndexSlot *slot = FindSlot(index, records, code, length);
    if (slot != nullptr && slot->firstExact >= 0 && slot->firstExact < index->firstMissing) {
        return slot->firstExact;
    }
    if ((uint32_t)index->firstMissing < index->recordCount) {
        return ERR_INVINDEX;
    }
    return (slot != nullptr && slot->lastMarked >= 0) ? slot->lastMarked : ERR_NOTFOUND;
}

int32_t CodeExists(const RecordTable *table, uint16_t kind, const char *code) {
    if (table == nullptr || code == nullptr) {
        return ERR_NULLPTR;
    }
    if (code[0] == '\0') {
        return ERR_EMPTY;
    }
    if (kind != PAGE_KIND_RECORD || table->recordCount == 0 || table->records == nullptr) {
        return 0;
    }
    size_t length = strlen(code);
    const TextRecord *records = table->records;
    const CodeIndex *index = UsableIndex(table);
    if (index != nullptr) {
        // The root is position 0, which the index leaves out: it is looked at first, as the scan does.
        const char *root = Field0(&records[0]);
        if (root == nullptr) {
            return ERR_INVINDEX;
        }
        if (IsExactMatch(root, code, length)) {
            return 1;
        }
        int32_t found = IndexedLookup(index, records, code, length);
        if (found == ERR_INVINDEX) {
            return ERR_INVINDEX;
        }
        return (found > 0 || IsMarkedMatch(root, code, length)) ? 1 : 0;
    }
    int marked = 0;
    for (uint32_t i = 0; i < table->recordCount; i++) {
        const char *f0 = Field0(&records[i]);
        if (f0 == nullptr) {
            return ERR_INVINDEX;
        }
        if (IsExactMatch(f0, code, length)) {
            return 1;
        }
        if (!marked && IsMarkedMatch(f0, code, length)) {
            marked = 1;
        }
    }
    return marked;
}

int32_t FindRecordByCode(const RecordTable *table, uint16_t kind, const char *code) {
    if (table == nullptr || code == nullptr) {
        return ERR_NULLPTR;
    }
    if (code[0] == '\0') {
        return ERR_EMPTY;
    }
    if (kind != PAGE_KIND_RECORD || table->recordCount <= 1 || table->records == nullptr) {
        return ERR_NOTFOUND;
    }
    size_t length = strlen(code);
    const TextRecord *records = table->records;
    const CodeIndex *index = UsableIndex(table);
    if (index != nullptr) {
        return IndexedLookup(index, records, code, length);
    }
    int32_t remembered = ERR_NOTFOUND;
    for (uint32_t i = 1; i < table->recordCount; i++) {
        const char *f0 = Field0(&records[i]);
        if (f0 == nullptr) {
            return ERR_INVINDEX;
        }
        if (IsExactMatch(f0, code, length)) {
            return (int32_t)i;
        }
        if (IsMarkedMatch(f0, code, length)) {
            remembered = (int32_t)i;
        }
    }
    return remembered;
}

static IndexSlot *ClaimSlot(CodeIndex *index, const TextRecord *records, int32_t position,
                            const char *key, size_t length) {
    uint32_t h = HashFolded(key, length);
    for (uint32_t s = h & index->slotMask;; s = (s + 1) & index->slotMask) {
        IndexSlot *slot = &index->slots[s];
        if (slot->keyRecord < 0) {
            slot->hash = h;
            slot->keyLength = (uint32_t)length;
            slot->keyRecord = position;
            return slot;
        }
        if (slot->hash == h && slot->keyLength == length &&
            EqualNoCase(Field0(&records[slot->keyRecord]), key, length)) {
            return slot;
        }
    }
}

int32_t CodeIndexFree(RecordTable *table) {
    if (table == nullptr) {
        return ERR_NULLPTR;
    }
    MemFree(table->codeIndex);
    table->codeIndex = nullptr;
    return 0;
}

int32_t CodeIndexBuild(RecordTable *table) {
    if (table == nullptr) {
        return ERR_NULLPTR;
    }
    CodeIndexFree(table);
    if (table->records == nullptr) {
        return ERR_NULLPTR;
    }
    uint32_t count = table->recordCount;
    // Two keys at most per record, and a table at most half full.
    uint32_t slotCount = 16;
    while (slotCount < 4 * (uint64_t)count && slotCount < (1u << 30)) {
        slotCount <<= 1;
    }
    uint64_t bytes = sizeof(CodeIndex) + (uint64_t)(slotCount - 1) * sizeof(IndexSlot);
    if (bytes > INT32_MAX || 4 * (uint64_t)count > slotCount) {
        return ERR_ALLOC;
    }
    CodeIndex *index = (CodeIndex *)MemAlloc((int32_t)bytes);
    if (index == nullptr) {
        return ERR_ALLOC;
    }
    index->records = table->records;
    index->recordCount = count;
    index->firstMissing = (int32_t)count;
    index->slotMask = slotCount - 1;
    for (uint32_t s = 0; s < slotCount; s++) {
        index->slots[s].keyRecord = -1;
        index->slots[s].firstExact = -1;
        index->slots[s].lastMarked = -1;
    }
    const TextRecord *records = table->records;
    for (uint32_t i = 1; i < count; i++) {
        const char *f0 = Field0(&records[i]);
        if (f0 == nullptr) {
            if (index->firstMissing == (int32_t)count) {
                index->firstMissing = (int32_t)i;
            }
            continue;
        }
        size_t length = strlen(f0);
        IndexSlot *slot = ClaimSlot(index, records, (int32_t)i, f0, length);
        if (slot->firstExact < 0) {
            slot->firstExact = (int32_t)i;
        }
        if (length >= 2 && IsCodeMark((unsigned char)f0[length - 1])) {
            ClaimSlot(index, records, (int32_t)i, f0, length - 1)->lastMarked = (int32_t)i;
        }
    }
    table->codeIndex = index;
    return 0;
}
