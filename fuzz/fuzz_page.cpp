// libFuzzer target: page composition over arbitrary note text in a small table whose codes the
// text may name. Pieces must stay within the viewer's buffer, links within the table, and every
// recorded link must name an existing code.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "classification/code_refs.h"
#include "classification/page_compose.h"
#include "classification/page_ref.h"
#include "classification/record_table.h"

namespace {

void AddRecord(std::string &out, uint32_t index, const std::string &line) {
    unsigned char header[12] = {1, 0xE7, 0, 0};
    memcpy(header + 4, &index, 4);
    out.append(reinterpret_cast<char *>(header), 12);
    out += line;
    out += '\n';
}

void Write(void *context, const char *text, int32_t length) {
    if (length < 1 || length > VIEW_PIECE_CHARS || text[length] != '\0' ||
        strlen(text) != (size_t)length) {
        abort();
    }
    *static_cast<size_t *>(context) += (size_t)length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 100000) {
        return 0;
    }
    // The input's bytes become the notes of record 3; ';' splits them into fields and a line
    // feed or carriage return would end or break the line, so those are mapped to blanks.
    std::string note(reinterpret_cast<const char *>(data), size);
    for (char &c : note) {
        if (c == '\n' || c == '\r' || c == '\0') {
            c = ' ';
        }
    }
    std::string file;
    AddRecord(file, 0, "ICD10CM.tabular;");
    AddRecord(file, 1, "A00;Cholera");
    AddRecord(file, 2, "B20*;Marked");
    AddRecord(file, 3, "A00.0;" + note);
    AddRecord(file, 4, note);
    unsigned char end[12] = {0, 0xE7, 0, 0x80, 0xFF, 0xE0, 0xF5, 0x05, 0xFF, 0xFF, 0xFF, 0xFF};
    file.append(reinterpret_cast<char *>(end), 12);

    RecordTable table = {};
    if (ParseTextRecords(file.data(), (int32_t)file.size(), &table.recordCount, &table.records) !=
        0) {
        abort();
    }
    CodeIndexBuild(&table);
    const int32_t capacity = 2000 + (int32_t)(size % 9000);
    char *text = static_cast<char *>(malloc((size_t)capacity + 1));
    char *scratch = static_cast<char *>(malloc((size_t)capacity + 1));
    PageWorkspace workspace = {text, scratch, capacity};
    static LinkTable links;
    size_t written = 0;
    PageSink sink = {&written, nullptr, nullptr, nullptr, Write};
    for (uint32_t r = 3; r <= 4; r++) {
        if (ComposeRecordPage(&table, PAGE_KIND_RECORD, &table.records[r], &workspace, &links,
                              &sink) != 0 ||
            links.linkCount > MAX_LINKS) {
            abort();
        }
        for (uint16_t i = 0; i < links.linkCount; i++) {
            if (CodeExists(&table, PAGE_KIND_RECORD, links.links[i].code) == 0) {
                abort();
            }
        }
    }
    free(scratch);
    free(text);
    RecordTableFree(&table);
    return 0;
}
