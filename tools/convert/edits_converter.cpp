// The payers' lists to the edits entry: each file read line by line against its header, every
// field checked, codes given their dot; the lists' versions are those of the files named here.
#include "tools/convert/edits_converter.h"

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "foundation/status.h"

namespace {

struct Reader {
    std::string file;                // name shown in messages
    std::vector<std::string> lines;  // without their line ends
    int32_t line = 0;                // the line being read, 1-based
    std::string *error;
    int32_t Fail(const std::string &reason) {
        *error = file + ":" + std::to_string(line) + ": " + reason;
        return ERR_INVDATA;
    }
};

int32_t Open(const std::string &folder, const char *name, Reader *r, std::string *error) {
    r->file = name;
    r->error = error;
    std::ifstream in(folder + "/" + name, std::ios::binary);
    if (!in) {
        *error = std::string(name) + ": cannot be opened in " + folder;
        return ERR_OPEN;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        r->lines.push_back(line);
    }
    return 0;
}

std::vector<std::string> Split(const std::string &line) {
    std::vector<std::string> f;
    std::stringstream s(line);
    std::string field;
    while (std::getline(s, field, '\t')) f.push_back(field);
    if (!line.empty() && line.back() == '\t') f.push_back("");
    return f;
}

bool Alnum(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// A code as the lists write it, without its dot (A0104, QA0011): a letter, then 2 to 6 letters
// or digits. Written with its dot.
bool Dotted(const std::string &plain, std::string *out) {
    if (plain.size() < 3 || plain.size() > 7 || plain[0] < 'A' || plain[0] > 'Z') return false;
    for (char c : plain) {
        if (!Alnum(c)) return false;
    }
    *out = plain.size() > 3 ? plain.substr(0, 3) + "." + plain.substr(3) : plain;
    return true;
}

bool Number(const std::string &s, int32_t limit, int32_t *value) {
    if (s.empty() || s.size() > 4) return false;
    int32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return v <= limit;
}

// The rows of a file with a header: each split into exactly columns fields.
int32_t Rows(Reader *r, const char *header, size_t columns,
             std::vector<std::vector<std::string>> *rows) {
    if (r->lines.empty() || r->lines[0] != header) {
        r->line = 1;
        return r->Fail(std::string("the header must be \"") + header + "\"");
    }
    for (size_t i = 1; i < r->lines.size(); i++) {
        r->line = (int32_t)i + 1;
        std::vector<std::string> f = Split(r->lines[i]);
        if (f.size() != columns) {
            return r->Fail("expected " + std::to_string(columns) + " tab-separated fields, found " +
                           std::to_string(f.size()));
        }
        rows->push_back(f);
    }
    return 0;
}

const char *const kMceEdits[] = {"age_perinatal", "age_pediatric", "age_maternity", "age_adult",
                                 "manifestation_not_pdx", "unacceptable_pdx",
                                 "unacceptable_pdx_unless_secondary_dx", "questionable_admission"};

int32_t Drg(const std::string &folder, std::ostringstream &out, EditsSummary *s,
            std::string *error) {
    Reader r;
    std::vector<std::vector<std::string>> rows;
    int32_t status = Open(folder, "msdrg_v43_cc_mcc.tsv", &r, error);
    if (status >= 0) status = Rows(&r, "code\tlevel", 2, &rows);
    if (status < 0) return status;
    out << "list\tdrg\tMS-DRG v43\t2026\n";
    std::set<std::string> seen;
    for (size_t i = 0; i < rows.size(); i++) {
        r.line = (int32_t)i + 2;
        std::string code;
        if (!Dotted(rows[i][0], &code)) return r.Fail("\"" + rows[i][0] + "\" is no code");
        if (rows[i][1] != "CC" && rows[i][1] != "MCC") return r.Fail("the level must be CC or MCC");
        if (!seen.insert(code).second) return r.Fail(code + " is listed twice");
        out << "D\t" << code << "\t" << rows[i][1] << "\n";
        s->drg++;
    }
    return 0;
}

int32_t Mce(const std::string &folder, std::ostringstream &out, EditsSummary *s,
            std::string *error) {
    Reader r;
    std::vector<std::vector<std::string>> rows;
    int32_t status = Open(folder, "mce_v43_1_dx_edits.tsv", &r, error);
    if (status >= 0) status = Rows(&r, "code\tedit\tages", 3, &rows);
    if (status < 0) return status;
    out << "list\tmce\tMedicare Code Editor v43.1\t2026\n";
    std::set<std::string> seen;
    for (size_t i = 0; i < rows.size(); i++) {
        r.line = (int32_t)i + 2;
        std::string code;
        if (!Dotted(rows[i][0], &code)) return r.Fail("\"" + rows[i][0] + "\" is no code");
        bool known = false;
        for (const char *edit : kMceEdits) known = known || rows[i][1] == edit;
        if (!known) return r.Fail("unknown edit \"" + rows[i][1] + "\"");
        const std::string &ages = rows[i][2];
        size_t dash = ages.find('-');
        int32_t lo = 0, hi = 0;
        bool age = rows[i][1].rfind("age_", 0) == 0;
        if (age && (dash == std::string::npos || !Number(ages.substr(0, dash), 124, &lo) ||
                    !Number(ages.substr(dash + 1), 124, &hi) || lo > hi)) {
            return r.Fail("ages must be LOW-HIGH within 0-124, not \"" + ages + "\"");
        }
        if (!age && ages != "-") return r.Fail("only an age edit has ages: \"-\" for the others");
        if (!seen.insert(code + "\t" + rows[i][1]).second) {
            return r.Fail(code + " has the edit " + rows[i][1] + " twice");
        }
        out << "M\t" << code << "\t" << rows[i][1] << "\t" << lo << "\t" << hi << "\n";
        s->mce++;
    }
    return 0;
}

int32_t Hcc(const std::string &folder, std::ostringstream &out, EditsSummary *s,
            std::string *error) {
    Reader labels, drops, map;
    std::vector<std::vector<std::string>> labelRows, dropRows, mapRows;
    int32_t status = Open(folder, "cms_hcc_v28_labels.tsv", &labels, error);
    if (status >= 0) status = Rows(&labels, "hcc\tlabel", 2, &labelRows);
    if (status >= 0) status = Open(folder, "cms_hcc_v28_hierarchies.tsv", &drops, error);
    if (status >= 0) status = Rows(&drops, "hcc\tdrops", 2, &dropRows);
    if (status >= 0) status = Open(folder, "cms_hcc_v28_py2026_dx.tsv", &map, error);
    if (status >= 0) status = Rows(&map, "code\thcc", 2, &mapRows);
    if (status < 0) return status;
    out << "list\thcc\tCMS-HCC V28\t2026\n";
    std::set<int32_t> known;
    for (size_t i = 0; i < labelRows.size(); i++) {
        labels.line = (int32_t)i + 2;
        int32_t hcc = 0;
        if (!Number(labelRows[i][0], 9999, &hcc) || hcc == 0) return labels.Fail("no HCC number");
        if (labelRows[i][1].empty()) return labels.Fail("an empty label");
        if (!known.insert(hcc).second) return labels.Fail("HCC " + labelRows[i][0] + " twice");
        out << "L\t" << hcc << "\t" << labelRows[i][1] << "\n";
        s->labels++;
    }
    for (size_t i = 0; i < dropRows.size(); i++) {
        drops.line = (int32_t)i + 2;
        int32_t a = 0, b = 0;
        if (!Number(dropRows[i][0], 9999, &a) || !Number(dropRows[i][1], 9999, &b) ||
            known.count(a) == 0 || known.count(b) == 0 || a == b) {
            return drops.Fail("both HCCs must be labelled and differ");
        }
        out << "X\t" << a << "\t" << b << "\n";
        s->drops++;
    }
    std::set<std::string> seen;
    for (size_t i = 0; i < mapRows.size(); i++) {
        map.line = (int32_t)i + 2;
        std::string code;
        int32_t hcc = 0;
        if (!Dotted(mapRows[i][0], &code)) return map.Fail("\"" + mapRows[i][0] + "\" is no code");
        if (!Number(mapRows[i][1], 9999, &hcc) || known.count(hcc) == 0) {
            return map.Fail("HCC \"" + mapRows[i][1] + "\" has no label");
        }
        if (!seen.insert(code + "\t" + mapRows[i][1]).second) return map.Fail("a row twice");
        out << "H\t" << code << "\t" << hcc << "\n";
        s->hcc++;
    }
    return 0;
}

int32_t Poa(const std::string &folder, std::ostringstream &out, EditsSummary *s,
            std::string *error) {
    Reader r;
    int32_t status = Open(folder, "poa_exempt_fy2025.txt", &r, error);
    if (status < 0) return status;
    out << "list\tpoa\tPOA exempt list FY2025\t2025\n";
    std::set<std::string> seen;
    for (size_t i = 0; i < r.lines.size(); i++) {
        r.line = (int32_t)i + 1;
        const std::string &code = r.lines[i];
        std::string plain = code, dotted;
        if (plain.size() > 4 && plain[3] == '.') plain.erase(3, 1);
        if (!Dotted(plain, &dotted) || dotted != code) return r.Fail("\"" + code + "\" is no code");
        if (!seen.insert(code).second) return r.Fail(code + " is listed twice");
        out << "P\t" << code << "\n";
        s->poa++;
    }
    return 0;
}

}  // namespace

int32_t ConvertEditsText(const char *folder, std::string *out, EditsSummary *summary,
                         std::string *error) {
    if (folder == nullptr || out == nullptr || summary == nullptr || error == nullptr) {
        return ERR_NULLPTR;
    }
    EditsSummary s = {};
    std::ostringstream text;
    text << EDITS_ENTRY_MAGIC << "\t1\n";
    int32_t status = Drg(folder, text, &s, error);
    if (status >= 0) status = Mce(folder, text, &s, error);
    if (status >= 0) status = Hcc(folder, text, &s, error);
    if (status >= 0) status = Poa(folder, text, &s, error);
    if (status < 0) return status;
    text << "end\t" << (s.drg + s.mce + s.labels + s.drops + s.hcc + s.poa) << "\n";
    *out = text.str();
    s.outputBytes = out->size();
    *summary = s;
    return 0;
}

int32_t ConvertEditsFolder(const char *folder, const char *outputPath, EditsSummary *summary,
                           std::string *error) {
    std::string text;
    int32_t status = ConvertEditsText(folder, &text, summary, error);
    if (status < 0) return status;
    std::string temporary = std::string(outputPath) + ".tmp";
    std::ofstream file(temporary, std::ios::binary);
    file.write(text.data(), (std::streamsize)text.size());
    file.close();
    if (!file || std::rename(temporary.c_str(), outputPath) != 0) {
        std::remove(temporary.c_str());
        *error = std::string(outputPath) + ": cannot be written";
        return ERR_WRITE;
    }
    return 0;
}

void EditsSummaryPrint(const EditsSummary *s, FILE *out) {
    fprintf(out, "MS-DRG v43: %d CC/MCC codes\n", (int)s->drg);
    fprintf(out, "Medicare Code Editor v43.1: %d code edits\n", (int)s->mce);
    fprintf(out, "CMS-HCC V28: %d code-HCC rows, %d labels, %d hierarchy rows\n", (int)s->hcc,
            (int)s->labels, (int)s->drops);
    fprintf(out, "POA exempt FY2025: %d codes\n", (int)s->poa);
    fprintf(out, "output: %zu bytes\n", s->outputBytes);
}
