// libFuzzer target: arbitrary bytes parsed as a record file; every field of every record read,
// code lookups with and without the index compared on the codes found, and the search compared
// with a field-by-field scan. Any crash, sanitizer report or disagreement is a bug.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "classification/code_refs.h"
#include "classification/page_ref.h"
#include "classification/record_table.h"
#include "classification/search.h"

// Records with the word in a present field, one field at a time, as the search is defined.
static int32_t CountHits(const RecordTable *table, const char *word) {
    int32_t hits = 0;
    for (uint32_t i = 0; i < table->recordCount; i++) {
        for (uint32_t j = 0; j < MAX_RECORD_FIELDS; j++) {
            if (RecordFieldPresent(&table->records[i], j) &&
                StrFindNoCase(RecordField(&table->records[i], j), word) != nullptr) {
                hits++;
                break;
            }
        }
    }
    return hits;
}

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
        // A word taken from the input's last bytes, so that it often occurs in the records.
        char word[4] = {0};
        for (size_t k = 0; k < 3 && k < size; k++) {
            word[k] = (char)(data[size - 1 - k] ? data[size - 1 - k] : 'a');
        }
        if (word[0] != '\0') {
            SearchState search = {};
            SearchRecords(&search, &table, word, nullptr, nullptr);
            if (search.hitCount != CountHits(&table, word)) {
                abort();
            }
            ClearSearchResults(&search);
        }
        RecordTableFree(&table);
    }
    free(bytes);
    return 0;
}
