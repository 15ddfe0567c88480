// Reads names and text from the tabular XML and encodes text into a record's fields, counting
// the ';' it replaces and naming the record and character of a text it cannot encode.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include <pugixml.hpp>

#include "tools/convert/tabular_state.h"

// True when the node's element name is name.
bool TabularTextNameIs(const pugi::xml_node &node, const char *name);

// True when name is one of list[0..count).
bool TabularTextNameInList(const char *name, const char *const *list, size_t count);

// All character data below node, in document order.
std::string TabularTextOf(const pugi::xml_node &node);

// Encodes utf8 (text_encoding) and appends it to *out. 0, or TextEncode's status with the error
// naming record index and the character.
int32_t TabularTextEncode(TabularState *conv, uint32_t index, const std::string &utf8,
                          std::string *out);

// Appends one note item (the encoded text and "./") to *field; a note empty after trimming adds
// nothing. 0 or TabularTextEncode's status.
int32_t TabularTextAppendNote(TabularState *conv, uint32_t index, const std::string &utf8,
                              std::string *field);

// Appends every <note> child of container to *field, one item each.
int32_t TabularTextAppendNotes(TabularState *conv, uint32_t index,
                               const pugi::xml_node &container, std::string *field);
