// Turns the ICD-10-CM tabular list XML into the record file: parses it, has the tree build the
// records, then writes them and gathers the summary's counts and extremes.
#include "tools/convert/tabular_converter.h"

#include <unordered_map>

#include <pugixml.hpp>

#include "foundation/status.h"
#include "tools/convert/record_writer.h"
#include "tools/convert/tabular_state.h"
#include "tools/convert/tabular_text.h"
#include "tools/convert/tabular_tree.h"

static void NoteLongest(TabularState *conv, uint32_t index, const std::string &line)
{
    ConvertSummary *sum = conv->summary;
    const TabularRecord &rec = conv->records[index];
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
            sum->warnings.push_back(TabularStateRecordName(conv, index) + ": field " +
                                    std::to_string(f) + " has " + std::to_string(length) +
                                    " characters; the viewer shows the first 8192");
        }
    }
}

static int32_t WriteRecords(TabularState *conv, std::string *output)
{
    std::unordered_map<std::string, uint32_t> firstByCode;
    for (uint32_t i = 0; i < conv->records.size(); i++) {
        const TabularRecord &rec = conv->records[i];
        std::string line = rec.fields[0];
        for (uint32_t f = 1; f < CONVERT_FIELD_COUNT; f++) {
            line += ';';
            line += rec.fields[f];
        }
        RecordHeader header = {rec.level, (uint16_t)(rec.hasChildren ? 0 : RECORD_FLAG_LEAF), i,
                               rec.parent};
        int32_t status = RecordWriterAppend(output, &header, line);
        if (status == ERR_TOOLONG) {
            *conv->error = TabularStateRecordName(conv, i) + ": line of " +
                           std::to_string(line.size()) + " bytes; the loader keeps only " +
                           std::to_string(MAX_LINE_CHARS);
        } else if (status < 0) {
            *conv->error = TabularStateRecordName(conv, i) + ": record cannot be written";
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
            conv->summary->warnings.push_back(
                TabularStateRecordName(conv, i) + ": code also used by " +
                TabularStateRecordName(conv, inserted.first->second));
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
    if (!TabularTextNameIs(tabular, TABULAR_ROOT_CODE)) {
        *error = std::string("root element is <") + tabular.name() + ">, not <" +
                 TABULAR_ROOT_CODE + ">";
        return ERR_INVFORMAT;
    }
    TabularState conv;
    conv.summary = summary;
    conv.error = error;
    conv.xml = xml;
    std::string bytes;
    int32_t status = TabularTreeAdd(&conv, tabular);
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
