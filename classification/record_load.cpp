// Loading the record table from the archive linked into the program. Kept apart from the parser
// so that programs parsing other blocks (tests, fuzzers) need not link the archive image.
#include "archive/embedded_archive.h"
#include "code_refs.h"
#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "record_table.h"

int32_t LoadTextRecords(const char *name, uint32_t *count, TextRecord **records) {
    if (name == nullptr || count == nullptr || records == nullptr) {
        return ERR_NULLPTR;
    }
    int32_t size = 0;
    char *bytes = nullptr;
    int32_t status = PakLoadEmbeddedEntry(name, &size, &bytes);
    if (status < 0) {
        ErrorPrint("failed to load text record data: %.32s", StatusName(status));
        return status;
    }
    status = ParseTextRecords(bytes, size, count, records);
    MemFree(bytes);
    return status < 0 ? status : 0;
}

int32_t RecordTableLoad(RecordTable *table, const char *name) {
    if (table == nullptr || name == nullptr) {
        return ERR_NULLPTR;
    }
    uint32_t count = 0;
    TextRecord *records = nullptr;
    int32_t status = LoadTextRecords(name, &count, &records);
    if (status < 0) {
        return status;
    }
    table->recordCount = count;
    table->records = records;
    table->codeIndex = nullptr;
    CodeIndexBuild(table);
    return 0;
}
