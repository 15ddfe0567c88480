// Checks one addenda file against itself and the release before it, so that a damaged or
// unfamiliar file stops the build: a change is one line or a joined pair, the summary adds up.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/convert/addenda_file.h"

// Joins the Revise from/to pairs of *raw ('R') and the Delete and Add of a split ('S'); anything
// else that names a code twice is an error. 0, or ERR_INVDATA naming file and the line.
int32_t AddendaCheckJoin(std::vector<AddendaChange> *raw, const std::string &file,
                         std::string *error);

// Holds what rf's joined changes add up to against each count of its summary, and the summary's
// counts against each other. 0, or ERR_INVVALUE naming the summary's line.
int32_t AddendaCheckSummary(const AddendaFile &rf, std::string *error);

// Whether rf starts from the counts previous ended with, so that no release between them is
// missing. 0, or ERR_INVVALUE.
int32_t AddendaCheckFollows(const AddendaFile &previous, const AddendaFile &rf, std::string *error);
