// Turns the Official Guidelines' text (UTF-8, as published) into the guidelines entry: a tree of
// sections with their IDs, headings and paragraphs, checked against the contents. It does not
// read the entry back (guidelines/guideline_file.h does).
#pragma once
#include <cstdint>
#include <string>

struct GuidelinesConvertSummary {
    int32_t sections;    // sections written, contents' levels and the body's numbered levels
    int32_t contents;    // headings the contents name
    int32_t paragraphs;  // paragraphs and list items written
    int32_t footers;     // page footers dropped
    int32_t unlisted;    // headings at the contents' levels that the contents leave out
    int32_t reworded;    // headings the body words a little differently from the contents
};

// Converts text into entry lines: "S<TAB>DEPTH<TAB>ID<TAB>HEADING", then the section's
// "P<TAB>TEXT" (a paragraph) and "B<TAB>TEXT" (a list item) lines, in Windows-1252.
// 0; ERR_INVDATA with error naming the first contents heading the body lacks, or a line that
// cannot be encoded.
int32_t GuidelinesConvertText(const std::string &text, std::string *entry,
                              GuidelinesConvertSummary *summary, std::string *error);
// The same from file input to file output, written whole or not at all. ERR_IO as well.
int32_t ConvertGuidelinesFile(const char *input, const char *output,
                              GuidelinesConvertSummary *summary, std::string *error);
