// morbivue-cli search WORD...: "Find" as the window runs it (phrase, typed code, all words), one
// CODE<TAB>TITLE line per hit in hit order; the arguments are one text, joined by blanks.
#include <cstdio>
#include <string>

#include "classification/release_changes.h"
#include "classification/search_find.h"
#include "classification/seventh_chars.h"
#include "foundation/status.h"
#include "tools/cli/cli.h"

static void PrintHit(void *context, int32_t, const PageRef *hit) {
    const TextRecord *r = &((const RecordTable *)context)->records[hit->index];
    fputs(RecordField(r, FIELD_CODE), stdout);
    fputc('\t', stdout);
    fputs(RecordField(r, FIELD_TITLE), stdout);
    fputc('\n', stdout);
}

int CliSearch(int argc, char **argv) {
    if (argc < 1) {
        fputs("usage: morbivue-cli search WORD...\n", stderr);
        return EXIT_USAGE;
    }
    std::string text = argv[0];
    for (int i = 1; i < argc; i++) {
        text += ' ';
        text += argv[i];
    }
    if (text.size() < (size_t)MIN_SEARCH_CHARS) {
        fprintf(stderr, "morbivue-cli: a search word needs at least %d characters\n",
                (int)MIN_SEARCH_CHARS);
        return EXIT_USAGE;
    }
    RecordTable table = {};
    SeventhCharTable chars = {};
    if (CliLoadRecordsAndSevenths(&table, &chars) < 0) return EXIT_FAILED;
    SearchState state = {};
    int32_t status = SearchFind(&state, &table, &chars, text.c_str(), PrintHit, &table);
    int result = EXIT_OK;
    if (status < 0) {
        fprintf(stderr, "morbivue-cli: search failed: %s\n", StatusName(status));
        result = EXIT_FAILED;
    } else if (state.hitCount == 0) {
        char line[NOTHING_FOUND_CHARS + 1];
        ReleaseChanges changes = {};
        bool known = ReleaseChangesLoad(&changes) >= 0;
        fprintf(stderr, "%s\n", SearchNothingFoundText(known ? &changes : nullptr, text.c_str(),
                                                       line, NOTHING_FOUND_CHARS));
        ReleaseChangesFree(&changes);
    }
    ClearSearchResults(&state);
    SeventhCharFree(&chars);
    RecordTableFree(&table);
    return result;
}
