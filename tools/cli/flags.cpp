// morbivue-cli flags [CODE...]: what the payers' lists say of each billable code of the newest
// release, one line a code, from the arguments or standard input (one code a line):
// CODE<TAB>DRG<TAB>HCC<TAB>MCE<TAB>POA.
#include <cstdio>
#include <cstring>
#include <string>

#include "edits/edits_words.h"
#include "foundation/status.h"
#include "tools/cli/cli.h"

struct FlagsRun {
    CliRelease data;
    EditsTable edits;
    bool allBillable;
    char column[EDITS_LINE_CHARS + 1];
};

static void FlagsOne(FlagsRun *run, const char *typed) {
    ReleaseCheckResult r;
    ReleasesCheck(&run->data.releases, run->data.release, &run->data.table, &run->data.chars,
                  typed, &r);
    if (r.check.code[0] == '\0') return;
    fputs(r.check.code, stdout);
    if (r.status != RELEASE_BILLABLE) {
        run->allBillable = false;
        printf("\t%s\n", ReleaseStatusName(r.status));
        return;
    }
    int32_t since = ReleasesSince(&run->data.releases, r.check.code);
    for (EditsListKind list : {EDITS_DRG, EDITS_HCC, EDITS_MCE, EDITS_POA}) {
        printf("\t%s", EditsColumn(&run->edits, list, r.check.code, since, run->column));
    }
    fputc('\n', stdout);
}

int CliFlags(int argc, char **argv) {
    for (int i = 0; i < argc; i++) {
        if (argv[i][0] == '-') {
            fprintf(stderr, "morbivue-cli: flags takes codes, not \"%s\"\n", argv[i]);
            return EXIT_USAGE;
        }
    }
    FlagsRun *run = new FlagsRun();
    run->allBillable = true;
    int opened = CliReleaseOpen(&run->data, 0);
    if (opened != EXIT_OK) {
        delete run;
        return opened;
    }
    int32_t status = EditsLoad(&run->edits);
    if (status < 0) {
        fprintf(stderr, "morbivue-cli: failed to load the payers' lists: %s\n", StatusName(status));
        CliReleaseClose(&run->data);
        delete run;
        return EXIT_FAILED;
    }
    if (argc == 0) {
        std::string line;
        int c;
        while ((c = getc(stdin)) != EOF) {
            if (c != '\n') {
                line += c == '\0' ? '?' : (char)c;
                continue;
            }
            FlagsOne(run, line.c_str());
            line.clear();
        }
        if (!line.empty()) FlagsOne(run, line.c_str());
    } else {
        for (int i = 0; i < argc; i++) FlagsOne(run, argv[i]);
    }
    int result = run->allBillable ? EXIT_OK : EXIT_FAILED;
    EditsFree(&run->edits);
    CliReleaseClose(&run->data);
    delete run;
    return result;
}
