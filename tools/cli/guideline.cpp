// morbivue-cli guideline [ID | WORD...]: the Official Guidelines' sections listed, one printed
// whole as its page shows it, or those found by words, ID<TAB>HEADING each.
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/status.h"
#include "guidelines/guideline_file.h"
#include "guidelines/guideline_page.h"
#include "guidelines/guideline_search.h"
#include "tools/cli/cli.h"

static void PrintSection(const GuidelineFile *file, int32_t n) {
    printf("%s\t%s\n", file->sections[n].id, file->sections[n].heading);
}

int CliGuideline(int argc, char **argv) {
    for (int i = 0; i < argc; i++) {
        if (argv[i][0] == '-' || argv[i][0] == '\0') {
            fprintf(stderr, "morbivue-cli: guideline [ID | WORD...]\n");
            return EXIT_USAGE;
        }
    }
    GuidelineFile file = {};
    int32_t status = GuidelineFileLoadEmbedded(&file);
    if (status < 0) {
        fprintf(stderr, "morbivue-cli: failed to load the guidelines: %s\n", StatusName(status));
        return EXIT_FAILED;
    }
    int exitCode = EXIT_OK;
    const int32_t section = argc == 1 ? GuidelineFind(&file, argv[0]) : -1;
    if (argc == 0) {
        for (int32_t n = 0; n < file.sectionCount; n++) PrintSection(&file, n);
    } else if (section >= 0) {
        PageSink sink = {nullptr, nullptr, nullptr, nullptr, CliWritePiece};
        ComposeGuideline(&file, section, &sink);
    } else {
        std::string words;
        for (int i = 0; i < argc; i++) words += std::string(i ? " " : "") + argv[i];
        int32_t count = 0;
        status = GuidelineSearch(&file, words.c_str(), nullptr, 0, &count);
        int32_t *hits = status >= 0 ? new int32_t[(size_t)count + 1] : nullptr;
        if (hits) status = GuidelineSearch(&file, words.c_str(), hits, count, &count);
        if (status < 0) {
            fprintf(stderr, "morbivue-cli: guideline search: %s\n", StatusName(status));
            exitCode = status == ERR_INVPARAM ? EXIT_USAGE : EXIT_FAILED;
        } else if (count == 0) {
            fprintf(stderr, "morbivue-cli: no guideline section %s \"%s\"\n",
                    argc == 1 ? "is or holds" : "holds", words.c_str());
            exitCode = EXIT_FAILED;
        }
        for (int32_t k = 0; status >= 0 && k < count; k++) PrintSection(&file, hits[k]);
        delete[] hits;
    }
    GuidelineFileFree(&file);
    return exitCode;
}
