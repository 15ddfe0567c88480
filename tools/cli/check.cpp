// morbivue-cli check [--date YYYY-MM-DD] [CODE...]: whether each code may go on a claim in the
// release in effect on the date of service (the newest without one), one line a code, from the
// arguments or, without them, from standard input (a whole claim list, one code a line).
#include <cstdio>
#include <cstring>
#include <string>

#include "classification/code_validity.h"
#include "classification/releases.h"
#include "classification/seventh_chars.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "tools/cli/cli.h"

struct CheckRun {
    const RecordTable *table;
    const SeventhCharTable *chars;
    const Releases *releases;
    int32_t release;      // the release the codes are checked against
    std::string normal;   // the code in its normal form, any length
    char title[1024];     // the record's title, composed for a complete code
    bool allBillable;     // no code so far was anything but billable
};

// One output line; an empty (or blank) line of input gives none.
static void CheckOne(CheckRun *run, const char *typed) {
    char none[1];
    int32_t length = CodeNormalise(typed, none, 0);
    if (length <= 0) return;
    run->normal.assign((size_t)length + 1, '\0');
    CodeNormalise(typed, &run->normal[0], length);
    run->normal.resize((size_t)length);
    ReleaseCheckResult result;
    ReleasesCheck(run->releases, run->release, run->table, run->chars, typed, &result);
    ReleasesCheckTitle(run->table, &result, run->title, (int32_t)sizeof run->title - 1);
    if (result.status != RELEASE_BILLABLE) run->allBillable = false;
    fwrite(run->normal.data(), 1, run->normal.size(), stdout);
    printf("\t%s\t%s\n", ReleaseStatusName(result.status), run->title);
}

// Lines of any length; LF or CR LF ends, a last line without its end included.
static void CheckStream(CheckRun *run, FILE *in) {
    std::string line;
    int c;
    bool pending = false;
    while ((c = getc(in)) != EOF) {
        if (c == '\n') {
            CheckOne(run, line.c_str());
            line.clear();
            pending = false;
        } else {
            // A zero byte would end the code early: it is no character of a code either way.
            line += c == '\0' ? '?' : (char)c;
            pending = true;
        }
    }
    if (pending) CheckOne(run, line.c_str());
}

int CliCheck(int argc, char **argv) {
    int32_t date = 0;
    if (CliTakeDate(&argc, argv, &date) != 0) return EXIT_USAGE;
    CliRelease data = {};
    int opened = CliReleaseOpen(&data, date);
    if (opened != EXIT_OK) return opened;
    CheckRun *run = new CheckRun();
    run->table = &data.table;
    run->chars = &data.chars;
    run->releases = &data.releases;
    run->release = data.release;
    run->allBillable = true;
    if (argc == 0) {
        CheckStream(run, stdin);
    } else {
        for (int i = 0; i < argc; i++) CheckOne(run, argv[i]);
    }
    int result = run->allBillable ? EXIT_OK : EXIT_FAILED;
    delete run;
    CliReleaseClose(&data);
    return result;
}
