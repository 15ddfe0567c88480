// The record tree of the tabular list: one record per chapter, section and <diag> under one root.
#pragma once
#include <cstdint>

#include <pugixml.hpp>

#include "tools/convert/tabular_state.h"

// The tabular list's root element, and the code of the root record.
constexpr char TABULAR_ROOT_CODE[] = "ICD10CM.tabular";

// Appends the root record and, below it, the records of every chapter of the root element
// tabular, with their notes. 0, ERR_TOOMANY, ERR_INVFORMAT (an unknown element, a chapter
// without a range, an element without a code, nesting too deep) or TabularNotesAdd's status.
int32_t TabularTreeAdd(TabularState *conv, const pugi::xml_node &tabular);
