// morbivue-cli encounter [--date YYYY-MM-DD] [CODE...]: the codes of one visit checked together
// in the release in effect on the date of service, from the arguments, or one encounter per line
// of standard input: each code as `check` prints it, then the findings.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "classification/code_validity.h"
#include "classification/encounter.h"
#include "classification/encounter_text.h"
#include "classification/page_compose.h"
#include "classification/seventh_chars.h"
#include "edits/edits_visit.h"
#include "edits/edits_words.h"
#include "foundation/status.h"
#include "tools/cli/cli.h"

struct EncounterRun {
    Encounter encounter;
    const Releases *releases;         // the releases held
    EditsTable edits;                 // the payers' lists
    EditsVisit visit;                 // the payer's findings of the encounter
    int32_t age;                      // --age, or VISIT_NO_AGE
    int32_t inpatient;                // --inpatient
    int32_t printed;                  // encounters printed so far
    bool anyError;                    // an encounter had an error
    int32_t status;                   // the first failure, or 0
    char title[1024];                 // as `check` composes it
    char other[TEXT_BUFFER_CHARS + 1];
    char note[TEXT_BUFFER_CHARS + 1];
    char manifestationName[EDITS_LINE_CHARS + 1];
};

static void PrintCode(EncounterRun *run, int32_t i) {
    Encounter *e = &run->encounter;
    int32_t n = 0;
    const char *text = EncounterCodeText(e, i, &n);
    EncounterCodeTitle(e, i, run->title, (int32_t)sizeof run->title - 1);
    fwrite(text, 1, (size_t)n, stdout);
    printf("\t%s\t%s\n", ReleaseStatusName(e->codes[i].status), run->title);
}

static void PrintFinding(EncounterRun *run, const EncounterFinding *f) {
    Encounter *e = &run->encounter;
    int32_t n = 0;
    const char *code = EncounterCodeText(e, f->code, &n);
    printf("%c%s\t", EncounterFindingPrefix(f), EncounterFindingKindName(f->kind));
    fwrite(code, 1, (size_t)n, stdout);
    EncounterFindingOther(e, f, run->other, TEXT_BUFFER_CHARS);
    EncounterFindingNote(e, f, "; ", false, run->note, TEXT_BUFFER_CHARS);
    printf("\t%s\t%s\t%s\n", run->other, EncounterFindingWhere(e, f), run->note);
}

// The payer's errors after the classification's; the warnings and reminders follow them.
static void PrintPayer(EncounterRun *run) {
    Encounter *e = &run->encounter;
    for (int32_t k = 0; k < run->visit.findingCount; k++) {
        const EditsVisitFinding *f = &run->visit.findings[k];
        int32_t n = 0;
        const char *code = EncounterCodeText(e, f->code, &n);
        printf("!%s\t", EditsVisitKindName(f->kind));
        fwrite(code, 1, (size_t)n, stdout);
        printf("\t\tMCE\t%s\n", EditsVisitNote(&run->edits, e, f, run->note));
    }
    if (run->visit.findingCount > 0) run->anyError = true;
}

static void PrintSummaries(EncounterRun *run) {
    Encounter *e = &run->encounter;
    printf("=cc-mcc\t%s\n",
           EditsVisitCcMcc(&run->edits, run->releases, e, run->note, TEXT_BUFFER_CHARS));
    printf("=hcc\t%s\n", EditsVisitHccs(&run->visit, &run->edits, e, run->note, TEXT_BUFFER_CHARS));
}

// One encounter of text; from standard input, one without codes prints nothing.
static void CheckOne(EncounterRun *run, const char *text, size_t length, bool fromInput) {
    Encounter *e = &run->encounter;
    int32_t status = EncounterRead(e, text, length);
    if (status == 0) status = EncounterCheck(e);
    if (status < 0) {
        fprintf(stderr, "morbivue-cli: encounter %d failed: %s\n", (int)run->printed + 1,
                StatusName(status));
        if (run->status == 0) run->status = status;
        return;
    }
    if (fromInput && e->codeCount == 0) return;
    if (fromInput && run->printed > 0) fputc('\n', stdout);
    run->printed++;
    for (int32_t i = 0; i < e->codeCount; i++) PrintCode(run, i);
    if (EditsVisitCheck(&run->visit, &run->edits, run->releases, e, run->age, run->inpatient) < 0) {
        fprintf(stderr, "morbivue-cli: the payer's edits failed: %s\n", StatusName(ERR_ALLOC));
        run->status = ERR_ALLOC;
        return;
    }
    int32_t k = 0;
    for (; k < e->findingCount && e->findings[k].level == LEVEL_ERROR; k++) {
        PrintFinding(run, &e->findings[k]);
    }
    PrintPayer(run);
    for (; k < e->findingCount; k++) PrintFinding(run, &e->findings[k]);
    PrintSummaries(run);
    if (e->errorCount > 0) run->anyError = true;
}

// Lines of any length, LF or CR LF ends (CR is a separator), a last line without its end too.
static void CheckStream(EncounterRun *run, FILE *in) {
    std::string line;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, in)) > 0) {
        size_t start = 0;
        for (size_t i = 0; i < got; i++) {
            if (chunk[i] != '\n') continue;
            line.append(chunk + start, i - start);
            CheckOne(run, line.data(), line.size(), true);
            line.clear();
            start = i + 1;
        }
        line.append(chunk + start, got - start);
    }
    if (!line.empty()) CheckOne(run, line.data(), line.size(), true);
}

// Takes --inpatient and --age N (0 to 124) out of the arguments. False, said on stderr, for a
// bad age.
static bool TakePayerOptions(int *argc, char **argv, int32_t *age, int32_t *inpatient) {
    int kept = 0;
    for (int i = 0; i < *argc; i++) {
        if (strcmp(argv[i], "--inpatient") == 0) {
            *inpatient = 1;
            continue;
        }
        if (strcmp(argv[i], "--age") != 0) {
            argv[kept++] = argv[i];
            continue;
        }
        const char *text = i + 1 < *argc ? argv[++i] : "";
        char *end = nullptr;
        long value = strtol(text, &end, 10);
        if (text[0] < '0' || text[0] > '9' || *end != '\0' || value > VISIT_MAX_AGE) {
            fprintf(stderr, "morbivue-cli: --age needs the patient's age in years, 0 to %d, not "
                    "\"%s\"\n", (int)VISIT_MAX_AGE, text);
            return false;
        }
        *age = (int32_t)value;
    }
    *argc = kept;
    return true;
}

int CliEncounter(int argc, char **argv) {
    int32_t date = 0, age = VISIT_NO_AGE, inpatient = 0;
    if (CliTakeDate(&argc, argv, &date) != 0) return EXIT_USAGE;
    if (!TakePayerOptions(&argc, argv, &age, &inpatient)) return EXIT_USAGE;
    std::string joined;
    for (int i = 0; i < argc; i++) {
        // No code begins with '-': an option this command does not have.
        if (argv[i][0] == '-') {
            fprintf(stderr, "morbivue-cli: encounter takes codes, not \"%s\"\n", argv[i]);
            return EXIT_USAGE;
        }
        joined += argv[i];
        joined += ' ';
    }
    CliRelease data = {};
    int opened = CliReleaseOpen(&data, date);
    if (opened != EXIT_OK) return opened;
    EncounterRun *run = new EncounterRun();
    run->releases = &data.releases;
    run->age = age;
    run->inpatient = inpatient;
    int32_t status = EncounterInit(&run->encounter, &data.table, &data.chars);
    if (status >= 0) status = EncounterSetRelease(&run->encounter, &data.releases, data.release);
    if (status >= 0) status = EditsLoad(&run->edits);
    if (status >= 0) {
        status = EncounterSetManifestations(
            &run->encounter, EditsVisitManifestation, &run->edits,
            EditsVisitManifestationName(&run->edits, run->manifestationName));
    }
    if (status < 0) {
        fprintf(stderr, "morbivue-cli: encounter: %s\n", StatusName(status));
        EncounterFree(&run->encounter);
        EditsFree(&run->edits);
        delete run;
        CliReleaseClose(&data);
        return EXIT_FAILED;
    }
    if (argc == 0) {
        CheckStream(run, stdin);
    } else {
        CheckOne(run, joined.data(), joined.size(), false);
    }
    int result = (run->anyError || run->status < 0) ? EXIT_FAILED : EXIT_OK;
    EncounterFree(&run->encounter);
    EditsVisitFree(&run->visit);
    EditsFree(&run->edits);
    delete run;
    CliReleaseClose(&data);
    return result;
}
