// libFuzzer target: the releases on the linked data and on fuzzed changes. The first byte
// chooses: 0, the rest is a date of service, which either is refused or reads back the same; 1,
// a typed code checked against the release the second byte picks, whose answer must agree with
// itself; 2, a changes entry, which either is refused whole or gives releases in date order whose
// every code has a state in each.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "classification/releases.h"
#include "foundation/status.h"

static RecordTable gTable = {};
static SeventhCharTable gChars = {};
static Releases gReleases = {};

static void Date(const std::string &text) {
    int32_t date = 0;
    int32_t status = ReleaseDateParse(text.c_str(), &date);
    if (status != 0) {
        if (status != ERR_INVVALUE) abort();
        return;
    }
    char iso[11];
    if (text != ReleaseDateIso(date, iso)) abort();
    int32_t release = ReleasesForDate(&gReleases, date);
    if (release >= 0 && (date < gReleases.info[release].from || date > gReleases.info[release].to))
        abort();
    if (release < 0 && release != ERR_OUTOFRANGE) abort();
}

static void Code(const std::string &typed, int32_t release) {
    ReleaseCheckResult r;
    if (ReleasesCheck(&gReleases, release, &gTable, &gChars, typed.c_str(), &r) != 0) abort();
    bool elsewhere = r.status == RELEASE_DELETED || r.status == RELEASE_NOT_YET_VALID;
    if (elsewhere != (r.other >= 0)) abort();
    if (r.status == RELEASE_DELETED && r.other >= release) abort();
    if (r.status == RELEASE_NOT_YET_VALID && r.other <= release) abort();
    char title[64];
    ReleasesCheckTitle(&gTable, &r, title, (int32_t)sizeof title - 1);
}

static void Entry(const std::string &text) {
    ReleaseChanges changes = {};
    if (ReleaseChangesParse(&changes, text.data(), (int32_t)text.size()) != 0) return;
    Releases releases = {};
    int32_t status = ReleasesFromChanges(&releases, &changes);
    if (changes.changes != nullptr || changes.text != nullptr) abort();
    if (status != 0) {
        if (status != ERR_INVDATA || releases.count != 0 || releases.states != nullptr) abort();
        return;
    }
    for (int32_t k = 0; k + 1 < releases.count; k++) {
        if (releases.info[k].to >= releases.info[k + 1].from) abort();
    }
    for (int32_t i = 0; i < releases.codeCount; i++) {
        const ReleaseCodeState *row = ReleasesCodeStates(&releases, releases.codes[i]);
        if (row == nullptr || row[releases.count - 1].title == nullptr) abort();
    }
    ReleasesFree(&releases);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (gTable.records == nullptr && ReleasesLoadTable(&gReleases, &gTable, &gChars) < 0) abort();
    if (size < 2 || size > 20000) return 0;
    std::string rest(reinterpret_cast<const char *>(data + 2), size - 2);
    std::string line = rest.substr(0, strnlen(rest.c_str(), rest.size()));
    switch (data[0] % 3) {
        case 0: Date(line); break;
        case 1: Code(line, data[1] % gReleases.count); break;
        default: Entry(rest); break;
    }
    return 0;
}
