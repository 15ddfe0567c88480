// The records a tabular conversion builds and the state every step of it shares, with the words
// its messages use to say which record and which line of the XML a problem is in.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "tools/convert/tabular_converter.h"

// One record as it is being built, before it is written.
struct TabularRecord {
    uint8_t level;                             // depth, 0 for the root
    uint32_t parent;                           // parent index, RECORD_NO_PARENT for the root
    bool hasChildren;                          // set when a child record is added
    std::string fields[CONVERT_FIELD_COUNT];   // encoded fields
    std::string rawCode;                       // the code as in the XML, for messages
};

// What the steps of one conversion read and add to.
struct TabularState {
    std::vector<TabularRecord> records;        // in file order
    ConvertSummary *summary;                   // counts being gathered
    std::string *error;                        // reason of a failure
    const char *xml;                           // the document's bytes, for line numbers
    std::string sevenChars;                    // lines of the 7th-character entry so far
};

// "record N (CODE)", as messages name a record.
std::string TabularStateRecordName(const TabularState *conv, uint32_t index);

// "record N (CODE): line L", for a problem at node inside record index.
std::string TabularStateAt(const TabularState *conv, uint32_t index, const pugi::xml_node &node);

// Sets the error for an element the converter does not know, inside record index, and returns
// ERR_INVFORMAT.
int32_t TabularStateUnknownElement(TabularState *conv, uint32_t index,
                                   const pugi::xml_node &element);
