// The words a tabular conversion's messages use to say where a problem is: the record by its
// index and code, the XML by its line.
#include "tools/convert/tabular_state.h"

#include "foundation/status.h"

std::string TabularStateRecordName(const TabularState *conv, uint32_t index)
{
    return "record " + std::to_string(index) + " (" + conv->records[index].rawCode + ")";
}

// Line (from 1) of the node's start in the document.
static size_t LineOf(const TabularState *conv, const pugi::xml_node &node)
{
    size_t line = 1;
    ptrdiff_t end = node.offset_debug();
    for (ptrdiff_t i = 0; conv->xml != nullptr && i < end; i++) {
        line += conv->xml[i] == '\n';
    }
    return line;
}

std::string TabularStateAt(const TabularState *conv, uint32_t index, const pugi::xml_node &node)
{
    return TabularStateRecordName(conv, index) + ": line " +
           std::to_string(LineOf(conv, node));
}

// An element the converter does not know stops it: left out, its text would be a note the
// program silently lacks.
int32_t TabularStateUnknownElement(TabularState *conv, uint32_t index,
                                   const pugi::xml_node &element)
{
    *conv->error = "line " + std::to_string(LineOf(conv, element)) + ": unknown element <" +
                   element.name() + "> in " + TabularStateRecordName(conv, index);
    return ERR_INVFORMAT;
}
