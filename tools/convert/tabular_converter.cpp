// Turns the ICD-10-CM tabular list XML into the record file: one record per chapter, section
// and <diag>, under one root, with the notes mapped to fields 2-8.
#include "tools/convert/tabular_converter.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include <pugixml.hpp>

#include "foundation/status.h"
#include "tools/convert/record_writer.h"
#include "tools/convert/text_encoding.h"

static const char kRootCode[] = "ICD10CM.tabular";

// Note containers that map straight to one field.
struct NoteField {
    const char *element;
    uint32_t field;
};
static const NoteField kNoteFields[] = {
    {"includes", 2}, {"useAdditionalCode", 3}, {"excludes1", 4},
    {"excludes2", 5}, {"codeFirst", 6}, {"codeAlso", 7},
};

// Field 8 is built from these groups in this order, whatever the order in the XML.
enum NotesGroup { GROUP_INCLUSION, GROUP_NOTES, GROUP_SEVENTH_NOTE, GROUP_SEVENTH_DEF,
                  GROUP_TABLE, GROUP_COUNT };

// Children written nowhere: a chapter's list of its sections repeats the sections, and the
// introduction explains the notations rather than classifying anything.
static const char *const kIgnoredChildren[] = {"sectionIndex"};
static const char *const kIgnoredRootChildren[] = {"version", "introduction"};
#define COUNT_OF(a) (sizeof(a) / sizeof *(a))

struct PendingRecord {
    uint8_t level;                             // depth, 0 for the root
    uint32_t parent;                           // parent index, RECORD_NO_PARENT for the root
    bool hasChildren;                          // set when a child record is added
    std::string fields[CONVERT_FIELD_COUNT];   // encoded fields
    std::string rawCode;                       // the code as in the XML, for messages
};

struct Converter {
    std::vector<PendingRecord> records;        // in file order
    ConvertSummary *summary;                   // counts being gathered
    std::string *error;                        // reason of a failure
    const char *xml;                           // the document's bytes, for line numbers
    std::string sevenChars;                    // lines of the 7th-character entry so far
};

static bool NameIs(const pugi::xml_node &node, const char *name)
{
    return strcmp(node.name(), name) == 0;
}

// Line (from 1) of the node's start in the document.
static size_t LineOf(const Converter *conv, const pugi::xml_node &node)
{
    size_t line = 1;
    ptrdiff_t end = node.offset_debug();
    for (ptrdiff_t i = 0; conv->xml != nullptr && i < end; i++) {
        line += conv->xml[i] == '\n';
    }
    return line;
}

static bool InList(const char *name, const char *const *list, size_t count)
{
    for (size_t i = 0; i < count; i++) {
        if (strcmp(name, list[i]) == 0) {
            return true;
        }
    }
    return false;
}

// All character data below node, in document order.
static std::string NodeText(const pugi::xml_node &node)
{
    std::string text;
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        return node.value();
    }
    // Elements inside mixed content are words of their own.
    bool previousElement = false;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        bool element = child.type() == pugi::node_element;
        std::string part = NodeText(child);
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

static std::string RecordName(const Converter *conv, uint32_t index)
{
    return "record " + std::to_string(index) + " (" + conv->records[index].rawCode + ")";
}

// Encodes utf8 and appends it to *out; on failure names the record and the character.
static int32_t Encode(Converter *conv, uint32_t index, const std::string &utf8, std::string *out)
{
    TextEncodeResult result = {};
    int32_t status = TextEncode(utf8.c_str(), out, &result);
    if (status == ERR_INVVALUE) {
        *conv->error = RecordName(conv, index) + ": " + CodePointName(result.badCodePoint) +
                       " cannot be written in Windows-1252";
        return status;
    }
    if (status == ERR_INVDATA) {
        char buf[16];
        snprintf(buf, sizeof buf, "0x%02X", (unsigned)result.badCodePoint);
        *conv->error = RecordName(conv, index) + ": malformed UTF-8 at byte " + buf;
        return status;
    }
    if (status < 0) {
        *conv->error = RecordName(conv, index) + ": text cannot be encoded";
        return status;
    }
    if (result.semicolons > 0) {
        conv->summary->semicolonTexts++;
        conv->summary->semicolonChars += result.semicolons;
    }
    return 0;
}

// Appends one note item (the text and "./") to *field; a note empty after trimming adds nothing.
static int32_t AddNote(Converter *conv, uint32_t index, const std::string &utf8,
                       std::string *field)
{
    std::string item;
    int32_t status = Encode(conv, index, utf8, &item);
    if (status < 0 || item.empty()) {
        return status;
    }
    *field += item;
    *field += "./";
    return 0;
}

static int32_t AddNoteChildren(Converter *conv, uint32_t index, const pugi::xml_node &container,
                               std::string *field)
{
    for (pugi::xml_node note = container.child("note"); note; note = note.next_sibling("note")) {
        int32_t status = AddNote(conv, index, NodeText(note), field);
        if (status < 0) {
            return status;
        }
    }
    return 0;
}

// 7th characters: one item per <extension>, "<char> <text>"; a <note> among them (an inclusion
// term of the extension before it) stays in its place as an item of its own.
// The same definition also becomes one line of the 7th-character entry: "D", the code, then
// each character and its meaning, tab-separated.
static int32_t AddSeventhCharacters(Converter *conv, uint32_t index, const pugi::xml_node &def,
                                    std::string *field)
{
    std::string line = "D\t" + conv->records[index].fields[0];
    int32_t count = 0;
    for (pugi::xml_node child = def.first_child(); child; child = child.next_sibling()) {
        int32_t status = 0;
        if (NameIs(child, "extension")) {
            std::string character = child.attribute("char").value();
            std::string meaning;
            if (character.size() != 1 || !isalnum((unsigned char)character[0])) {
                *conv->error = RecordName(conv, index) + ": line " +
                               std::to_string(LineOf(conv, child)) +
                               ": 7th character \"" + character + "\" is not one letter or digit";
                return ERR_INVFORMAT;
            }
            status = AddNote(conv, index, character + " " + NodeText(child), field);
            if (status == 0) {
                status = Encode(conv, index, NodeText(child), &meaning);
            }
            if (meaning.find('\t') != std::string::npos || meaning.empty()) {
                *conv->error = RecordName(conv, index) + ": line " +
                               std::to_string(LineOf(conv, child)) +
                               ": 7th character " + character + " without a meaning";
                return ERR_INVFORMAT;
            }
            line += "\t" + std::string(1, (char)toupper((unsigned char)character[0])) + "\t" +
                    meaning;
            count++;
        } else if (NameIs(child, "note")) {
            status = AddNote(conv, index, NodeText(child), field);
        } else if (child.type() == pugi::node_element) {
            *conv->error = RecordName(conv, index) + ": line " +
                           std::to_string(LineOf(conv, child)) + ": unknown element <" +
                           child.name() + "> in <sevenChrDef>";
            return ERR_INVFORMAT;
        }
        if (status < 0) {
            return status;
        }
    }
    if (count == 0) {
        *conv->error = RecordName(conv, index) + ": line " + std::to_string(LineOf(conv, def)) +
                       ": <sevenChrDef> without an <extension>";
        return ERR_INVFORMAT;
    }
    conv->sevenChars += line + "\n";
    return 0;
}

// A note saying that some 7th characters do not apply to some codes, as FY2023 has under S06:
// "7th characters D and S do not apply to codes in category S06 with 6th character 7 - death
// due to ..., or 8 - death due to ...". It becomes an "X" line of the 7th-character entry: code,
// the 6th characters, the excluded 7th characters. A note of that kind in any other wording
// stops the conversion, so that a newer release cannot silently lose a rule.
static int32_t AddSeventhExclusion(Converter *conv, uint32_t index, const pugi::xml_node &note)
{
    std::string text = NodeText(note);
    bool about = text.find("7th character") != std::string::npos &&
                 (text.find("not apply") != std::string::npos ||
                  text.find("not applicable") != std::string::npos);
    if (!about) {
        return 0;
    }
    std::string reason;
    std::string excluded;
    std::string sixth;
    std::string code;
    size_t at = text.find("7th character");
    size_t verb = text.find(" not apply", at);
    size_t in = text.find(" to codes in ", verb == std::string::npos ? 0 : verb);
    size_t with = text.find(" with 6th character ", in == std::string::npos ? 0 : in);
    if (at != 0 || verb == std::string::npos || in == std::string::npos ||
        with == std::string::npos) {
        reason = "a 7th-character rule in words the converter does not know";
    } else {
        // "7th characters D and S do": the single letters between the subject and the verb.
        for (size_t i = at + 13; i < verb; i++) {
            unsigned char c = (unsigned char)text[i];
            bool alone = isalnum(c) && !isalnum((unsigned char)text[i - 1]) &&
                         (i + 1 >= verb || !isalnum((unsigned char)text[i + 1]));
            if (alone) {
                excluded += (char)c;
            }
        }
        // "in category S06" or "in subcategory S06.0".
        size_t codeStart = text.find(' ', in + 13);
        code = codeStart == std::string::npos || codeStart > with
                   ? std::string()
                   : text.substr(codeStart + 1, with - codeStart - 1);
        // "with 6th character 7 - ..., or 8 - ...": each character before " - ".
        for (size_t i = with + 20; i + 2 < text.size(); i++) {
            unsigned char c = (unsigned char)text[i];
            bool alone = isalnum(c) && (text[i - 1] == ' ') && text.compare(i + 1, 2, " -") == 0;
            if (alone) {
                sixth += (char)c;
            }
        }
        bool known = false;
        for (const PendingRecord &rec : conv->records) {
            known = known || rec.fields[0] == code;
        }
        if (excluded.empty() || sixth.empty() || !known || excluded.size() > 15 ||
            sixth.size() > 15) {
            reason = "a 7th-character rule that cannot be read (characters \"" + excluded +
                     "\", code \"" + code + "\", 6th characters \"" + sixth + "\")";
        }
    }
    if (!reason.empty()) {
        *conv->error = RecordName(conv, index) + ": line " + std::to_string(LineOf(conv, note)) +
                       ": " + reason + ": " + text;
        return ERR_INVFORMAT;
    }
    conv->sevenChars += "X\t" + code + "\t" + sixth + "\t" + excluded + "\n";
    return 0;
}

// The visual impairment table of H54: one item per row, "label: max / min, max / min, ...", so
// the notes that refer to "the table below" still find it.
static int32_t AddTable(Converter *conv, uint32_t index, const pugi::xml_node &table,
                        std::string *field)
{
    for (pugi::xml_node row = table.first_child(); row; row = row.next_sibling()) {
        std::string label = NodeText(row.child("heading"));
        if (row.child("value")) {
            label = "Category " + NodeText(row.child("value"));
        }
        std::string ranges;
        for (pugi::xml_node range = row.child("visRange"); range;
             range = range.next_sibling("visRange")) {
            std::string text = NodeText(range.child("heading"));
            text += " " + NodeText(range.child("visMax"));
            if (range.child("visMin")) {
                text += " / " + NodeText(range.child("visMin"));
            }
            ranges += ranges.empty() ? "" : ", ";
            ranges += text;
        }
        int32_t status = AddNote(conv, index, label + ": " + ranges, field);
        if (status < 0) {
            return status;
        }
    }
    return 0;
}

// An element the converter does not know stops it: left out, its text would be a note the
// program silently lacks.
static int32_t UnknownElement(Converter *conv, uint32_t index, const pugi::xml_node &element)
{
    *conv->error = "line " + std::to_string(LineOf(conv, element)) + ": unknown element <" +
                   element.name() + "> in " + RecordName(conv, index);
    return ERR_INVFORMAT;
}

// Fills fields 2-8 of record index from the element's own note containers.
static int32_t AddNotes(Converter *conv, uint32_t index, const pugi::xml_node &element)
{
    std::string groups[GROUP_COUNT];
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        const char *name = child.name();
        int32_t status = 0;
        bool known = true;
        std::string *field = nullptr;
        for (const NoteField &nf : kNoteFields) {
            if (strcmp(name, nf.element) == 0) {
                field = &conv->records[index].fields[nf.field];
            }
        }
        if (field != nullptr) {
            status = AddNoteChildren(conv, index, child, field);
        } else if (NameIs(child, "inclusionTerm")) {
            status = AddNoteChildren(conv, index, child, &groups[GROUP_INCLUSION]);
        } else if (NameIs(child, "notes")) {
            status = AddNoteChildren(conv, index, child, &groups[GROUP_NOTES]);
            for (pugi::xml_node note = child.child("note"); note && status == 0;
                 note = note.next_sibling("note")) {
                status = AddSeventhExclusion(conv, index, note);
            }
        } else if (NameIs(child, "sevenChrNote")) {
            status = AddNoteChildren(conv, index, child, &groups[GROUP_SEVENTH_NOTE]);
        } else if (NameIs(child, "sevenChrDef")) {
            status = AddSeventhCharacters(conv, index, child, &groups[GROUP_SEVENTH_DEF]);
        } else if (NameIs(child, "visualImpairment")) {
            status = AddTable(conv, index, child, &groups[GROUP_TABLE]);
        } else {
            known = NameIs(child, "name") || NameIs(child, "desc") || NameIs(child, "section") ||
                    NameIs(child, "diag") ||
                    InList(name, kIgnoredChildren, COUNT_OF(kIgnoredChildren));
        }
        if (status < 0) {
            return status;
        }
        if (!known) {
            return UnknownElement(conv, index, child);
        }
    }
    std::string &notes = conv->records[index].fields[8];
    for (const std::string &group : groups) {
        notes += group;
    }
    return 0;
}

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

static int32_t StartRecord(Converter *conv, uint8_t level, uint32_t parent, const char *rawCode,
                           uint32_t *index)
{
    if (conv->records.size() >= END_RECORD_INDEX) {
        *conv->error = "too many records";
        return ERR_TOOMANY;
    }
    *index = (uint32_t)conv->records.size();
    conv->records.emplace_back();
    PendingRecord &rec = conv->records.back();
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

static int32_t AddElement(Converter *conv, const pugi::xml_node &element, uint32_t parent);

// Records for the <section> and <diag> children of element, in document order.
static int32_t AddChildElements(Converter *conv, const pugi::xml_node &element, uint32_t index)
{
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (NameIs(child, "section") || NameIs(child, "diag")) {
            int32_t status = AddElement(conv, child, index);
            if (status < 0) {
                return status;
            }
        }
    }
    return 0;
}

// One record for a <chapter>, <section> or <diag>, then its children's records.
static int32_t AddElement(Converter *conv, const pugi::xml_node &element, uint32_t parent)
{
    uint32_t level = conv->records[parent].level + 1u;
    if (level >= CONVERT_MAX_LEVELS) {
        *conv->error = RecordName(conv, parent) + ": nested too deeply";
        return ERR_INVFORMAT;
    }
    bool chapter = NameIs(element, "chapter");
    bool section = NameIs(element, "section");
    std::string rawCode;
    if (chapter) {
        rawCode = "chapter " + NodeText(element.child("name"));
    } else if (section) {
        rawCode = element.attribute("id").value();
    } else {
        rawCode = NodeText(element.child("name"));
    }
    uint32_t index = 0;
    int32_t status = StartRecord(conv, (uint8_t)level, parent, rawCode.c_str(), &index);
    if (status < 0) {
        return status;
    }
    std::string title;
    std::string code;
    status = Encode(conv, index, NodeText(element.child("desc")), &title);
    if (status == 0) {
        status = Encode(conv, index, chapter ? std::string() : rawCode, &code);
    }
    if (status < 0) {
        return status;
    }
    if (chapter) {
        conv->summary->chapterCount++;
        if (!ChapterRange(title, &code)) {
            *conv->error = RecordName(conv, index) +
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
        *conv->error = RecordName(conv, index) + ": <" + element.name() + "> without a code";
        return ERR_INVFORMAT;
    }
    conv->records[index].fields[0] = code;
    conv->records[index].fields[1] = title;
    status = AddNotes(conv, index, element);
    if (status < 0) {
        return status;
    }
    return AddChildElements(conv, element, index);
}

static int32_t AddTabular(Converter *conv, const pugi::xml_node &tabular)
{
    uint32_t root = 0;
    int32_t status = StartRecord(conv, 0, RECORD_NO_PARENT, kRootCode, &root);
    if (status < 0) {
        return status;
    }
    conv->records[root].fields[0] = kRootCode;
    for (pugi::xml_node child = tabular.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        if (NameIs(child, "chapter")) {
            status = AddElement(conv, child, root);
            if (status < 0) {
                return status;
            }
        } else if (!InList(child.name(), kIgnoredRootChildren, COUNT_OF(kIgnoredRootChildren))) {
            return UnknownElement(conv, root, child);
        }
    }
    return 0;
}

static void NoteLongest(Converter *conv, uint32_t index, const std::string &line)
{
    ConvertSummary *sum = conv->summary;
    const PendingRecord &rec = conv->records[index];
    if (line.size() > sum->longestLine) {
        sum->longestLine = (uint32_t)line.size();
        sum->longestLineRecord = index;
        sum->longestLineCode = rec.fields[0];
    }
    for (uint32_t f = 0; f < CONVERT_FIELD_COUNT; f++) {
        uint32_t length = (uint32_t)rec.fields[f].size();
        if (length > sum->longestField) {
            sum->longestField = length;
            sum->longestFieldRecord = index;
            sum->longestFieldNumber = f;
            sum->longestFieldCode = rec.fields[0];
        }
        if (length > CONVERT_VIEWER_FIELD_CHARS) {
            sum->warnings.push_back(RecordName(conv, index) + ": field " + std::to_string(f) +
                                    " has " + std::to_string(length) +
                                    " characters; the viewer shows the first 8192");
        }
    }
}

static int32_t WriteRecords(Converter *conv, std::string *output)
{
    std::unordered_map<std::string, uint32_t> firstByCode;
    for (uint32_t i = 0; i < conv->records.size(); i++) {
        const PendingRecord &rec = conv->records[i];
        std::string line = rec.fields[0];
        for (uint32_t f = 1; f < CONVERT_FIELD_COUNT; f++) {
            line += ';';
            line += rec.fields[f];
        }
        RecordHeader header = {rec.level, (uint16_t)(rec.hasChildren ? 0 : RECORD_FLAG_LEAF), i,
                               rec.parent};
        int32_t status = RecordWriterAppend(output, &header, line);
        if (status == ERR_TOOLONG) {
            *conv->error = RecordName(conv, i) + ": line of " + std::to_string(line.size()) +
                           " bytes; the loader keeps only " + std::to_string(MAX_LINE_CHARS);
        } else if (status < 0) {
            *conv->error = RecordName(conv, i) + ": record cannot be written";
        }
        if (status < 0) {
            return status;
        }
        if (!rec.hasChildren) {
            conv->summary->leafCount++;
        }
        NoteLongest(conv, i, line);
        auto inserted = firstByCode.emplace(rec.fields[0], i);
        if (!inserted.second) {
            conv->summary->duplicateCodes++;
            conv->summary->warnings.push_back(RecordName(conv, i) + ": code also used by " +
                                              RecordName(conv, inserted.first->second));
        }
    }
    conv->summary->recordCount = (uint32_t)conv->records.size();
    return RecordWriterEnd(output);
}

int32_t ConvertTabularXml(const char *xml, size_t size, std::string *output,
                          ConvertSummary *summary, std::string *error, std::string *sevenChars)
{
    if (xml == nullptr || output == nullptr || summary == nullptr || error == nullptr) {
        return ERR_NULLPTR;
    }
    *summary = ConvertSummary();
    error->clear();
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(xml, size, pugi::parse_default);
    if (!parsed) {
        size_t end = parsed.offset > 0 && (size_t)parsed.offset < size ? (size_t)parsed.offset
                                                                        : size;
        size_t line = 1;
        for (size_t i = 0; i < end; i++) {
            line += xml[i] == '\n';
        }
        *error = std::string("XML error at line ") + std::to_string(line) + ": " +
                 parsed.description();
        return ERR_INVFORMAT;
    }
    pugi::xml_node tabular = doc.document_element();
    if (!NameIs(tabular, kRootCode)) {
        *error = std::string("root element is <") + tabular.name() + ">, not <" + kRootCode + ">";
        return ERR_INVFORMAT;
    }
    Converter conv;
    conv.summary = summary;
    conv.error = error;
    conv.xml = xml;
    std::string bytes;
    int32_t status = AddTabular(&conv, tabular);
    if (status == 0) {
        status = WriteRecords(&conv, &bytes);
    }
    if (status < 0) {
        return status;
    }
    summary->outputBytes = bytes.size();
    output->swap(bytes);
    if (sevenChars != nullptr) {
        sevenChars->swap(conv.sevenChars);
    }
    return 0;
}
