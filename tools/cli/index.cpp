// morbivue-cli index WORD...: the entries of the indexes whose path holds every word (else, for
// one code, those that lead to its record), one line each, INDEX<TAB>PATH<TAB>CODES, in the
// order of the printed book and of each file.
#include <cstdio>
#include <cstring>

#include "foundation/mem.h"
#include "foundation/status.h"
#include "classification/record_table.h"
#include "classification/seventh_chars.h"
#include "index/index_backrefs.h"
#include "index/index_query.h"
#include "index/index_search.h"
#include "index/index_set.h"
#include "tools/cli/cli.h"

struct PrintContext {
    const IndexSet *set;
    char *buffer;      // one path or code list at a time
    int32_t capacity;  // bytes in buffer
};

// The path or the codes of an entry, in the buffer when it fits, else in a block of their own.
static void PrintField(PrintContext *p, int32_t (*write)(const IndexSet *, int32_t, char *, int32_t),
                       int32_t entry) {
    int32_t length = write(p->set, entry, p->buffer, p->capacity);
    if (length < p->capacity) {
        fwrite(p->buffer, 1, (size_t)(length > 0 ? length : 0), stdout);
        return;
    }
    char *large = (char *)MemAlloc(length + 1);
    if (large) {
        write(p->set, entry, large, length + 1);
        fwrite(large, 1, (size_t)length, stdout);
        MemFree(large);
    }
}

static void PrintHit(void *context, int32_t, int32_t entry) {
    PrintContext *p = (PrintContext *)context;
    uint16_t kind = 0;
    IndexSetEntry(p->set, entry, &kind);
    fputs(IndexKindName(kind), stdout);
    fputc('\t', stdout);
    PrintField(p, IndexPathWrite, entry);
    fputc('\t', stdout);
    PrintField(p, IndexCodesWrite, entry);
    fputc('\n', stdout);
}

// As the Index tab does: a phrase that finds nothing and is one code lists the entries that lead
// to its record (the records are read only then). 0 also when it is no code.
static int32_t SearchByCode(const IndexSet *set, IndexSearch *search, const char *phrase,
                            PrintContext *context) {
    if (!IndexWordIsCode(phrase)) return 0;
    RecordTable table = {};
    if (CliLoadRecords(&table) < 0) return 0;
    SeventhCharTable chars = {};
    IndexBackrefs refs = {};
    SeventhCharLoad(&chars, &table);
    const int32_t record = IndexBackrefsRecordFor(&table, &chars, phrase);
    int32_t status = 0;
    if (record >= 0) status = IndexBackrefsBuild(&refs, set, &table, &chars);
    if (record >= 0 && status == 0)
        status = IndexBackrefsSearch(search, &refs, record, phrase, PrintHit, context);
    IndexBackrefsFree(&refs);
    SeventhCharFree(&chars);
    RecordTableFree(&table);
    return status;
}

// What the query did besides searching, on stderr so that stdout stays one entry a line.
static void PrintNote(const IndexQueryNote *note) {
    if (note->expansion[0] != '\0') fprintf(stderr, "%s\n", note->expansion);
    if (note->corrected[0] != '\0') fprintf(stderr, "Showing results for %s\n", note->corrected);
    if (note->others[0] != '\0') fprintf(stderr, "Did you mean: %s\n", note->others);
}

int CliIndex(int argc, char **argv) {
    // --book: the literal words in the book's order, as before the coder's query.
    bool book = argc > 0 && strcmp(argv[0], "--book") == 0;
    if (book) argc--, argv++;
    // The words as one phrase: the window's search edit holds them the same way.
    size_t length = 0;
    for (int i = 0; i < argc; i++) length += strlen(argv[i]) + 1;
    if (argc < 1 || length > INT32_MAX / 2) {
        fputs("usage: morbivue-cli index [--book] WORD...\n", stderr);
        return EXIT_USAGE;
    }
    char *phrase = (char *)MemAlloc((int32_t)length + 1);
    if (!phrase) {
        fprintf(stderr, "morbivue-cli: %s\n", StatusName(ERR_ALLOC));
        return EXIT_FAILED;
    }
    size_t at = 0;
    for (int i = 0; i < argc; i++) {
        memcpy(phrase + at, argv[i], strlen(argv[i]));
        at += strlen(argv[i]);
        phrase[at++] = ' ';
    }
    phrase[at] = '\0';

    IndexSet set = {};
    int32_t status = IndexSetLoad(&set);
    if (status < 0) {
        fprintf(stderr, "morbivue-cli: failed to load the indexes: %s\n", StatusName(status));
        MemFree(phrase);
        return EXIT_FAILED;
    }
    enum { LINE_BUFFER = 4096 };
    PrintContext context = {&set, (char *)MemAlloc(LINE_BUFFER), LINE_BUFFER};
    IndexSearch search = {};
    int result = EXIT_OK;
    if (!context.buffer) {
        status = ERR_ALLOC;
    } else if (book) {
        status = IndexSearchRun(&search, &set, phrase, PrintHit, &context);
    } else {
        IndexVocabulary *vocabulary = nullptr;
        IndexQueryNote note;
        status = IndexQueryRun(&search, &set, phrase, &vocabulary, &note);
        IndexVocabularyFree(&vocabulary);
        if (status == 0) PrintNote(&note);
        for (int32_t i = 0; status == 0 && i < search.hitCount; i++)
            PrintHit(&context, i, search.hits[i]);
    }
    if (status == 0 && search.hitCount == 0) status = SearchByCode(&set, &search, phrase, &context);
    if (status == ERR_EMPTY) {
        fputs("usage: morbivue-cli index [--book] WORD...\n", stderr);
        result = EXIT_USAGE;
    } else if (status < 0) {
        fprintf(stderr, "morbivue-cli: index search failed: %s\n", StatusName(status));
        result = EXIT_FAILED;
    }
    IndexSearchClear(&search);
    MemFree(context.buffer);
    IndexSetFree(&set);
    MemFree(phrase);
    return result;
}
