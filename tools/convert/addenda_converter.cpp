// Order-file addenda to the changes entry: the files put in release order, each read and checked
// (addenda_file, addenda_check), then every change the program shows written, release by release.
#include "tools/convert/addenda_converter.h"

#include <algorithm>

#include "foundation/status.h"
#include "tools/convert/addenda_check.h"
#include "tools/convert/addenda_file.h"

int32_t AddendaReleaseOfName(const std::string &fileName, std::string *release, uint32_t *order)
{
    if (release == nullptr || order == nullptr) {
        return ERR_NULLPTR;
    }
    const size_t prefix = sizeof ADDENDA_NAME_PREFIX - 1;
    if (fileName.compare(0, prefix, ADDENDA_NAME_PREFIX) != 0) {
        return ERR_INVFORMAT;
    }
    std::string rest = fileName.substr(prefix);
    bool april = false;
    if (rest.size() == 8 && rest.compare(4, 4, ".txt") == 0) {
    } else if (rest.size() == 14 && rest.compare(4, 10, "_april.txt") == 0) {
        april = true;
    } else {
        return ERR_INVFORMAT;
    }
    for (size_t i = 0; i < 4; i++) {
        if (rest[i] < '0' || rest[i] > '9') {
            return ERR_INVFORMAT;
        }
    }
    uint32_t year = (uint32_t)std::stoul(rest.substr(0, 4));
    // A fiscal year begins in October of the year before, so its April update comes after it.
    *order = year * 2 + (april ? 1 : 0);
    *release = rest.substr(0, 4) + (april ? "-04" : "");
    return 0;
}

static std::string Dotted(const std::string &code)
{
    return code.size() > 3 ? code.substr(0, 3) + "." + code.substr(3) : code;
}

static void WriteRelease(const AddendaFile &rf, std::string *out, AddendaRelease *counts)
{
    std::string body;
    uint32_t written = 0;
    for (const AddendaChange &c : rf.changes) {
        if (c.kind == 'R' && c.title == c.fromTitle && c.billable == c.fromBillable) {
            // The program shows long titles only.
            counts->shortOnly++;
            continue;
        }
        body += c.kind;
        body += '\t';
        body += c.billable ? '1' : '0';
        body += '\t' + Dotted(c.code) + '\t' + c.title;
        if (c.kind == 'R' || c.kind == 'S') {
            body += '\t';
            body += c.fromBillable ? '1' : '0';
            body += '\t' + c.fromTitle;
        }
        body += '\n';
        written++;
        uint32_t *count = c.kind == 'A' ? &counts->added : c.kind == 'D' ? &counts->deleted
                        : c.kind == 'R' ? &counts->revised : &counts->split;
        (*count)++;
    }
    *out += "release\t" + rf.release + "\t" + std::to_string(written) + "\n" + body;
}

int32_t ConvertAddenda(const std::vector<AddendaInput> &files, std::string *output,
                       AddendaSummary *summary, std::string *error)
{
    if (output == nullptr || summary == nullptr || error == nullptr) {
        return ERR_NULLPTR;
    }
    if (files.size() > ADDENDA_MAX_RELEASES) {
        *error = "more than " + std::to_string(ADDENDA_MAX_RELEASES) + " addenda files";
        return ERR_TOOMANY;
    }
    std::vector<AddendaFile> releases;
    for (const AddendaInput &input : files) {
        AddendaFile rf = {};
        rf.input = &input;
        if (AddendaReleaseOfName(input.name, &rf.release, &rf.order) < 0) {
            return AddendaFileFail(error, ERR_INVFORMAT, input.name, 0,
                                   "not an addenda file name (icd10cm_order_addenda_YYYY.txt or "
                                   "icd10cm_order_addenda_YYYY_april.txt)");
        }
        releases.push_back(rf);
    }
    std::sort(releases.begin(), releases.end(),
              [](const AddendaFile &a, const AddendaFile &b) { return a.order < b.order; });
    for (size_t k = 0; k < releases.size(); k++) {
        if (k > 0 && releases[k].order == releases[k - 1].order) {
            return AddendaFileFail(error, ERR_INVFORMAT, releases[k].input->name, 0,
                                   "a second file of release " + releases[k].release + " (also " +
                                       releases[k - 1].input->name + ")");
        }
        int32_t status = AddendaFileRead(&releases[k], error);
        if (status == 0) {
            status = AddendaCheckJoin(&releases[k].changes, releases[k].input->name, error);
        }
        if (status == 0) {
            status = AddendaCheckSummary(releases[k], error);
        }
        if (status == 0 && k > 0) {
            status = AddendaCheckFollows(releases[k - 1], releases[k], error);
        }
        if (status < 0) {
            return status;
        }
    }
    std::string out = "morbivue-changes\t1\t" + std::to_string(releases.size()) + "\n";
    AddendaSummary result = {};
    for (const AddendaFile &rf : releases) {
        AddendaRelease counts = {};
        counts.name = rf.release;
        counts.file = rf.input->name;
        WriteRelease(rf, &out, &counts);
        result.releases.push_back(counts);
    }
    result.outputBytes = out.size();
    *output = out;
    *summary = result;
    return 0;
}
