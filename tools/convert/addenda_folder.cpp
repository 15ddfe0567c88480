// Runs the addenda conversion from a folder to the entry's file and prints its summary: the part
// of it that touches the file system and the console.
#include "tools/convert/addenda_folder.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "foundation/status.h"
#include "tools/convert/convert_file.h"
#include "tools/convert/record_writer.h"

int32_t ConvertAddendaFolder(const char *folder, const char *outputPath, AddendaSummary *summary,
                             std::string *error)
{
    if (folder == nullptr || outputPath == nullptr || summary == nullptr || error == nullptr) {
        return ERR_NULLPTR;
    }
    DIR *dir = opendir(folder);
    if (dir == nullptr) {
        *error = std::string("cannot open the addenda folder ") + folder + ": " + strerror(errno);
        return ERR_OPEN;
    }
    std::vector<std::string> names;
    while (struct dirent *e = readdir(dir)) {
        std::string name = e->d_name;
        if (name.compare(0, sizeof ADDENDA_NAME_PREFIX - 1, ADDENDA_NAME_PREFIX) == 0) {
            names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    std::vector<AddendaInput> files;
    for (const std::string &name : names) {
        AddendaInput input;
        input.name = name;
        std::string path = std::string(folder) + "/" + name;
        int32_t status = ReadWholeFile(path.c_str(), &input.text, error);
        if (status < 0) {
            return status;
        }
        files.push_back(input);
    }
    std::string entry;
    int32_t status = ConvertAddenda(files, &entry, summary, error);
    if (status < 0) {
        *error = std::string(folder) + "/" + *error;
        return status;
    }
    return RecordWriterSaveFile(outputPath, entry, error);
}

void AddendaSummaryPrint(const AddendaSummary *summary, FILE *out)
{
    if (summary == nullptr || out == nullptr) {
        return;
    }
    for (const AddendaRelease &r : summary->releases) {
        fprintf(out, "release %s (%s): %u added, %u deleted, %u revised, %u split",
                r.name.c_str(), r.file.c_str(), r.added, r.deleted, r.revised, r.split);
        if (r.shortOnly > 0) {
            fprintf(out, "; %u short titles revised, not kept", r.shortOnly);
        }
        fputc('\n', out);
    }
    fprintf(out, "output: %llu bytes\n", (unsigned long long)summary->outputBytes);
}
