// Index file reader: checks and splits the lines of one index file in place, and links each
// entry to its parent, first subterm and next sibling. Three blocks besides the text, whatever
// the size of the file, so loading stays cheap for the allocation tracer.
#include "index/index_file.h"

#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"

static const char kMagic[] = "MORBIVUE-INDEX\t";
static const char kVersion[] = "1\t";
static const char *const kKindNames[INDEX_KIND_COUNT] = {"index", "neoplasm", "drug",
                                                         "external"};
static const char kNemodOpen = '\x01';
static const char kNemodClose = '\x02';

const char *IndexKindName(uint16_t kind) {
    return kind < INDEX_KIND_COUNT ? kKindNames[kind] : "";
}

int32_t IndexKindFromName(const char *name) {
    for (int32_t k = 0; name && k < INDEX_KIND_COUNT; k++)
        if (strcmp(name, kKindNames[k]) == 0) return k;
    return -1;
}

static bool IsItemTag(char c) {
    return c == INDEX_ITEM_CODE || c == INDEX_ITEM_SEE || c == INDEX_ITEM_SEE_ALSO ||
           c == INDEX_ITEM_SEECAT || c == INDEX_ITEM_SUBCAT || c == INDEX_ITEM_MANIF ||
           c == INDEX_ITEM_CELL;
}

// Checks a text field and removes its modifier markers in place. With essential set, also writes
// the text without its modifiers there (blanks around a removed modifier made one), zero-ended,
// and advances *essential past it. ERR_INVDATA for a control byte or an unpaired marker.
static int32_t CleanText(char *text, char **essential) {
    char *out = text;
    char *ess = essential ? *essential : nullptr;
    char *essStart = ess;
    bool inNemod = false;
    for (char *p = text; *p; p++) {
        unsigned char c = (unsigned char)*p;
        if (c == (unsigned char)kNemodOpen || c == (unsigned char)kNemodClose) {
            if (inNemod != (c == (unsigned char)kNemodClose)) return ERR_INVDATA;
            inNemod = !inNemod;
            continue;
        }
        if (c < 0x20 || c == 0x7F) return ERR_INVDATA;
        *out++ = (char)c;
        if (ess && !inNemod && !(c == ' ' && (ess == essStart || ess[-1] == ' '))) *ess++ = (char)c;
    }
    if (inNemod) return ERR_INVDATA;
    *out = '\0';
    if (ess) {
        while (ess > essStart && ess[-1] == ' ') ess--;
        *ess++ = '\0';
        *essential = ess;
    }
    return 0;
}

// A column number of 1 or 2 digits, 1 to INDEX_MAX_COLUMNS, followed by a TAB; returns the text
// after the TAB, or null.
static char *ReadColumn(char *p, uint8_t *column) {
    int32_t n = 0;
    int32_t digits = 0;
    while (*p >= '0' && *p <= '9' && digits < 3) {
        n = n * 10 + (*p++ - '0');
        digits++;
    }
    if (digits == 0 || digits > 2 || *p != '\t' || n < 1 || n > INDEX_MAX_COLUMNS) return nullptr;
    *column = (uint8_t)n;
    return p + 1;
}

// Parser state over the lines of the second pass.
struct Builder {
    IndexFile *file;
    char *essential;                      // next free byte of file->essentials
    int32_t lastAtLevel[INDEX_MAX_LEVEL + 1];  // latest entry of each level, -1 for none
    int32_t lastMainTerm;                 // latest main term, -1 for none
};

static int32_t AddEntry(Builder *b, char *p) {
    IndexFile *f = b->file;
    if (f->letterCount == 0) return ERR_INVDATA;  // every entry is under a letter
    int32_t level = 0;
    int32_t digits = 0;
    while (*p >= '0' && *p <= '9' && digits < 3) {
        level = level * 10 + (*p++ - '0');
        digits++;
    }
    if (digits == 0 || digits > 2 || *p != '\t' || level > INDEX_MAX_LEVEL) return ERR_INVDATA;
    int32_t parent = level == 0 ? -1 : b->lastAtLevel[level - 1];
    if (level > 0 && parent < 0) return ERR_INVDATA;  // a level skipped, or no main term yet
    IndexEntry *e = &f->entries[f->entryCount];
    e->title = p + 1;
    e->essential = b->essential;
    if (CleanText(p + 1, &b->essential) < 0) return ERR_INVDATA;
    e->titleLength = (int32_t)strlen(e->title);
    e->parent = parent;
    e->nextSibling = -1;
    e->firstChild = -1;
    e->firstItem = f->itemCount;
    e->itemCount = 0;
    e->level = (uint8_t)level;
    e->letter = (uint16_t)(f->letterCount - 1);
    const int32_t self = f->entryCount++;
    int32_t previous = level == 0 ? b->lastMainTerm : b->lastAtLevel[level];
    if (previous >= 0 && f->entries[previous].parent == parent)
        f->entries[previous].nextSibling = self;
    if (parent >= 0 && f->entries[parent].firstChild < 0) f->entries[parent].firstChild = self;
    if (level == 0) b->lastMainTerm = self;
    b->lastAtLevel[level] = self;
    for (int32_t l = level + 1; l <= INDEX_MAX_LEVEL; l++) b->lastAtLevel[l] = -1;
    return 0;
}

static int32_t AddItem(Builder *b, char tag, char *p) {
    IndexFile *f = b->file;
    if (f->entryCount == 0) return ERR_INVDATA;
    IndexItem *item = &f->items[f->itemCount];
    item->kind = (uint8_t)tag;
    item->column = 0;
    if (tag == INDEX_ITEM_CELL) {
        p = ReadColumn(p, &item->column);
        if (!p) return ERR_INVDATA;
    }
    item->text = p;
    if (CleanText(p, nullptr) < 0) return ERR_INVDATA;
    f->itemCount++;
    f->entries[f->entryCount - 1].itemCount++;
    return 0;
}

static int32_t AddLine(Builder *b, char *line) {
    IndexFile *f = b->file;
    const char tag = line[0];
    if (tag == '\0' || line[1] != '\t') return ERR_INVDATA;
    char *p = line + 2;
    if (tag == 'E') return AddEntry(b, p);
    if (IsItemTag(tag)) return AddItem(b, tag, p);
    if (tag == 'L') {
        f->letters[f->letterCount++] = p;
        return CleanText(p, nullptr);
    }
    if (tag == 'H') {
        uint8_t column = 0;
        p = ReadColumn(p, &column);
        if (!p || f->headings[column]) return ERR_INVDATA;
        f->headings[column] = p;
        if (column > f->columnCount) f->columnCount = column;
        return CleanText(p, nullptr);
    }
    if (tag == 'V' || tag == 'D') {
        (tag == 'V' ? f->version : f->title) = p;
        return CleanText(p, nullptr);
    }
    return ERR_INVDATA;
}

// Null when the array would not fit the allocator's 32-bit size.
static void *AllocArray(int64_t count, size_t each) {
    const int64_t bytes = count * (int64_t)each;
    return bytes > INT32_MAX ? nullptr : MemAlloc((int32_t)bytes);
}

// Reads the first line; returns the position after it, or null with *status set.
static char *ReadHeader(char *text, IndexFile *file, int32_t *status) {
    char *end = strchr(text, '\n');
    const size_t magic = sizeof kMagic - 1;
    if (strncmp(text, kMagic, magic) != 0) {
        *status = ERR_INVFORMAT;
        return nullptr;
    }
    if (strncmp(text + magic, kVersion, sizeof kVersion - 1) != 0) {
        *status = ERR_INVFORMAT;
        return nullptr;
    }
    *end = '\0';
    int32_t kind = IndexKindFromName(text + magic + sizeof kVersion - 1);
    if (kind < 0) {
        *status = ERR_INVFORMAT;
        return nullptr;
    }
    file->kind = (uint16_t)kind;
    return end + 1;
}

int32_t IndexFileAdopt(char *buffer, int32_t size, IndexFile *file) {
    if (!file) {
        MemFree(buffer);
        return ERR_NULLPTR;
    }
    *file = IndexFile();
    if (!buffer) return ERR_NULLPTR;
    if (size < 1) {
        MemFree(buffer);
        return ERR_INVPARAM;
    }
    buffer[size] = '\0';
    // Every line, the last included, ends in a line feed; a zero byte would end one early.
    if (buffer[size - 1] != '\n' || memchr(buffer, '\0', (size_t)size) != nullptr) {
        MemFree(buffer);
        return ERR_INVDATA;
    }
    file->text = buffer;
    file->version = "";
    file->title = "";
    int32_t status = 0;
    char *body = ReadHeader(buffer, file, &status);
    if (!body) {
        IndexFileFree(file);
        return status;
    }
    int32_t entries = 0;
    int32_t items = 0;
    int32_t letters = 0;
    int64_t titleBytes = 0;  // room for the essential titles: never more than the titles
    for (char *line = body; *line;) {
        char *next = strchr(line, '\n') + 1;
        if (line[0] == 'E') {
            entries++;
            titleBytes += next - line;
        }
        items += IsItemTag(line[0]);
        letters += line[0] == 'L';
        line = next;
    }
    file->entries = (IndexEntry *)AllocArray(entries + 1, sizeof(IndexEntry));
    file->items = (IndexItem *)AllocArray(items + 1, sizeof(IndexItem));
    file->letters = (const char **)AllocArray(letters + 1, sizeof(char *));
    file->essentials = (char *)AllocArray(titleBytes + 1, 1);
    if (!file->entries || !file->items || !file->letters || !file->essentials) {
        IndexFileFree(file);
        return ERR_ALLOC;
    }
    Builder b = {file, file->essentials, {}, -1};
    for (int32_t &l : b.lastAtLevel) l = -1;
    for (char *line = body; *line && status == 0;) {
        char *end = strchr(line, '\n');
        *end = '\0';
        status = AddLine(&b, line);
        line = end + 1;
    }
    if (status < 0) {
        IndexFileFree(file);
        return status;
    }
    return 0;
}

int32_t IndexFileParse(const char *bytes, int32_t size, IndexFile *file) {
    if (!bytes || !file) return ERR_NULLPTR;
    if (size < 1) {
        *file = IndexFile();
        return ERR_INVPARAM;
    }
    char *copy = (char *)MemAlloc(size + 1);
    if (!copy) {
        *file = IndexFile();
        return ERR_ALLOC;
    }
    memcpy(copy, bytes, (size_t)size);
    return IndexFileAdopt(copy, size, file);
}

int32_t IndexFileFree(IndexFile *file) {
    if (!file) return ERR_NULLPTR;
    MemFree(file->text);
    MemFree(file->essentials);
    MemFree(file->entries);
    MemFree(file->items);
    MemFree(file->letters);
    *file = IndexFile();
    return 0;
}
