// The date of service option of `check` and `encounter`: read, checked against the calendar and
// against the releases held, before anything is printed.
#include <cstdio>
#include <cstring>

#include "tools/cli/cli.h"

int CliTakeDate(int *argc, char **argv, int32_t *date) {
    *date = 0;
    int kept = 0;
    for (int i = 0; i < *argc; i++) {
        const char *text = nullptr;
        if (strcmp(argv[i], "--date") == 0) {
            if (i + 1 >= *argc) {
                fputs("morbivue-cli: --date needs a date of service, YYYY-MM-DD\n", stderr);
                return EXIT_USAGE;
            }
            text = argv[++i];
        } else if (strncmp(argv[i], "--date=", 7) == 0) {
            text = argv[i] + 7;
        } else {
            argv[kept++] = argv[i];
            continue;
        }
        if (ReleaseDateParse(text, date) < 0) {
            fprintf(stderr, "morbivue-cli: \"%s\" is not a date of service: write YYYY-MM-DD, "
                    "a day the calendar has\n", text);
            return EXIT_USAGE;
        }
    }
    *argc = kept;
    return 0;
}

int CliReleaseOpen(CliRelease *run, int32_t date) {
    if (CliLoadRelease(&run->table, &run->chars, &run->releases) < 0) return EXIT_FAILED;
    const Releases *releases = &run->releases;
    int32_t newest = ReleasesNewest(releases);
    run->release = date == 0 ? newest : ReleasesForDate(releases, date);
    if (run->release >= 0) return EXIT_OK;
    char day[11], first[11], last[11];
    fprintf(stderr, "morbivue-cli: no release held is in effect on %s: the releases cover %s to %s\n",
            ReleaseDateIso(date, day), ReleaseDateIso(releases->info[0].from, first),
            ReleaseDateIso(releases->info[newest].to, last));
    CliReleaseClose(run);
    return EXIT_USAGE;
}

void CliReleaseClose(CliRelease *run) {
    ReleasesFree(&run->releases);
    SeventhCharFree(&run->chars);
    RecordTableFree(&run->table);
}
