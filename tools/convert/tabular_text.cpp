// Reads names and text from the tabular XML and encodes text into a record's fields. The
// encoding itself is text_encoding's; this adds the counts and the messages of a conversion.
#include "tools/convert/tabular_text.h"

#include <cstdio>
#include <cstring>

#include "foundation/status.h"
#include "tools/convert/text_encoding.h"

bool TabularTextNameIs(const pugi::xml_node &node, const char *name)
{
    return strcmp(node.name(), name) == 0;
}

bool TabularTextNameInList(const char *name, const char *const *list, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        if (strcmp(name, list[i]) == 0) {
            return true;
        }
    }
    return false;
}

std::string TabularTextOf(const pugi::xml_node &node)
{
    std::string text;
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        return node.value();
    }
    // Elements inside mixed content are words of their own.
    bool previousElement = false;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        bool element = child.type() == pugi::node_element;
        std::string part = TabularTextOf(child);
        if (!text.empty() && !part.empty() && (element || previousElement)) {
            text += ' ';
        }
        text += part;
        previousElement = element;
    }
    return text;
}

static std::string CodePointName(uint32_t c)
{
    char buf[48];
    std::string utf8;
    if (c < 0x80) {
        utf8 = std::string(1, (char)c);
    } else if (c < 0x800) {
        utf8 = {(char)(0xC0 | (c >> 6)), (char)(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
        utf8 = {(char)(0xE0 | (c >> 12)), (char)(0x80 | ((c >> 6) & 0x3F)),
                (char)(0x80 | (c & 0x3F))};
    } else {
        utf8 = {(char)(0xF0 | (c >> 18)), (char)(0x80 | ((c >> 12) & 0x3F)),
                (char)(0x80 | ((c >> 6) & 0x3F)), (char)(0x80 | (c & 0x3F))};
    }
    snprintf(buf, sizeof buf, "U+%04X", (unsigned)c);
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
        return std::string("control character ") + buf;
    }
    return "character '" + utf8 + "' (" + buf + ")";
}

int32_t TabularTextEncode(TabularState *conv, uint32_t index, const std::string &utf8,
                          std::string *out)
{
    TextEncodeResult result = {};
    int32_t status = TextEncode(utf8.c_str(), out, &result);
    if (status == ERR_INVVALUE) {
        *conv->error = TabularStateRecordName(conv, index) + ": " +
                        CodePointName(result.badCodePoint) + " cannot be written in Windows-1252";
        return status;
    }
    if (status == ERR_INVDATA) {
        char buf[16];
        snprintf(buf, sizeof buf, "0x%02X", (unsigned)result.badCodePoint);
        *conv->error = TabularStateRecordName(conv, index) + ": malformed UTF-8 at byte " + buf;
        return status;
    }
    if (status < 0) {
        *conv->error = TabularStateRecordName(conv, index) + ": text cannot be encoded";
        return status;
    }
    if (result.semicolons > 0) {
        conv->summary->semicolonTexts++;
        conv->summary->semicolonChars += result.semicolons;
    }
    return 0;
}

int32_t TabularTextAppendNote(TabularState *conv, uint32_t index, const std::string &utf8,
                              std::string *field)
{
    std::string item;
    int32_t status = TabularTextEncode(conv, index, utf8, &item);
    if (status < 0 || item.empty()) {
        return status;
    }
    *field += item;
    *field += "./";
    return 0;
}

int32_t TabularTextAppendNotes(TabularState *conv, uint32_t index,
                               const pugi::xml_node &container, std::string *field)
{
    for (pugi::xml_node note = container.child("note"); note; note = note.next_sibling("note")) {
        int32_t status = TabularTextAppendNote(conv, index, TabularTextOf(note), field);
        if (status < 0) {
            return status;
        }
    }
    return 0;
}
