// Runs one conversion from file to file and prints its summary: the part of the converter
// that touches the file system and the console.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/convert/tabular_converter.h"

// Reads inputPath, converts it and replaces outputPath with the result; outputPath is left
// alone on any failure. ERR_OPEN / ERR_READ for the input, ERR_WRITE for the output, or the
// status of ConvertTabularXml.
int32_t ConvertTabularFile(const char *inputPath, const char *outputPath,
                           ConvertSummary *summary, std::string *error);

// Prints the summary lines (records per level, leaves, longest line and field, ';' replaced).
void ConvertSummaryPrint(const ConvertSummary *summary, FILE *out);
