// 7th characters from the tabular XML: the definitions become note items of their record and
// lines of the 7th-character entry (data/README.md), the notes that some do not apply its rules.
#pragma once
#include <cstdint>
#include <string>

#include <pugixml.hpp>

#include "tools/convert/tabular_state.h"

// Appends the <sevenChrDef> def of record index to *field, one item per <extension> or <note>,
// and its "D" line to the entry. 0, ERR_INVFORMAT (a character that is not one letter or digit,
// one without a meaning, an unknown element, no <extension>) or TabularTextEncode's status.
int32_t TabularSeventhDefinition(TabularState *conv, uint32_t index, const pugi::xml_node &def,
                                 std::string *field);

// Adds the "X" line of a note saying that some 7th characters do not apply; any other note adds
// nothing. 0, or ERR_INVFORMAT for such a note in words it cannot read.
int32_t TabularSeventhExclusion(TabularState *conv, uint32_t index, const pugi::xml_node &note);
