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

static void Collect(void *context, const char *code, int32_t billable) {
    ((std::vector<ListedCode> *)context)->push_back({code, billable != 0});
}

int CliCodes(int argc, char **argv) {
    int32_t date = 0;
    if (CliTakeDate(&argc, argv, &date) != 0) return EXIT_USAGE;
    if (argc != 0) {
        fprintf(stderr, "morbivue-cli: codes takes only --date, not \"%s\"\n", argv[0]);
        return EXIT_USAGE;
    }
    CliRelease data = {};
    int opened = CliReleaseOpen(&data, date);
    if (opened != EXIT_OK) return opened;
    std::vector<ListedCode> list;
    ReleasesEachCode(&data.releases, data.release, &data.table, &data.chars, Collect, &list);
    std::sort(list.begin(), list.end(),
              [](const ListedCode &a, const ListedCode &b) { return a.code < b.code; });
    char title[1024];
    for (const ListedCode &c : list) {
        ReleaseCheckResult r;
        ReleasesCheck(&data.releases, data.release, &data.table, &data.chars, c.code.c_str(), &r);
        ReleasesCheckTitle(&data.table, &r, title, (int32_t)sizeof title - 1);
        printf("%s\t%s\t%s\n", c.code.c_str(), c.billable ? "billable" : "not-billable", title);
    }
    CliReleaseClose(&data);
    return EXIT_OK;
}
