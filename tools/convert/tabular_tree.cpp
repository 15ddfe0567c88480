// The record tree of the tabular list: one record per chapter, section and <diag>, in document
// order under one root, each with its code and title (its notes from tabular_notes).
#include "tools/convert/tabular_tree.h"

#include <iterator>

#include "foundation/status.h"
#include "tools/convert/record_writer.h"
#include "tools/convert/tabular_notes.h"
#include "tools/convert/tabular_text.h"

// Children of the root written nowhere: the introduction explains the notations rather than
// classifying anything.
static const char *const kIgnoredRootChildren[] = {"version", "introduction"};

// Code of a chapter: the range in parentheses that ends its title, as in "... (A00-B99)".
static bool ChapterRange(const std::string &title, std::string *range)
{
    if (title.empty() || title.back() != ')') {
        return false;
    }
    size_t open = title.rfind('(');
    if (open == std::string::npos || open + 2 >= title.size()) {
        return false;
    }
    *range = title.substr(open + 1, title.size() - open - 2);
    return range->find(' ') == std::string::npos;
}

static int32_t StartRecord(TabularState *conv, uint8_t level, uint32_t parent,
                           const char *rawCode, uint32_t *index)
{
    if (conv->records.size() >= END_RECORD_INDEX) {
        *conv->error = "too many records";
        return ERR_TOOMANY;
    }
    *index = (uint32_t)conv->records.size();
    conv->records.emplace_back();
    TabularRecord &rec = conv->records.back();
    rec.level = level;
    rec.parent = parent;
    rec.hasChildren = false;
    rec.rawCode = rawCode;
    if (parent != RECORD_NO_PARENT) {
        conv->records[parent].hasChildren = true;
    }
    conv->summary->levelCounts[level]++;
    return 0;
}

static int32_t AddElement(TabularState *conv, const pugi::xml_node &element, uint32_t parent);

// Records for the <section> and <diag> children of element, in document order.
static int32_t AddChildElements(TabularState *conv, const pugi::xml_node &element,
                                uint32_t index)
{
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (TabularTextNameIs(child, "section") || TabularTextNameIs(child, "diag")) {
            int32_t status = AddElement(conv, child, index);
            if (status < 0) {
                return status;
            }
        }
    }
    return 0;
}

// One record for a <chapter>, <section> or <diag>, then its children's records.
static int32_t AddElement(TabularState *conv, const pugi::xml_node &element, uint32_t parent)
{
    uint32_t level = conv->records[parent].level + 1u;
    if (level >= CONVERT_MAX_LEVELS) {
        *conv->error = TabularStateRecordName(conv, parent) + ": nested too deeply";
        return ERR_INVFORMAT;
    }
    bool chapter = TabularTextNameIs(element, "chapter");
    bool section = TabularTextNameIs(element, "section");
    std::string rawCode;
    if (chapter) {
        rawCode = "chapter " + TabularTextOf(element.child("name"));
    } else if (section) {
        rawCode = element.attribute("id").value();
    } else {
        rawCode = TabularTextOf(element.child("name"));
    }
    uint32_t index = 0;
    int32_t status = StartRecord(conv, (uint8_t)level, parent, rawCode.c_str(), &index);
    if (status < 0) {
        return status;
    }
    std::string title;
    std::string code;
    status = TabularTextEncode(conv, index, TabularTextOf(element.child("desc")), &title);
    if (status == 0) {
        status = TabularTextEncode(conv, index, chapter ? std::string() : rawCode, &code);
    }
    if (status < 0) {
        return status;
    }
    if (chapter) {
        conv->summary->chapterCount++;
        if (!ChapterRange(title, &code)) {
            *conv->error = TabularStateRecordName(conv, index) +
                           ": <desc> does not end in a code range in parentheses";
            return ERR_INVFORMAT;
        }
    } else if (section) {
        conv->summary->sectionCount++;
        // A section of one category is named by that category alone; giving it a range keeps a
        // bare category code naming the category.
        if (!code.empty() && code.find('-') == std::string::npos) {
            code = code + "-" + code;
        }
    } else {
        conv->summary->codeCount++;
    }
    if (code.empty()) {
        *conv->error =
            TabularStateRecordName(conv, index) + ": <" + element.name() + "> without a code";
        return ERR_INVFORMAT;
    }
    conv->records[index].fields[0] = code;
    conv->records[index].fields[1] = title;
    status = TabularNotesAdd(conv, index, element);
    if (status < 0) {
        return status;
    }
    return AddChildElements(conv, element, index);
}

int32_t TabularTreeAdd(TabularState *conv, const pugi::xml_node &tabular)
{
    uint32_t root = 0;
    int32_t status = StartRecord(conv, 0, RECORD_NO_PARENT, TABULAR_ROOT_CODE, &root);
    if (status < 0) {
        return status;
    }
    conv->records[root].fields[0] = TABULAR_ROOT_CODE;
    for (pugi::xml_node child = tabular.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        if (TabularTextNameIs(child, "chapter")) {
            status = AddElement(conv, child, root);
            if (status < 0) {
                return status;
            }
        } else if (!TabularTextNameInList(child.name(), kIgnoredRootChildren,
                                          std::size(kIgnoredRootChildren))) {
            return TabularStateUnknownElement(conv, root, child);
        }
    }
    return 0;
}
