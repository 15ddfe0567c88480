// libFuzzer target: the edits entry's reader. Any text is refused whole (leaving the table
// zero-filled) or read into rows sorted by code, each looked up again, with HCCs that have labels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "edits/edits_table.h"
#include "edits/edits_words.h"
#include "foundation/status.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 100000) return 0;
    EditsTable t = {};
    int32_t status = EditsParse(&t, reinterpret_cast<const char *>(data), (int32_t)size);
    if (status != 0) {
        if (status != ERR_INVDATA || t.codes != nullptr || t.text != nullptr) abort();
        return 0;
    }
    char line[EDITS_LINE_CHARS + 1];
    for (int32_t i = 0; i < t.codeCount; i++) {
        const EditsCode *c = &t.codes[i];
        if (i > 0 && strcmp(t.codes[i - 1].code, c->code) >= 0) abort();
        if (EditsFind(&t, c->code) != c) abort();
        for (int32_t k = 0; k < EDITS_MAX_HCCS; k++) {
            if (c->hccs[k] != 0 && EditsHccLabel(&t, c->hccs[k])[0] == '\0') abort();
        }
        for (int32_t list = 0; list < EDITS_LISTS; list++) {
            EditsLine(&t, (EditsListKind)list, c->code, 2023, line);
            EditsColumn(&t, (EditsListKind)list, c->code, 2023, line);
        }
    }
    int32_t hccs[8] = {1, 2, 3, 37, 38, 224, 226, 92};
    if (EditsHccApply(&t, hccs, 8) > 8) abort();
    EditsFree(&t);
    return 0;
}
