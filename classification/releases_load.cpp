// The releases and the newest release's table from the archive linked into the program, apart
// from the rest so that programs working on other blocks need not link the archive image.
#include "foundation/status.h"
#include "releases.h"

int32_t ReleasesLoad(Releases *releases) {
    if (releases == nullptr) return ERR_NULLPTR;
    ReleaseChanges changes = {};
    int32_t status = ReleaseChangesLoad(&changes);
    if (status < 0) return status;
    return ReleasesFromChanges(releases, &changes);
}

int32_t ReleasesLoadTable(Releases *releases, RecordTable *table, SeventhCharTable *chars) {
    if (releases == nullptr || table == nullptr || chars == nullptr) return ERR_NULLPTR;
    int32_t status = RecordTableLoad(table, "engtextrecords.dat");
    if (status >= 0) status = SeventhCharLoad(chars, table);
    if (status >= 0) status = ReleasesLoad(releases);
    if (status >= 0) status = ReleasesApply(releases, ReleasesNewest(releases), table, chars);
    if (status < 0) {
        ReleasesFree(releases);
        SeventhCharFree(chars);
        RecordTableFree(table);
    }
    return status < 0 ? status : 0;
}
