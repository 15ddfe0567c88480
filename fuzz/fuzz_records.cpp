// libFuzzer target: arbitrary bytes parsed as a record file; every field of every record read,
// and code lookups with and without the index compared on the codes found. Any crash, sanitizer
// report or disagreement is a bug.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "classification/record_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > (1u << 24)) {
        return 0;
    }
    // An exact-size copy, so that any read past the block is caught.
    char *bytes = static_cast<char *>(malloc(size ? size : 1));
    memcpy(bytes, data, size);
    RecordTable table = {};
    if (ParseTextRecords(bytes, (int32_t)size, &table.recordCount, &table.records) == 0) {
        size_t total = 0;
        for (uint32_t i = 0; i < table.recordCount; i++) {
            for (uint32_t j = 0; j <= MAX_RECORD_FIELDS; j++) {
                total += strlen(RecordField(&table.records[i], j));
            }
        }
        RecordTable scanned = table;
        CodeIndexBuild(&table);
        for (uint32_t i = 0; i < table.recordCount && i < 64; i++) {
            const char *code = RecordField(&table.records[i], FIELD_CODE);
            if (CodeExists(&table, PAGE_KIND_RECORD, code) !=
                    CodeExists(&scanned, PAGE_KIND_RECORD, code) ||
                FindRecordByCode(&table, PAGE_KIND_RECORD, code) !=
                    FindRecordByCode(&scanned, PAGE_KIND_RECORD, code)) {
                abort();
            }
        }
        (void)total;
        RecordTableFree(&table);
    }
    free(bytes);
    return 0;
}
