// Bounded string copy and append with strncpy semantics and a guaranteed terminator.
#include "str_bounded.h"

#include <cstring>

char *StrCopyBounded(char *dest, const char *src, int32_t n) {
    if (dest == nullptr || n < 0) {
        return dest;
    }
    if (src == nullptr) {
        src = "";
    }
    strncpy(dest, src, (size_t)n);
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
        strncpy(dest + len, src, (size_t)size - len);
        dest[size] = '\0';
    }
    return dest;
}
