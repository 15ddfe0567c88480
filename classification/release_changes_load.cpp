// Loading the later releases' changes from the archive linked into the program, apart from the
// parser so that programs parsing other blocks (tests, fuzzers) need not link the archive image.
#include <cstring>

#include "archive/embedded_archive.h"
#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "release_changes.h"

int32_t ReleaseChangesLoad(ReleaseChanges *changes) {
    if (changes == nullptr) {
        return ERR_NULLPTR;
    }
    memset(changes, 0, sizeof *changes);
    int32_t size = 0;
    char *bytes = nullptr;
    int32_t status = PakLoadEmbeddedEntry(RELEASE_CHANGES_ENTRY, &size, &bytes);
    if (status < 0) {
        ErrorPrint("failed to load the later releases' changes: %.32s", StatusName(status));
        return status;
    }
    status = ReleaseChangesParse(changes, bytes, size);
    MemFree(bytes);
    return status;
}
