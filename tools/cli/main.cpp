// morbivue-cli: the classification from the terminal. Loads the embedded records with the
// allocation tracer on, answers one command (stats, search, find, page, links) and exits.
// Output is the records' own bytes, one item a line, with LF line ends on every platform.
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "classification/code_refs.h"
#include "classification/code_validity.h"
#include "classification/page_complete.h"
#include "classification/page_compose.h"
#include "classification/page_ref.h"
#include "classification/page_whole.h"
#include "classification/record_table.h"
#include "classification/releases.h"
#include "classification/seventh_chars.h"
#include "edits/edits_page.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "guidelines/guideline_codes.h"
#include "guidelines/guideline_page.h"
#include "index/index_backrefs.h"
#include "index/index_entries_page.h"
#include "tools/cli/cli.h"

// Commands in files of their own: name, entry point, usage lines.
struct CliCommand {
    const char *name;
    CliRunFn run;
    const char *usage;
};
static const CliCommand kCommands[] = {
    {"check", CliCheck,
     "  check [--date YYYY-MM-DD] [CODE...]  billable, not-billable, unknown, deleted or\n"
     "                 not-yet-valid per code in the release in effect on the date of service\n"
     "                 (the newest without one; stdin without CODE): CODE<TAB>STATUS<TAB>TITLE;\n"
     "                 exit 0 when every code is billable, 2 for a bad date\n"},
    {"encounter", CliEncounter,
     "  encounter [--date YYYY-MM-DD] [--age N] [--inpatient] [CODE...]  the codes of one\n"
     "                 visit checked together in the release in effect on the date of service\n"
     "                 (stdin without CODE: one encounter a line): each code as check prints it,\n"
     "                 then per finding !KIND<TAB>CODE<TAB>OTHER<TAB>WHERE<TAB>NOTE, then\n"
     "                 =cc-mcc<TAB>CODES and =hcc<TAB>HCCS; exit 1 when one has an error\n"},
    {"codes", CliCodes,
     "  codes [--date YYYY-MM-DD]  every code of the release in effect on the date (the newest\n"
     "                 without one) as its order file lists them, headers included, in code\n"
     "                 order: CODE<TAB>STATUS<TAB>TITLE\n"},
    {"flags", CliFlags,
     "  flags [CODE...]  the payers' lists for each billable code (stdin without CODE):\n"
     "                 CODE<TAB>DRG<TAB>HCC<TAB>MCE<TAB>POA (CC or MCC; HCCs; MCE edits; exempt;\n"
     "                 - for none, ? where the list is older than the code); CODE<TAB>STATUS\n"
     "                 for a code that is not billable, and exit 1\n"},
    {"changes", CliChanges,
     "  changes [CODE...]  what later releases changed, all or for the codes beginning with\n"
     "                 each CODE: RELEASE<TAB>CHANGE<TAB>CODE<TAB>STATUS<TAB>TITLE\n"},
    {"search", CliSearch,
     "  search WORD... records found as \"Find\" finds them (the phrase, a typed code, all\n"
     "                 words; 3 characters or more): CODE<TAB>TITLE\n"},
    {"index", CliIndex,
     "  index [--book] WORD...  index entries whose path has words starting with every WORD,\n"
     "                 abbreviations and plurals read as coders mean them, the best first\n"
     "                 (--book: the words as typed, in the book's order): INDEX<TAB>PATH<TAB>CODES\n"},
    {"guideline", CliGuideline,
     "  guideline [ID | WORD...]  the Official Guidelines' sections: ID<TAB>HEADING for each,\n"
     "                 the section ID whole, or the sections holding every WORD\n"},
    {nullptr, nullptr, nullptr},
};

static const char kUsage[] =
    "usage: morbivue-cli COMMAND [ARGUMENT]\n"
    "  stats          record count, records per level, leaves, text bytes; then per release:\n"
    "                 release LABEL FROM TO codes N billable M\n"
    "  find CODE      the record with CODE: POSITION<TAB>CODE<TAB>TITLE\n"
    "  page CODE      the text of the record's page\n"
    "  links CODE     the links of the record's page: KIND<TAB>CODE\n";

static int Usage() {
    fputs(kUsage, stderr);
    for (const CliCommand &c : kCommands) {
        if (c.usage != nullptr) fputs(c.usage, stderr);
    }
    return EXIT_USAGE;
}

int32_t CliLoadRelease(RecordTable *table, SeventhCharTable *chars, Releases *releases) {
    int32_t status = ReleasesLoadTable(releases, table, chars);
    if (status < 0) {
        fprintf(stderr, "morbivue-cli: failed to load the records: %s\n", StatusName(status));
    }
    return status;
}

int32_t CliLoadRecords(RecordTable *table) {
    SeventhCharTable chars = {};
    Releases releases = {};
    int32_t status = CliLoadRelease(table, &chars, &releases);
    SeventhCharFree(&chars);
    ReleasesFree(&releases);
    return status;
}

int32_t CliLoadRecordsAndSevenths(RecordTable *table, SeventhCharTable *chars) {
    Releases releases = {};
    int32_t status = CliLoadRelease(table, chars, &releases);
    ReleasesFree(&releases);
    return status;
}

void CliWritePiece(void *context, const char *text, int32_t length) {
    fwrite(text, 1, (size_t)length, stdout);
}

static void PrintRecordLine(const TextRecord *r) {
    fputs(RecordField(r, FIELD_CODE), stdout);
    fputc('\t', stdout);
    fputs(RecordField(r, FIELD_TITLE), stdout);
    fputc('\n', stdout);
}

// Each release held: its label, first and last day in effect, its codes and billable codes.
static void ReleaseStats(const Releases *releases, const RecordTable *table,
                         const SeventhCharTable *chars) {
    for (int32_t k = 0; k < releases->count; k++) {
        const ReleaseInfo *info = &releases->info[k];
        int32_t codes = 0, billable = 0;
        char from[11], to[11];
        ReleasesCount(releases, k, table, chars, &codes, &billable);
        printf("release %s %s %s codes %d billable %d\n", info->label,
               ReleaseDateIso(info->from, from), ReleaseDateIso(info->to, to), (int)codes,
               (int)billable);
    }
}

static int Stats(const RecordTable *table) {
    enum { LEVELS = 256 };
    uint32_t perLevel[LEVELS] = {0};
    uint32_t leaves = 0;
    uint64_t textBytes = 0;
    for (uint32_t i = 0; i < table->recordCount; i++) {
        const TextRecord *r = &table->records[i];
        perLevel[r->level]++;
        if (r->flags & RECORD_FLAG_LEAF) {
            leaves++;
        }
        if (r->text == nullptr) {
            continue;
        }
        // The line's length: up to the end of its last present field.
        int32_t last = 0;
        for (uint32_t j = 0; j < MAX_RECORD_FIELDS; j++) {
            if (r->fieldOffsets[j] > last) {
                last = r->fieldOffsets[j];
            }
        }
        textBytes += (uint64_t)last + strlen(r->text + last);
    }
    printf("records %u\n", (unsigned)table->recordCount);
    for (int level = 0; level < LEVELS; level++) {
        if (perLevel[level] != 0) {
            printf("level %d %u\n", level, (unsigned)perLevel[level]);
        }
    }
    printf("leaves %u\n", (unsigned)leaves);
    printf("text_bytes %llu\n", (unsigned long long)textBytes);
    return EXIT_OK;
}

static int32_t Find(const RecordTable *table, const char *code) {
    int32_t position = FindRecordByCode(table, PAGE_KIND_RECORD, code);
    if (position < 0) {
        fprintf(stderr, "morbivue-cli: no record with the code \"%s\": %s\n", code,
                StatusName(position));
    }
    return position;
}

// As in the window: the index entries that lead to the record end its page, when the indexes
// read (without them the page is the rest).
static void AppendIndexEntries(const RecordTable *table, const SeventhCharTable *chars,
                               int32_t position, int32_t start, const PageSink *sink) {
    IndexSet set = {};
    IndexBackrefs refs = {};
    IndexLinkMap map = {};
    if (IndexSetLoad(&set) >= 0 && IndexBackrefsBuild(&refs, &set, table, chars) >= 0)
        ComposeIndexEntries(&set, &refs, position, start, &map, sink);
    IndexLinkMapFree(&map);
    IndexBackrefsFree(&refs);
    IndexSetFree(&set);
}

// As in the window: the Official Guidelines' sections that concern the record come before its
// index entries, when their entry reads.
static void AppendGuidelines(const TextRecord *record, const PageSink *sink) {
    const int32_t offset = record->fieldOffsets[FIELD_CODE];
    if (!record->text || offset < 0) return;
    GuidelineFile file = {};
    GuidelineCodeMap map = {};
    if (GuidelineFileLoadEmbedded(&file) >= 0 && GuidelineCodeMapBuild(&map, &file) >= 0)
        ComposeGuidelineSections(&file, &map, record->text + offset, sink);
    GuidelineCodeMapFree(&map);
    GuidelineFileFree(&file);
}

// Composes the page of the record with code (a complete code shows its leaf's page, with its
// coding context and its index entries); prints its text, or its link table.
static int Page(const RecordTable *table, const SeventhCharTable *chars,
                const Releases *releases, const char *code, bool linksOnly) {
    CodeCheckResult check;
    CodeCheck(table, chars, code, &check);
    int32_t position = check.record > 0 ? check.record : Find(table, code);
    if (position < 0) return EXIT_FAILED;
    char *text = (char *)MemAlloc(TEXT_BUFFER_CHARS + 1);
    char *scratch = (char *)MemAlloc(TEXT_BUFFER_CHARS + 1);
    LinkTable *links = (LinkTable *)MemAlloc((int32_t)sizeof(LinkTable));
    int result = EXIT_FAILED;
    if (text != nullptr && scratch != nullptr && links != nullptr) {
        PageWorkspace workspace = {text, scratch, TEXT_BUFFER_CHARS};
        PageSink sink = {};
        if (!linksOnly) {
            sink.writeText = CliWritePiece;
        }
        PageSources sources = {table, chars, &releases->changes, releases};
        PageCounter counter;
        PageCounterInit(&counter, &sink);
        // A complete code is headed as itself before its leaf's page.
        if (check.kind == CODE_KIND_COMPLETE && check.record == position && !linksOnly) {
            ReleaseCheckResult full;
            char title[1024];
            ReleasesCheck(releases, ReleasesNewest(releases), table, chars, code, &full);
            if (full.status == RELEASE_BILLABLE) {
                ReleasesCheckTitle(table, &full, title, (int32_t)sizeof title - 1);
                ComposeCompleteHeading(check.code, title, &workspace, &counter.sink);
            }
        }
        int32_t status = ComposeWholePage(&sources, PAGE_KIND_RECORD, &table->records[position],
                                  &workspace, links, &counter.sink);
        // As in the window: the payers' lists follow when their entry reads.
        EditsTable edits = {};
        if (status >= 0 && EditsLoad(&edits) >= 0) {
            ComposeEditsSection(&edits, releases, table, chars, position, &workspace,
                                &counter.sink);
        }
        EditsFree(&edits);
        if (status >= 0 && !linksOnly) AppendGuidelines(&table->records[position], &counter.sink);
        if (status >= 0 && !linksOnly) AppendIndexEntries(table, chars, position, counter.position, &sink);
        if (status < 0) {
            fprintf(stderr, "morbivue-cli: page failed: %s\n", StatusName(status));
        } else {
            for (uint16_t i = 0; linksOnly && i < links->linkCount; i++) {
                printf("%u\t%s\n", (unsigned)links->links[i].kind, links->links[i].code);
            }
            result = EXIT_OK;
        }
    } else {
        fprintf(stderr, "morbivue-cli: %s\n", StatusName(ERR_ALLOC));
    }
    MemFree(links);
    MemFree(scratch);
    MemFree(text);
    return result;
}

static int Run(const char *command, const char *argument) {
    RecordTable table = {};
    SeventhCharTable chars = {};
    Releases releases = {};
    if (CliLoadRelease(&table, &chars, &releases) < 0) {
        return EXIT_FAILED;
    }
    int result = EXIT_OK;
    if (strcmp(command, "stats") == 0) {
        result = Stats(&table);
        ReleaseStats(&releases, &table, &chars);
    } else if (strcmp(command, "find") == 0) {
        int32_t position = Find(&table, argument);
        if (position < 0) {
            result = EXIT_FAILED;
        } else {
            printf("%d\t", (int)position);
            PrintRecordLine(&table.records[position]);
        }
    } else {
        result = Page(&table, &chars, &releases, argument, strcmp(command, "links") == 0);
    }
    ReleasesFree(&releases);
    SeventhCharFree(&chars);
    RecordTableFree(&table);
    return result;
}

int main(int argc, char **argv) {
#ifdef _WIN32
    // The records' bytes and LF line ends go out unchanged.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (argc < 2) {
        return Usage();
    }
    const char *command = argv[1];
    for (const CliCommand &c : kCommands) {
        if (c.name != nullptr && strcmp(command, c.name) == 0) {
            StartMemoryTracer(20000);
            int result = c.run(argc - 2, argv + 2);
            fflush(stdout);
            StopMemoryTracer();
            return result;
        }
    }
    bool takesArgument = strcmp(command, "find") == 0 ||
                         strcmp(command, "page") == 0 || strcmp(command, "links") == 0;
    bool known = takesArgument || strcmp(command, "stats") == 0;
    if (!known || argc != (takesArgument ? 3 : 2)) {
        return Usage();
    }
    const char *argument = takesArgument ? argv[2] : "";
    StartMemoryTracer(20000);
    int result = Run(command, argument);
    fflush(stdout);
    StopMemoryTracer();
    return result;
}
