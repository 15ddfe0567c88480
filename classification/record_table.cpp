// Parsing of the record file into the record table, and field access. The bytes are walked in
// place: each line is measured first, then copied once into its record's own text block.
#include "record_table.h"

#include <cstring>

#include "code_refs.h"
#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "str_bounded.h"

static const char *const kCaptions[FIELD_LAST_SHOWN + 1] = {
    "IcdCode",  "LongName",  "Includes", "UseAdditional", "Excludes1",
    "Excludes2", "CodeFirst", "CodeAlso", "Notes",
};

static uint32_t ReadLe32(const unsigned char *p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

static void ReleaseRecords(uint32_t count, TextRecord *records) {
    if (records != nullptr) {
        FreeRecordTexts(count, records);
        MemFree(records);
    }
}

static int32_t FailLoad(int32_t status, uint32_t count, TextRecord *records) {
    ErrorPrint("failed to load text record data: %.32s", StatusName(status));
    ReleaseRecords(count, records);
    return status;
}

// Copies stored bytes of a line into text (when given), each ';' as a zero byte, and takes the
// offsets of fields 1 to 39 from the first 39 ';'.
static void RecordSemicolons(TextRecord *r, const unsigned char *line, size_t stored, char *text) {
    int32_t semicolons = 0;
    for (size_t k = 0; k < stored; k++) {
        unsigned char c = line[k];
        if (c == ';') {
            c = '\0';
            if (semicolons < (int32_t)MAX_RECORD_FIELDS - 1) {
                r->fieldOffsets[++semicolons] = (int32_t)k + 1;
            }
        }
        if (text != nullptr) {
            text[k] = (char)c;
        }
    }
}

// Parses one line starting at p (end is one past the data) into record r. Returns the number of
// bytes consumed including the line feed, 0 when the data ended inside the line (the record then
// keeps no text), or a negative status.
static int32_t ParseLine(const unsigned char *p, const unsigned char *end, TextRecord *r,
                         uint32_t position) {
    size_t avail = (size_t)(end - p);
    const unsigned char *lf = (const unsigned char *)memchr(p, '\n', avail);
    size_t lineLen = lf != nullptr ? (size_t)(lf - p) : avail;
    if (memchr(p, '\r', lineLen) != nullptr) {
        ErrorPrint("invalid cr in data( %d )", (int)position);
        return ERR_INVDATA;
    }
    size_t stored = lineLen < (size_t)MAX_LINE_CHARS ? lineLen : (size_t)MAX_LINE_CHARS;
    if (lf == nullptr) {
        // A line that never ends keeps no text; its offsets are still taken, as they were read.
        RecordSemicolons(r, p, stored, nullptr);
        return 0;
    }
    char *text = (char *)MemAlloc((int32_t)stored + 2);
    if (text == nullptr) {
        return ERR_ALLOC;
    }
    // A ';' at position 65,530 or later lies beyond the stored text; its field stays absent.
    RecordSemicolons(r, p, stored, text);
    r->text = text;
    r->fieldOffsets[0] = 0;
    r->index = position;
    return (int32_t)lineLen + 1;
}

int32_t ParseTextRecords(const char *bytes, int32_t size, uint32_t *count, TextRecord **records) {
    if (bytes == nullptr || count == nullptr || records == nullptr) {
        return ERR_NULLPTR;
    }
    if (size < 1) {
        return FailLoad(ERR_INVPARAM, 0, nullptr);
    }
    const unsigned char *p = (const unsigned char *)bytes;
    const unsigned char *end = p + size;
    TextRecord *array = nullptr;
    uint32_t capacity = 0;
    for (uint32_t i = 0;; i++) {
        if (i == capacity) {
            // Grow by half again (in whole steps of RECORD_GROWTH): a fixed step made a large
            // table cost ~90 reallocations, each copying the whole array on heaps that cannot
            // remap (Wine's: 0.2 s of a 0.25 s load).
            uint32_t step = RECORD_GROWTH;
            if (capacity / 2 > step) step = capacity / 2 / RECORD_GROWTH * RECORD_GROWTH;
            uint64_t bytesNeeded = (uint64_t)(i + step) * sizeof(TextRecord);
            TextRecord *grown = bytesNeeded > INT32_MAX
                                    ? nullptr
                                    : (TextRecord *)MemRealloc(array, (int32_t)bytesNeeded);
            if (grown == nullptr) {
                return FailLoad(ERR_ALLOC, i, array);
            }
            array = grown;
            capacity = i + step;
        }
        TextRecord *r = &array[i];
        memset(r, 0, sizeof *r);
        if (end - p < (ptrdiff_t)RECORD_HEADER_BYTES) {
            ErrorPrint("failed to read binrecord( %d )", (int)i);
            return FailLoad(ERR_READ, i, array);
        }
        if (p[1] != RECORD_MARKER) {
            ErrorPrint("invalid record start( %d: %02x )", (int)i, (unsigned)p[1]);
            return FailLoad(ERR_INVDATA, i, array);
        }
        uint32_t index = ReadLe32(p + 4);
        if (index == END_RECORD_INDEX) {
            *count = i;
            *records = array;
            return 0;
        }
        r->level = p[0];
        r->marker = (uint8_t)RECORD_MARKER;
        r->flags = (uint16_t)(p[2] | (p[3] << 8));
        r->index = index;
        r->parent = ReadLe32(p + 8);
        for (uint32_t j = 0; j < MAX_RECORD_FIELDS; j++) {
            r->fieldOffsets[j] = -1;
        }
        p += RECORD_HEADER_BYTES;
        int32_t used = p < end ? ParseLine(p, end, r, i) : 0;
        if (used < 0) {
            return FailLoad(used, i, array);
        }
        if (used == 0) {
            *count = i + 1;
            *records = array;
            return 0;
        }
        p += used;
    }
}

int32_t FreeRecordTexts(uint32_t count, TextRecord *records) {
    if (records == nullptr) {
        return ERR_NULLPTR;
    }
    for (uint32_t i = 0; i < count; i++) {
        if (records[i].text != nullptr) {
            MemFree(records[i].text);
            records[i].text = nullptr;
        }
    }
    return 0;
}

int32_t RecordFieldPresent(const TextRecord *record, uint32_t field) {
    field &= 0xFFFF;
    return record != nullptr && field < MAX_RECORD_FIELDS && record->text != nullptr &&
                   record->fieldOffsets[field] >= 0
               ? 1
               : 0;
}

const char *RecordField(const TextRecord *record, uint32_t field) {
    if (record == nullptr) {
        return "#";
    }
    field &= 0xFFFF;
    if (field >= MAX_RECORD_FIELDS) {
        return "-";
    }
    if (!RecordFieldPresent(record, field)) {
        return "";
    }
    return record->text + record->fieldOffsets[field];
}

const char *CopyRecordField(const TextRecord *record, uint32_t field, char *buffer, int32_t limit) {
    field &= 0xFFFF;
    if (record == nullptr || buffer == nullptr || field >= MAX_RECORD_FIELDS) {
        return "#";
    }
    if (!RecordFieldPresent(record, field)) {
        return "-";
    }
    return StrCopyBounded(buffer, record->text + record->fieldOffsets[field], limit);
}

const char *RecordFieldCaption(uint32_t field) {
    return field <= FIELD_LAST_SHOWN ? kCaptions[field] : "";
}

int32_t RecordTableFree(RecordTable *table) {
    if (table == nullptr) {
        return ERR_NULLPTR;
    }
    CodeIndexFree(table);
    ReleaseRecords(table->recordCount, table->records);
    table->recordCount = 0;
    table->records = nullptr;
    return 0;
}
