// The notes of a tabular record: the note containers of its element mapped to fields 2-8.
#pragma once
#include <cstdint>

#include <pugixml.hpp>

#include "tools/convert/tabular_state.h"

// Fills fields 2-8 of record index from the element's own note containers. 0, ERR_INVFORMAT
// for an element it does not know (TabularStateUnknownElement) or a 7th-character definition
// or rule it cannot read, or TabularTextEncode's status.
int32_t TabularNotesAdd(TabularState *conv, uint32_t index, const pugi::xml_node &element);
