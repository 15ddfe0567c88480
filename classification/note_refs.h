// Code references of a note as a coder reads them (A15, C7A, B94.2, A15-A19, N18.1-N18.6, E08.-)
// and whether one covers a code; each note's references parsed once and kept per record. Not the
// page's links (code_refs.h), whose shapes and lookups are the viewer's.
#pragma once
#include <cstdint>

#include "note_suffix.h"
#include "record_table.h"

enum : uint32_t {
    FIELD_USE_ADDITIONAL = 3,  // "Use additional code"
    FIELD_EXCLUDES1 = 4,
    FIELD_CODE_FIRST = 6,
    FIELD_CODE_ALSO = 7,
};

enum : int32_t {
    NOTE_REF_CODE_CHARS = 7,  // longest code of a reference, dot left out (S06.0X1A)
    NOTE_REF_FIELDS = 4,      // fields whose references are kept: the four above
};

struct NoteRef {
    char first[NOTE_REF_CODE_CHARS + 1];  // the (first) code, dot left out, zero-terminated
    char last[NOTE_REF_CODE_CHARS + 1];   // a range's last code likewise; equal to first when single
    int32_t offset;                       // where it starts in the note's text
    int32_t length;                       // characters as written, "-" or ".-" after it included
    int32_t itemOffset;                   // the item ("./"-ended) that holds it: start in the text
    int32_t itemLength;                   // and length, without its "./"
    NoteSuffix suffix;                    // what "with ..." after it asks of the codes
};

// Length of the reference written exactly at text (a letter, a digit, a digit or letter, then
// optionally '.' and 1 to 4 digits or letters; optionally '-' and a second such code; optionally
// "-" or ".-"), filling ref's codes (not its offsets); 0 when none starts there or ref is null.
// What precedes text is not looked at.
int32_t NoteRefAt(const char *text, NoteRef *ref);

// 1 when ref covers code (upper case, dot left out): a single code covers every code beginning
// with it; a range S-E the codes whose first len(S) characters are not below S and whose first
// len(E) characters are not above E, compared as bytes; and the code meets ref's suffix. 0
// otherwise or for null arguments.
int32_t NoteRefCovers(const NoteRef *ref, const char *code);

// Of keys[0..count), sorted ascending by strcmp, the run [*lo, *hi) that ref's codes cover, its
// suffix aside (a caller tests each key of the run with NoteRefCovers when suffix.count > 0). 0;
// ERR_NULLPTR.
int32_t NoteRefCoveredRun(const NoteRef *ref, const char *const *keys, int32_t count, int32_t *lo,
                          int32_t *hi);

// The references of the notes of one table, parsed on first use and kept.
struct NoteRefCache {
    const RecordTable *table;  // the records the references come from
    int32_t slotCount;         // recordCount * NOTE_REF_FIELDS
    int32_t *runs;             // per slot: first reference + 1 (0: not parsed yet), then count;
                               // 2 * slotCount entries, owned
    NoteRef *refs;             // every parsed reference, by slot in parse order; owned
    int32_t refCount;          // references in refs
    int32_t refCapacity;       // room in refs
};

// Readies a zero-filled cache for table. 0; ERR_NULLPTR; ERR_ALLOC (cache left zero-filled).
int32_t NoteRefCacheInit(NoteRefCache *cache, const RecordTable *table);
// Releases everything; the cache is zero-filled after. 0; ERR_NULLPTR.
int32_t NoteRefCacheFree(NoteRefCache *cache);
// The references of field (FIELD_USE_ADDITIONAL, FIELD_EXCLUDES1, FIELD_CODE_FIRST or
// FIELD_CODE_ALSO) of the
// record at position, in the order written, each with the suffix written after it (a suffix after
// several references of one item is each one's): *refs and *count (0 and null for none). The pointer
// stays valid until the next call. 0; ERR_NULLPTR; ERR_INVPARAM (other field, position outside
// the table); ERR_ALLOC.
int32_t NoteRefCacheGet(NoteRefCache *cache, int32_t position, uint32_t field,
                        const NoteRef **refs, int32_t *count);

// 1 when a and b name the same codes with the same suffix.
int32_t NoteRefSame(const NoteRef *a, const NoteRef *b);
