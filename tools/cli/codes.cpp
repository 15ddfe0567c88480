// morbivue-cli codes [--date YYYY-MM-DD]: every code of the release in effect on the date (the
// newest without one) as its order file lists them, in code order: CODE<TAB>STATUS<TAB>TITLE.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/cli/cli.h"

struct ListedCode {
    std::string code;
    bool billable;
};

// The table's codes that no change names, each leaf's complete codes with them, then the codes
// the changes name that the release holds.
static std::vector<ListedCode> Codes(const Releases *releases, int32_t release,
                                     const RecordTable *table, const SeventhCharTable *chars) {
    std::vector<ListedCode> list;
    for (uint32_t i = 1; i < table->recordCount; i++) {
        const TextRecord *r = &table->records[i];
        const char *code = RecordField(r, FIELD_CODE);
        if ((r->flags & RECORD_FLAG_DELETED) || strchr(code, '-') != nullptr) continue;
        const SeventhCharDef *def = SeventhCharDefFor(chars, (int32_t)i);
        bool leaf = (r->flags & RECORD_FLAG_LEAF) != 0;
        if (ReleasesCodeStates(releases, code) == nullptr) list.push_back({code, leaf && !def});
        for (int32_t k = 0; leaf && def != nullptr && k < def->charCount; k++) {
            char c = chars->chars[def->firstChar + k].character;
            char complete[10];
            if (CodeComplete(code, c, complete) && SeventhCharAllowed(chars, table, (int32_t)i, c) &&
                ReleasesCodeStates(releases, complete) == nullptr)
                list.push_back({complete, true});
        }
    }
    for (int32_t k = 0; k < releases->codeCount; k++) {
        const ReleaseCodeState *s = &releases->states[(int64_t)k * releases->count + release];
        if (s->present) list.push_back({releases->codes[k], s->billable != 0});
    }
    std::sort(list.begin(), list.end(),
              [](const ListedCode &a, const ListedCode &b) { return a.code < b.code; });
    return list;
}

int CliCodes(int argc, char **argv) {
    int32_t date = 0;
    if (CliTakeDate(&argc, argv, &date) != 0) return EXIT_USAGE;
    if (argc != 0) {
        fprintf(stderr, "morbivue-cli: codes takes only --date, not \"%s\"\n", argv[0]);
        return EXIT_USAGE;
    }
    RecordTable table = {};
    SeventhCharTable chars = {};
    Releases releases = {};
    if (CliLoadRelease(&table, &chars, &releases) < 0) return EXIT_FAILED;
    int32_t release = CliReleaseFor(&releases, date);
    int result = release < 0 ? EXIT_USAGE : EXIT_OK;
    char title[1024];
    if (release >= 0) {
        for (const ListedCode &c : Codes(&releases, release, &table, &chars)) {
            ReleaseCheckResult r;
            ReleasesCheck(&releases, release, &table, &chars, c.code.c_str(), &r);
            ReleasesCheckTitle(&table, &r, title, (int32_t)sizeof title - 1);
            printf("%s\t%s\t%s\n", c.code.c_str(), c.billable ? "billable" : "not-billable", title);
        }
    }
    ReleasesFree(&releases);
    SeventhCharFree(&chars);
    RecordTableFree(&table);
    return result;
}
