// Runs one conversion from file to file and prints its summary: the part of the converter
// that touches the file system and the console.
#include "tools/convert/convert_file.h"

#include <cerrno>
#include <cstring>

#include "foundation/status.h"
#include "tools/convert/record_writer.h"

int32_t ReadWholeFile(const char *path, std::string *bytes, std::string *error)
{
    FILE *f = fopen(path, "rb");
    if (f == nullptr) {
        *error = std::string("cannot open ") + path + ": " + strerror(errno);
        return ERR_OPEN;
    }
    char buf[65536];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
        bytes->append(buf, n);
    }
    bool failed = ferror(f) != 0;
    fclose(f);
    if (failed) {
        *error = std::string("cannot read ") + path;
        return ERR_READ;
    }
    return 0;
}

int32_t ConvertTabularFile(const char *inputPath, const char *outputPath,
                           ConvertSummary *summary, std::string *error, const char *sevenPath)
{
    if (inputPath == nullptr || outputPath == nullptr || summary == nullptr || error == nullptr) {
        return ERR_NULLPTR;
    }
    *summary = ConvertSummary();
    std::string xml;
    int32_t status = ReadWholeFile(inputPath, &xml, error);
    if (status < 0) {
        return status;
    }
    std::string records;
    std::string sevens;
    status = ConvertTabularXml(xml.data(), xml.size(), &records, summary, error, &sevens);
    if (status < 0) {
        *error = std::string(inputPath) + ": " + *error;
        return status;
    }
    status = RecordWriterSaveFile(outputPath, records, error);
    if (status == 0 && sevenPath != nullptr) {
        status = RecordWriterSaveFile(sevenPath, sevens, error);
    }
    return status;
}

void ConvertSummaryPrint(const ConvertSummary *summary, FILE *out)
{
    if (summary == nullptr || out == nullptr) {
        return;
    }
    fprintf(out, "records: %u (1 root, %u chapters, %u sections, %u codes)\n",
            summary->recordCount, summary->chapterCount, summary->sectionCount,
            summary->codeCount);
    fprintf(out, "records per level:");
    for (uint32_t level = 0; level < CONVERT_MAX_LEVELS; level++) {
        if (summary->levelCounts[level] > 0) {
            fprintf(out, " %u: %u", level, summary->levelCounts[level]);
        }
    }
    fprintf(out, "\nleaves: %u\n", summary->leafCount);
    fprintf(out, "longest line: %u bytes (record %u, %s)\n", summary->longestLine,
            summary->longestLineRecord, summary->longestLineCode.c_str());
    fprintf(out, "longest field: %u characters (record %u, %s, field %u)\n",
            summary->longestField, summary->longestFieldRecord,
            summary->longestFieldCode.c_str(), summary->longestFieldNumber);
    fprintf(out, "';' replaced by ',': %u in %u texts\n", summary->semicolonChars,
            summary->semicolonTexts);
    fprintf(out, "duplicate codes: %u\n", summary->duplicateCodes);
    fprintf(out, "output: %llu bytes\n", (unsigned long long)summary->outputBytes);
}
