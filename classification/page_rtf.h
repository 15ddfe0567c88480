// Page as RTF: a PageSink that writes a composed page as one RTF document, so the viewer takes
// the whole page in one stream instead of one append per piece, and lists what RTF cannot say
// (the link effect, a link's weight, an underline of no type) for the viewer to set afterwards.
// It mirrors the character format that piecewise output would leave; it knows no window.
#pragma once
#include <cstdint>

#include "classification/page_compose.h"

enum : uint8_t {
    RTF_UNDERLINE_NONE = 0,  // CFU_UNDERLINENONE: no line even where underline is on
    RTF_UNDERLINE_SINGLE = 1,
    RTF_UNDERLINE_WORD = 2,
    RTF_UNDERLINE_KEEP = 0xFF,  // in a fix: leave the type as the document has it
};

enum : uint8_t {
    RTF_COLOUR_AUTO = 0,   // the system's text colour: no colour was ever set
    RTF_COLOUR_PLAIN = 1,  // black, set by a link's end
    RTF_COLOUR_LINK = 2,   // blue
};

enum : int32_t {
    RTF_MAX_FACES = 8,       // distinct font faces on one page
    RTF_FACE_CHARS = 31,     // longest face name kept (LF_FACESIZE - 1)
    RTF_LINKS_INLINE = 0,    // a link's end sets plain style for all that follows
    RTF_LINKS_RANGES = 1,    // a link's end restores the style before it (links set by range)
};

// The format in force, as the viewer would hold it.
struct RtfFormat {
    int32_t face;           // index into PageRtf::faces, -1 before the first font
    int32_t points;         // size in points, 0 before the first font
    uint16_t weight;        // 400 normal, 500 link, 700 bold
    uint8_t bold;           // the bold effect
    uint8_t italic;         // the italic effect
    uint8_t underline;      // the underline effect
    uint8_t underlineType;  // RTF_UNDERLINE_*
    uint8_t colour;         // RTF_COLOUR_*
    uint8_t link;           // the link effect
};

// A run whose format RTF cannot carry: the viewer sets it on those characters.
struct RtfFix {
    int32_t start;          // first character; a line feed counts one
    int32_t length;         // characters
    uint8_t link;           // the link effect to set
    uint8_t underlineType;  // type to set, or RTF_UNDERLINE_KEEP
    uint8_t bold;           // the bold effect, set with the weight: a weight alone would set it
    uint16_t weight;        // weight to set
};

struct PageRuns;

struct PageRtf {
    PageRuns *runs;       // when set, the page is also recorded there as runs; not owned
    char *text;           // the document, zero-terminated once ended; MemRealloc'd, owned
    int32_t length;       // bytes in text
    int32_t capacity;     // bytes allocated
    RtfFix *fixes;        // in page order; MemRealloc'd, owned
    int32_t fixCount;     // fixes in use
    int32_t fixCapacity;  // fixes allocated
    int32_t status;       // 0, or the first failure (ERR_ALLOC, ERR_TOOMANY); output stops then
    int32_t characters;   // characters written so far
    int32_t linkMode;     // RTF_LINKS_*
    RtfFormat current;    // the viewer's format for the next text
    RtfFormat mirror;     // every member set on this page, as last set
    uint16_t mirrorMask;  // which members of mirror were set
    uint8_t inLink;       // inside a range link (RTF_LINKS_RANGES)
    uint8_t pieceOpen;    // text was written since the last format step
    int32_t pieceCharacters;  // characters of the open piece
    int32_t atLineStart;  // the last piece ended with a line break
    RtfFormat written;    // the format the document's control words last said
    int32_t formatWritten;  // nonzero once written holds anything
    int32_t faceCount;                            // faces in faces
    char faces[RTF_MAX_FACES][RTF_FACE_CHARS + 1];  // font table, in order of first use
    int32_t bodyStart;    // where the body begins in text, after the header
    int32_t endsWithBreak;  // nonzero when the last character written was a paragraph break
};

// Starts an empty document (keeping the memory of an earlier one) in the given link mode, and
// empties the runs it records into. 0; ERR_NULLPTR; ERR_INVPARAM for an unknown mode.
int32_t PageRtfBegin(PageRtf *rtf, int32_t linkMode);
// Records every later page into runs as well (classification/page_runs.h); null stops it.
// ERR_NULLPTR for a null rtf.
int32_t PageRtfRecordRuns(PageRtf *rtf, PageRuns *runs);
// The sink that writes into rtf.
PageSink PageRtfSink(PageRtf *rtf);
// Closes the document: puts the header with its font and colour tables in front of the body and
// zero-terminates it. Afterwards text[0..length) is the whole RTF. 0, or rtf->status; ERR_NULLPTR.
int32_t PageRtfEnd(PageRtf *rtf);
// Frees everything and zero-fills the record. ERR_NULLPTR.
int32_t PageRtfFree(PageRtf *rtf);
