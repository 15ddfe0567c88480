// Runs one conversion from file to file and prints its summary: the part of the converter
// that touches the file system and the console.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/convert/tabular_converter.h"

// Appends the whole file at path to *bytes. 0; ERR_OPEN or ERR_READ with the reason in *error.
int32_t ReadWholeFile(const char *path, std::string *bytes, std::string *error);

// Reads inputPath, converts it and replaces outputPath with the result and, when sevenPath is
// not null, sevenPath with the 7th-character entry; the outputs are left alone on a failed
// conversion. ERR_OPEN / ERR_READ for the input, ERR_WRITE for an output, or the status of
// ConvertTabularXml.
int32_t ConvertTabularFile(const char *inputPath, const char *outputPath,
                           ConvertSummary *summary, std::string *error,
                           const char *sevenPath = nullptr);

// Prints the summary lines (records per level, leaves, longest line and field, ';' replaced).
void ConvertSummaryPrint(const ConvertSummary *summary, FILE *out);
