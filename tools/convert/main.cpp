// morbivue-convert INPUT.xml OUTPUT.dat [SEVENCHR.txt]: the build step that turns the ICD-10-CM
// tabular XML into engtextrecords.dat (and the 7th-character entry) and prints what it wrote;
// with --addenda, the step that turns the later releases' order-file addenda into the changes
// entry; with --index KIND, an index XML into its index file; with --edits, the payers' lists
// into the edits entry.
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/status.h"
#include "tools/convert/addenda_folder.h"
#include "tools/convert/convert_file.h"
#include "tools/convert/edits_converter.h"
#include "tools/convert/guidelines_converter.h"
#include "tools/convert/index_converter.h"

static int ConvertIndex(const char *kind, const char *input, const char *output)
{
    IndexConvertSummary summary = {};
    std::string error;
    int32_t status = ConvertIndexFile(input, kind, output, &summary, &error);
    if (status < 0) {
        fprintf(stderr, "morbivue-convert: %s (%s)\n", error.c_str(), StatusName(status));
        return 1;
    }
    printf("%s -> %s\n", input, output);
    IndexConvertSummaryPrint(&summary, stdout);
    return 0;
}

static int ConvertAddendaMain(const char *folder, const char *output)
{
    AddendaSummary summary = {};
    std::string error;
    int32_t status = ConvertAddendaFolder(folder, output, &summary, &error);
    if (status < 0) {
        fprintf(stderr, "morbivue-convert: %s (%s)\n", error.c_str(), StatusName(status));
        return 1;
    }
    printf("%s -> %s\n", folder, output);
    AddendaSummaryPrint(&summary, stdout);
    return 0;
}

static int ConvertEditsMain(const char *folder, const char *output)
{
    EditsSummary summary = {};
    std::string error;
    int32_t status = ConvertEditsFolder(folder, output, &summary, &error);
    if (status < 0) {
        fprintf(stderr, "morbivue-convert: %s (%s)\n", error.c_str(), StatusName(status));
        return 1;
    }
    printf("%s -> %s\n", folder, output);
    EditsSummaryPrint(&summary, stdout);
    return 0;
}

static int ConvertGuidelines(const char *input, const char *output)
{
    GuidelinesConvertSummary summary = {};
    std::string error;
    int32_t status = ConvertGuidelinesFile(input, output, &summary, &error);
    if (status < 0) {
        fprintf(stderr, "morbivue-convert: %s: %s (%s)\n", input, error.c_str(), StatusName(status));
        return 1;
    }
    printf("%s -> %s\n%d sections (%d in the contents, %d worded a little differently in the "
           "body; %d more at their levels), %d paragraphs and items, %d footers dropped\n",
           input, output, (int)summary.sections, (int)summary.contents, (int)summary.reworded,
           (int)summary.unlisted,
           (int)summary.paragraphs, (int)summary.footers);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 4 && strcmp(argv[1], "--edits") == 0) {
        return ConvertEditsMain(argv[2], argv[3]);
    }
    if (argc == 4 && strcmp(argv[1], "--guidelines") == 0) {
        return ConvertGuidelines(argv[2], argv[3]);
    }
    if (argc == 4 && strcmp(argv[1], "--addenda") == 0) {
        return ConvertAddendaMain(argv[2], argv[3]);
    }
    if (argc == 5 && strcmp(argv[1], "--index") == 0) {
        return ConvertIndex(argv[2], argv[3], argv[4]);
    }
    if ((argc != 3 && argc != 4) || argv[1][0] == '-') {
        fprintf(stderr, "usage: morbivue-convert INPUT.xml OUTPUT.dat [SEVENCHR.txt]\n"
                        "       morbivue-convert --addenda FOLDER OUTPUT.txt\n"
                        "       morbivue-convert --edits FOLDER OUTPUT.txt\n"
                        "       morbivue-convert --index index|neoplasm|drug|external INPUT.xml "
                        "OUTPUT.dat\n"
                        "       morbivue-convert --guidelines INPUT.txt OUTPUT.dat\n");
        return 2;
    }
    ConvertSummary summary = {};
    std::string error;
    int32_t status =
        ConvertTabularFile(argv[1], argv[2], &summary, &error, argc == 4 ? argv[3] : nullptr);
    for (const std::string &warning : summary.warnings) {
        fprintf(stderr, "morbivue-convert: warning: %s\n", warning.c_str());
    }
    if (status < 0) {
        fprintf(stderr, "morbivue-convert: %s (%s)\n", error.c_str(), StatusName(status));
        return 1;
    }
    printf("%s -> %s\n", argv[1], argv[2]);
    ConvertSummaryPrint(&summary, stdout);
    return 0;
}
