// Turns the ICD-10-CM tabular list XML into the record file: one record per chapter, section
// and <diag>, under one root, with the notes mapped to fields 2-8. Does not check code syntax.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t CONVERT_FIELD_COUNT = 9;        // code, title, seven note fields
constexpr uint32_t CONVERT_MAX_LEVELS = 256;       // a level is one byte
constexpr uint32_t CONVERT_VIEWER_FIELD_CHARS = 8192;  // the viewer cuts longer texts

// Counts and extremes of one conversion.
struct ConvertSummary {
    uint32_t recordCount;                      // records written, the end record not counted
    uint32_t chapterCount;                     // <chapter> records
    uint32_t sectionCount;                     // <section> records
    uint32_t codeCount;                        // <diag> records
    uint32_t levelCounts[CONVERT_MAX_LEVELS];  // records per level
    uint32_t leafCount;                        // records without children (RECORD_FLAG_LEAF)
    uint32_t longestLine;                      // bytes of the longest line, line feed excluded
    uint32_t longestLineRecord;                // index of the record holding it
    std::string longestLineCode;               // and its code
    uint32_t longestField;                     // characters of the longest field
    uint32_t longestFieldRecord;               // index of the record holding it
    uint32_t longestFieldNumber;               // its field number
    std::string longestFieldCode;              // code of the record holding it
    uint32_t semicolonTexts;                   // notes and titles in which ';' became ','
    uint32_t semicolonChars;                   // ';' characters written as ','
    uint32_t duplicateCodes;                   // records whose code an earlier record has
    uint64_t outputBytes;                      // size of the record file, end record included
    std::vector<std::string> warnings;         // things converted but worth a look
};

// Converts the XML in xml[0..size) to the bytes of the record file, which replace *output, and,
// when sevenChars is not null, the text of the 7th-character entry (data/README.md), which
// replaces *sevenChars. Returns 0 or a negative status with a one-line reason in *error:
// ERR_INVFORMAT (not XML, not the tabular list, an element it does not know, a 7th-character
// definition or rule it cannot read), ERR_INVVALUE (a character Windows-1252 cannot hold),
// ERR_INVDATA (malformed UTF-8), ERR_TOOLONG (a line the loader would cut), ERR_NULLPTR.
int32_t ConvertTabularXml(const char *xml, size_t size, std::string *output,
                          ConvertSummary *summary, std::string *error,
                          std::string *sevenChars = nullptr);
