// libFuzzer target: the note reader. Any bytes are a note of a one-record table; its references,
// their suffixes and its requests must stay inside the text, and every request's references must
// be its own and in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "classification/note_refs.h"
#include "classification/note_requests.h"
#include "classification/note_suffix.h"
#include "classification/record_table.h"

static void CheckNote(const char *note, const NoteRef *refs, int32_t count) {
    int32_t length = (int32_t)strlen(note);
    for (int32_t r = 0; r < count; r++) {
        const NoteRef *ref = &refs[r];
        if (ref->offset < 0 || ref->offset + ref->length > length) abort();
        if (ref->itemOffset < 0 || ref->itemOffset + ref->itemLength > length) abort();
        if (r > 0 && ref->offset <= refs[r - 1].offset) abort();
        if (ref->suffix.count < 0 || ref->suffix.count > NOTE_SUFFIX_ALTS) abort();
        NoteRefCovers(ref, ref->first);
    }
    NoteRequest requests[NOTE_REQUESTS_MAX];
    for (bool whole : {false, true}) {
        int32_t n = NoteRequestsRead(note, refs, count, whole, true, requests, NOTE_REQUESTS_MAX);
        if (n < 0 || n > NOTE_REQUESTS_MAX || (whole && n > 1)) abort();
        int32_t next = 0;
        for (int32_t g = 0; g < n; g++) {
            const NoteRequest *q = &requests[g];
            if (q->offset < 0 || q->offset >= q->end || q->end > length) abort();
            if (q->refFirst < next || q->refFirst + q->refCount > count) abort();
            for (int32_t r = q->refFirst; r < q->refFirst + q->refCount; r++) {
                if (refs[r].offset < q->offset || refs[r].offset >= q->end) abort();
            }
            next = q->refFirst + q->refCount;
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // A record's fields hold no line end, ';' or zero byte.
    std::string note(reinterpret_cast<const char *>(data), size);
    for (char &c : note) {
        if (c == '\n' || c == ';' || c == '\0' || c == '\r') c = ' ';
    }
    NoteSuffix suffix;
    if (NoteSuffixAt(note.c_str(), &suffix) > (int32_t)note.size()) abort();
    NoteSuffixMatches(&suffix, "T360X5A");
    std::string bytes;
    const std::string lines[2] = {"A00-Z99;Root", "A00;Test;;" + note + ";" + note + ";;" + note +
                                                      ";" + note};
    for (uint32_t i = 0; i < 3; i++) {
        // Level, marker, flags, index, parent; the third is the end record.
        uint32_t index = i < 2 ? i : END_RECORD_INDEX, parent = i < 2 ? 0 : 0xFFFFFFFF;
        uint16_t flags = i < 2 ? 0 : 0x8000;
        bytes.push_back((char)(i < 2 ? 1 : 0));
        bytes.push_back((char)0xE7);
        bytes.push_back((char)(flags & 0xFF));
        bytes.push_back((char)(flags >> 8));
        for (int k = 0; k < 4; k++) bytes.push_back((char)((index >> (8 * k)) & 0xFF));
        for (int k = 0; k < 4; k++) bytes.push_back((char)((parent >> (8 * k)) & 0xFF));
        if (i < 2) bytes += lines[i] + "\n";
    }
    RecordTable table = {};
    if (ParseTextRecords(bytes.data(), (int32_t)bytes.size(), &table.recordCount,
                         &table.records) != 0 ||
        table.recordCount != 2) {
        abort();
    }
    NoteRefCache cache = {};
    if (NoteRefCacheInit(&cache, &table) != 0) abort();
    for (uint32_t field : {FIELD_USE_ADDITIONAL, FIELD_EXCLUDES1, FIELD_CODE_FIRST, FIELD_CODE_ALSO}) {
        const NoteRef *refs = nullptr;
        int32_t count = 0;
        if (NoteRefCacheGet(&cache, 1, field, &refs, &count) != 0) abort();
        CheckNote(RecordField(&table.records[1], field), refs, count);
    }
    NoteRefCacheFree(&cache);
    RecordTableFree(&table);
    return 0;
}
