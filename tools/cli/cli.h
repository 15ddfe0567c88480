// morbivue-cli's shared parts: exit codes, loading the embedded records, and the commands that
// live in files of their own (one per command, dispatched from main.cpp's table).
#pragma once
#include <cstdint>

#include "classification/record_table.h"
#include "classification/releases.h"
#include "classification/seventh_chars.h"

enum : int {
    EXIT_OK = 0,
    EXIT_FAILED = 1,  // the records could not be loaded, or the code was not found
    EXIT_USAGE = 2,   // bad command line, or a search word that is too short
};

// A command of its own file: argc/argv hold what follows the command's name. Runs with the
// allocation tracer on and returns the process exit code.
typedef int (*CliRunFn)(int argc, char **argv);

// Loads the embedded records as the newest release has them, their 7th characters and the
// releases into zero-filled records; on failure says so on stderr and leaves nothing loaded.
// 0 or the loader's status.
int32_t CliLoadRelease(RecordTable *table, SeventhCharTable *chars, Releases *releases);

// Takes "--date YYYY-MM-DD" (or "--date=YYYY-MM-DD") out of the arguments, wherever it stands.
// 0 with *date the date (0 when none was given); EXIT_USAGE, said on stderr, for a bad one.
int CliTakeDate(int *argc, char **argv, int32_t *date);
// What the commands that answer for a date of service work on.
struct CliRelease {
    RecordTable table;       // the newest release's records
    SeventhCharTable chars;  // their 7th characters
    Releases releases;       // the releases held
    int32_t release;         // the release in effect on the date asked for
};
// Loads everything into a zero-filled run and picks the release in effect on date (the newest
// for 0). EXIT_OK; EXIT_FAILED (the data could not be read) or EXIT_USAGE (the releases held do
// not cover the date), said on stderr and nothing left loaded.
int CliReleaseOpen(CliRelease *run, int32_t date);
// Frees what CliReleaseOpen loaded.
void CliReleaseClose(CliRelease *run);

// Loads the embedded records into a zero-filled table; on failure says so on stderr.
// 0 or the loader's status.
int32_t CliLoadRecords(RecordTable *table);

// Loads the records and their 7th characters into zero-filled tables; on failure says so on
// stderr and leaves nothing loaded. 0 or the loader's status.
int32_t CliLoadRecordsAndSevenths(RecordTable *table, SeventhCharTable *chars);

// Writes length bytes to stdout: a PageSink writeText for commands that print pages.
void CliWritePiece(void *context, const char *text, int32_t length);

// check [CODE...]: CODE<TAB>STATUS<TAB>TITLE per code; stdin lines without CODE. Exit 0 when every
// code is billable, 1 otherwise.
int CliCheck(int argc, char **argv);
// encounter [CODE...]: the codes of one visit together (stdin: one encounter per line), each as
// check prints it, then !KIND<TAB>CODE<TAB>OTHER<TAB>WHERE<TAB>NOTE per finding
// (tools/cli/encounter.cpp). Exit 0 without errors, 1 with one, 2 for a bad command line.
int CliEncounter(int argc, char **argv);
// codes [--date YYYY-MM-DD]: every code of the release in effect, as its order file lists them,
// in code order: CODE<TAB>STATUS<TAB>TITLE (tools/cli/codes.cpp).
int CliCodes(int argc, char **argv);
// flags [CODE...]: the payers' lists for each billable code, CODE<TAB>DRG<TAB>HCC<TAB>MCE<TAB>POA;
// CODE<TAB>STATUS for another (tools/cli/flags.cpp). Exit 0 when every code is billable.
int CliFlags(int argc, char **argv);
// changes [CODE...]: the later releases' changes, all of them or those of codes beginning with
// each CODE (tools/cli/changes.cpp).
int CliChanges(int argc, char **argv);

// search WORD...: "Find" for the words joined by blanks (3 characters or more), CODE<TAB>TITLE
// per hit; nothing found is said on stderr. Exit 0, 2 for a short text.
int CliSearch(int argc, char **argv);
// index WORD...: the index entries whose path holds every word (tools/cli/index.cpp).
int CliIndex(int argc, char **argv);
// guideline [ID | WORD...]: every section of the Official Guidelines (ID<TAB>HEADING), one whole,
// or those whose text holds every word (tools/cli/guideline.cpp). Exit 1 for an unknown ID or no
// hit, 2 for a bad command line.
int CliGuideline(int argc, char **argv);
