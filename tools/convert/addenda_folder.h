// Runs the addenda conversion from a folder to the entry's file and prints its summary: the part
// of it that touches the file system and the console.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/convert/addenda_converter.h"

// Reads every icd10cm_order_addenda_*.txt of folder (other files are not addenda and are left
// alone), converts them and replaces outputPath with the entry; outputPath is left alone on any
// failure. ERR_OPEN / ERR_READ for the folder or a file, ERR_WRITE, or ConvertAddenda's status.
int32_t ConvertAddendaFolder(const char *folder, const char *outputPath, AddendaSummary *summary,
                             std::string *error);

// One line per release: its name, file and counts.
void AddendaSummaryPrint(const AddendaSummary *summary, FILE *out);
