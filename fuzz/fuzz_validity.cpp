// libFuzzer target: the validity check of typed codes and the 7th-character entry's parser, on
// the linked release. The first byte chooses: even, the rest is a typed code, whose answer must
// be consistent and the same when its normal form is checked again; odd, the rest is an entry
// for the parser, which either refuses it whole or gives definitions that all name records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "classification/code_validity.h"
#include "classification/record_table.h"
#include "classification/seventh_chars.h"
#include "foundation/status.h"

static RecordTable gTable = {};
static SeventhCharTable gChars = {};

static void CheckCode(const std::string &typed) {
    CodeCheckResult r;
    if (CodeCheck(&gTable, &gChars, typed.c_str(), &r) != 0) abort();
    if (strlen(r.code) > CODE_CHECK_CHARS) abort();
    if (r.validity == CODE_UNKNOWN) {
        if (r.kind != CODE_KIND_NONE) abort();
        return;
    }
    if (r.record <= 0 || (uint32_t)r.record >= gTable.recordCount) abort();
    bool complete = r.kind == CODE_KIND_COMPLETE;
    if (complete != (r.meaning != nullptr) || (complete && r.validity != CODE_BILLABLE)) abort();
    CodeCheckResult again;
    CodeCheck(&gTable, &gChars, r.code, &again);
    if (again.validity != r.validity || again.record != r.record || strcmp(again.code, r.code)) {
        abort();
    }
    char title[64];
    CodeCheckTitle(&gTable, &r, title, (int32_t)sizeof title - 1);
}

static void ParseEntry(const std::string &text) {
    SeventhCharTable chars = {};
    int32_t status = SeventhCharParse(&chars, &gTable, text.data(), (int32_t)text.size());
    if (status != 0 && status != ERR_INVDATA) abort();
    if (status != 0) {
        if (chars.defs != nullptr || chars.text != nullptr) abort();
        return;
    }
    for (int32_t i = 0; i < chars.defCount; i++) {
        const SeventhCharDef *d = &chars.defs[i];
        if (d->record <= 0 || (uint32_t)d->record >= gTable.recordCount) abort();
        if (d->charCount < 1 || d->firstChar + d->charCount > chars.charCount) abort();
    }
    for (uint32_t i = 0; i < gTable.recordCount; i += 97) {
        SeventhCharAllowed(&chars, &gTable, (int32_t)i, 'A');
    }
    SeventhCharFree(&chars);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (gTable.records == nullptr) {
        if (RecordTableLoad(&gTable, "engtextrecords.dat") < 0) abort();
        if (SeventhCharLoad(&gChars, &gTable) < 0) abort();
    }
    if (size == 0 || size > 20000) return 0;
    std::string rest(reinterpret_cast<const char *>(data + 1), size - 1);
    if (data[0] % 2 == 0) {
        CheckCode(rest.substr(0, strnlen(rest.c_str(), rest.size())));
    } else {
        ParseEntry(rest);
    }
    return 0;
}
