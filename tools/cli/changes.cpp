// morbivue-cli changes [CODE...]: what the releases after the records' own changed, one change a
// line (RELEASE, CHANGE, CODE, STATUS, TITLE); every change, or those of the codes beginning
// with each CODE given.
#include <cstdio>

#include "classification/release_changes.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "tools/cli/cli.h"

static void PrintChange(const ReleaseChanges *changes, const ReleaseChange *c) {
    printf("%s\t%s\t%s\t%s\t%s\n", ReleaseChangesReleaseName(changes, c->release),
           ReleaseChangeKindName(c->kind), c->code, c->billable ? "billable" : "not-billable",
           c->title);
}

// Prints the changes of the codes beginning with code, in release order.
static int PrintChangesBelow(const ReleaseChanges *changes, const char *code) {
    int32_t count = ReleaseChangesFind(changes, code, RELEASE_MATCH_PREFIX, nullptr, 0);
    if (count <= 0) {
        return count < 0 ? EXIT_FAILED : EXIT_OK;
    }
    int32_t *positions = (int32_t *)MemAlloc(count * (int32_t)sizeof(int32_t));
    if (positions == nullptr) {
        fprintf(stderr, "morbivue-cli: %s\n", StatusName(ERR_ALLOC));
        return EXIT_FAILED;
    }
    ReleaseChangesFind(changes, code, RELEASE_MATCH_PREFIX, positions, count);
    for (int32_t i = 0; i < count; i++) {
        PrintChange(changes, ReleaseChangesAt(changes, positions[i]));
    }
    MemFree(positions);
    return EXIT_OK;
}

int CliChanges(int argc, char **argv) {
    for (int i = 0; i < argc; i++) {
        char code[CHANGE_CODE_CHARS + 1];
        if (ReleaseChangesNormalize(argv[i], code) < 0) {
            fprintf(stderr, "morbivue-cli: \"%s\" is not a code\n"
                            "usage: morbivue-cli changes [CODE...]\n", argv[i]);
            return EXIT_USAGE;
        }
    }
    ReleaseChanges changes = {};
    int32_t status = ReleaseChangesLoad(&changes);
    if (status < 0) {
        fprintf(stderr, "morbivue-cli: failed to load the later releases' changes: %s\n",
                StatusName(status));
        return EXIT_FAILED;
    }
    int result = EXIT_OK;
    if (argc == 0) {
        for (int32_t i = 0; i < changes.changeCount; i++) {
            PrintChange(&changes, ReleaseChangesAt(&changes, i));
        }
    }
    for (int i = 0; i < argc && result == EXIT_OK; i++) {
        result = PrintChangesBelow(&changes, argv[i]);
    }
    ReleaseChangesFree(&changes);
    return result;
}
