// Bounded string copy and append with strncpy semantics and a guaranteed terminator.
#include "str_bounded.h"

#include <cstring>

// strncpy's result with block operations: some C libraries (Wine's msvcrt among them) pad one
// byte at a time, and the pages pad 32 KB buffers about twenty times each.
static void CopyPadded(char *dest, const char *src, size_t n) {
    size_t len = strnlen(src, n);
    memcpy(dest, src, len);
    memset(dest + len, 0, n - len);
}

char *StrCopyBounded(char *dest, const char *src, int32_t n) {
    if (dest == nullptr || n < 0) {
        return dest;
    }
    if (src == nullptr) {
        src = "";
    }
    CopyPadded(dest, src, (size_t)n);
    dest[n] = '\0';
    return dest;
}

char *StrAppendBounded(char *dest, const char *src, int32_t size) {
    if (dest == nullptr || size < 0) {
        return dest;
    }
    if (src == nullptr) {
        src = "";
    }
    // The current length is only looked for within the bound: a destination already holding
    // size characters or more is left as it is.
    size_t len = strnlen(dest, (size_t)size + 1);
    if ((int64_t)size - (int64_t)len >= 1) {
        CopyPadded(dest + len, src, (size_t)size - len);
        dest[size] = '\0';
    }
    return dest;
}
