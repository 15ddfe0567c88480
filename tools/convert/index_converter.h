// Turns one ICD-10-CM index XML (alphabetic index, Table of Neoplasms, Table of Drugs and
// Chemicals, External Cause Index) into the index file of the archive, losslessly. It refuses
// any element or attribute it does not know, naming it and its line, rather than leave it out.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint32_t INDEX_CONVERT_MAX_LEVEL = 15;  // deepest term level the reader accepts

// Counts of one conversion.
struct IndexConvertSummary {
    uint32_t letters;        // <letter>
    uint32_t mainTerms;      // <mainTerm>
    uint32_t terms;          // <term>
    uint32_t deepestLevel;   // highest term level seen
    uint32_t headings;       // <head> of the <indexHeading>
    uint32_t nemods;         // <nemod> in any text
    uint32_t codes;          // <code>
    uint32_t sees;           // <see>
    uint32_t seeAlsos;       // <seeAlso>
    uint32_t seecats;        // <seecat>
    uint32_t subcats;        // <subcat>
    uint32_t manifs;         // <manif>
    uint32_t cells;          // <cell>
    uint64_t outputBytes;    // size of the index file
};

// 1 for the index names the file header may carry: "index", "neoplasm", "drug", "external".
int32_t IndexConvertKindKnown(const char *kind);

// Converts the XML in xml[0..size) into the index file bytes, which replace *output. kind is
// written into the header. Returns 0 or a negative status with a one-line reason in *error
// (naming the line of the XML): ERR_INVFORMAT (not XML, not an index, an unknown element or
// attribute, text where none belongs), ERR_INVVALUE (a character Windows-1252 cannot hold, a bad
// level or column), ERR_INVDATA (malformed UTF-8), ERR_INVPARAM (unknown kind), ERR_NULLPTR.
int32_t ConvertIndexXml(const char *xml, size_t size, const char *kind, std::string *output,
                        IndexConvertSummary *summary, std::string *error);

// Reads inputPath, converts it and replaces outputPath with the result; outputPath is left
// alone on any failure, and the error names the input file. ERR_OPEN / ERR_READ for the input,
// ERR_WRITE for the output, or the status of ConvertIndexXml.
int32_t ConvertIndexFile(const char *inputPath, const char *kind, const char *outputPath,
                         IndexConvertSummary *summary, std::string *error);

// Prints the summary lines.
void IndexConvertSummaryPrint(const IndexConvertSummary *summary, FILE *out);
