// libFuzzer target: arbitrary bytes parsed as the later releases' changes entry; every change
// of an accepted entry looked up again by its code and by its prefixes. Any crash, sanitizer
// report or disagreement is a bug.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "classification/release_changes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > (1u << 20)) {
        return 0;
    }
    // An exact-size copy, so that any read past the block is caught.
    char *bytes = static_cast<char *>(malloc(size ? size : 1));
    memcpy(bytes, data, size);
    ReleaseChanges changes = {};
    if (ReleaseChangesParse(&changes, bytes, (int32_t)size) == 0) {
        for (int32_t i = 0; i < changes.changeCount && i < 64; i++) {
            const ReleaseChange *c = ReleaseChangesAt(&changes, i);
            if (c->release < 0 || c->release >= changes.releaseCount || c->title[0] == '\0' ||
                ReleaseChangeKindName(c->kind)[0] == '\0' ||
                ReleaseChangesReleaseLabel(&changes, c->release)[0] == '\0') {
                abort();
            }
            char code[CHANGE_CODE_CHARS + 1];
            if (ReleaseChangesNormalize(c->code, code) != 0 || strcmp(code, c->code) != 0) {
                abort();
            }
            int32_t first = -1;
            int32_t exact = ReleaseChangesFind(&changes, c->code, RELEASE_MATCH_CODE, &first, 1);
            int32_t below = ReleaseChangesFind(&changes, c->code, RELEASE_MATCH_PREFIX, nullptr, 0);
            if (exact < 1 || first > i || below < exact) {
                abort();
            }
            // A shorter prefix of a code matches at least as much.
            char shorter[CHANGE_CODE_CHARS + 1];
            memcpy(shorter, c->code, sizeof shorter);
            shorter[3] = '\0';
            if (ReleaseChangesFind(&changes, shorter, RELEASE_MATCH_PREFIX, nullptr, 0) < below) {
                abort();
            }
        }
    } else if (changes.changes != nullptr || changes.text != nullptr || changes.changeCount != 0) {
        abort();
    }
    ReleaseChangesFree(&changes);
    free(bytes);
    return 0;
}
