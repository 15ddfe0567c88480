// libFuzzer target: CodeRefLength at every position of an arbitrary text. The result must stay
// within the text and within the known forms; reads past the terminator are caught by ASan.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "classification/code_refs.h"
#include "foundation/status.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    char *text = static_cast<char *>(malloc(size + 1));
    memcpy(text, data, size);
    text[size] = '\0';
    size_t length = strlen(text);
    for (size_t q = 0; q <= length; q++) {
        int32_t n = CodeRefLength(text + q);
        if (n == ERR_INVDATA || n == 0) {
            continue;
        }
        if (n < 3 || n > MAX_CODE_REF_CHARS || (size_t)n > length - q) {
            abort();
        }
    }
    free(text);
    return 0;
}
