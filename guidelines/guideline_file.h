// Guidelines entry reader: the Official Guidelines' entry (data/README.md) parsed into its
// sections, in document order, and their paragraphs and list items. Parsing works on any memory
// block and checks every line; it knows nothing of searching, codes or pages.
#pragma once
#include <cstddef>
#include <cstdint>

enum : int32_t {
    GUIDELINE_MAX_DEPTH = 6,  // "(i)" under "(a)" under "1)" under the contents' four levels
};
enum : uint8_t {
    GUIDELINE_PARAGRAPH = 'P',
    GUIDELINE_ITEM = 'B',  // a list item, shown with a bullet
};

struct GuidelineLine {
    uint8_t kind;      // GUIDELINE_PARAGRAPH or GUIDELINE_ITEM
    const char *text;  // zero-terminated, in GuidelineFile::text
    int32_t length;
};

struct GuidelineSection {
    const char *id;       // "I.C.4.a.3", "AppI"; zero-terminated
    const char *heading;  // as printed, without its label
    int32_t depth;        // 0 to GUIDELINE_MAX_DEPTH
    int32_t parent;       // section number of the parent, -1 for a top section
    int32_t end;          // one past its last subsection: its subtree is [n, end)
    int32_t firstLine;    // its first line in GuidelineFile::lines
    int32_t lineCount;
};

struct GuidelineFile {
    char *text;  // the entry's bytes, fields zero-terminated; owned
    int32_t sectionCount;
    GuidelineSection *sections;  // owned
    int32_t lineCount;
    GuidelineLine *lines;  // owned
};

// Parses size bytes at bytes (copied) into file. 0; ERR_NULLPTR; ERR_ALLOC; ERR_INVDATA for a
// line that is not "S<TAB>DEPTH<TAB>ID<TAB>HEADING", "P<TAB>TEXT" or "B<TAB>TEXT", a text line
// before any section, a depth above GUIDELINE_MAX_DEPTH, a repeated ID or no section.
int32_t GuidelineFileParse(const char *bytes, size_t size, GuidelineFile *file);
// Frees what file owns and empties it.
void GuidelineFileFree(GuidelineFile *file);
// The section whose ID is id (exactly, or ignoring case, or with its levels marked by dots
// alone: "I.C.1.g.1.c.i"), or -1.
int32_t GuidelineFind(const GuidelineFile *file, const char *id);
