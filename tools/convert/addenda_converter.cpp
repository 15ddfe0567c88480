// Order-file addenda to the changes entry: each change line read from its fixed columns, the
// pairs that make one change joined (Revise from/to; the Delete and Add of a split), and every
// count of the file's summary checked, so that a damaged or unfamiliar file stops the build.
#include "tools/convert/addenda_converter.h"
#include "tools/convert/convert_file.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "foundation/status.h"
#include "tools/convert/record_writer.h"

// Columns of a change line, as in the order file: kind (13), flag, blank, code (7), blank,
// short title (60), blank, long title.
constexpr size_t KIND_COLUMNS = 13;
constexpr size_t FLAG_COLUMN = 13;
constexpr size_t CODE_COLUMN = 15;
constexpr size_t CODE_COLUMNS = 7;
constexpr size_t SHORT_COLUMN = 23;
constexpr size_t SHORT_COLUMNS = 60;
constexpr size_t LONG_COLUMN = 84;

static const char kNamePrefix[] = "icd10cm_order_addenda_";

enum LineKind { KIND_ADD, KIND_DELETE, KIND_REVISE_FROM, KIND_REVISE_TO };
static const char *const kKindWords[] = {"Add:", "Delete:", "Revise from:", "Revise to:"};

// One change line, or a joined pair.
struct Change {
    char kind;              // 'A', 'D', 'R', 'S' as written; 'F' for a Revise from: still alone
    bool billable;          // flag after the change (before it for a deletion)
    std::string code;       // without its dot, as in the file
    std::string title;      // long title after the change (before it for a deletion)
    std::string shortTitle; // short title after the change
    bool fromBillable;      // for 'R' and 'S': flag before
    std::string fromTitle;  // for 'R' and 'S': long title before
    std::string fromShort;  // for 'R': short title before
    uint32_t line;          // line of the change (its first line for a pair)
};

// One section of a summary ("Headers" or "Codes") and what the file's lines add up to.
struct SectionCounts {
    long before, after, additions, deletions, revisions, both, longOnly, shortOnly;
    uint32_t beforeLine, afterLine, lines[8];
};

struct ReleaseFile {
    const AddendaInput *input;
    std::string release;
    uint32_t order;
    std::vector<Change> changes;
    SectionCounts stated[2];   // 0 headers, 1 codes, as the summary says
};

static int32_t Fail(std::string *error, int32_t status, const std::string &file, uint32_t line,
                    const std::string &reason)
{
    *error = file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + reason;
    return status;
}

int32_t AddendaReleaseOfName(const std::string &fileName, std::string *release, uint32_t *order)
{
    if (release == nullptr || order == nullptr) {
        return ERR_NULLPTR;
    }
    const size_t prefix = sizeof kNamePrefix - 1;
    if (fileName.compare(0, prefix, kNamePrefix) != 0) {
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

static std::string Trimmed(const std::string &s)
{
    size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// Reads a change line (its kind already known) from its columns into change.
static int32_t ParseChangeLine(const std::string &line, const std::string &file, uint32_t number,
                               LineKind kind, Change *change, std::string *error)
{
    for (size_t i = strlen(kKindWords[kind]); i < KIND_COLUMNS; i++) {
        if (i >= line.size() || line[i] != ' ') {
            return Fail(error, ERR_INVDATA, file, number, "the flag is not in column 14");
        }
    }
    if (line.size() <= LONG_COLUMN) {
        return Fail(error, ERR_INVDATA, file, number,
                    "short line (" + std::to_string(line.size()) +
                        " characters; the long title starts in column 85)");
    }
    if (line.size() > LONG_COLUMN + ADDENDA_MAX_TITLE) {
        return Fail(error, ERR_INVDATA, file, number,
                    "long line (" + std::to_string(line.size()) + " characters, at most " +
                        std::to_string(LONG_COLUMN + ADDENDA_MAX_TITLE) + ")");
    }
    for (unsigned char c : line) {
        if (c < 0x20 || c > 0x7E) {
            return Fail(error, ERR_INVDATA, file, number,
                        "a character that is not printable ASCII (byte " + std::to_string(c) +
                            ")");
        }
    }
    char flag = line[FLAG_COLUMN];
    if (flag != '0' && flag != '1') {
        return Fail(error, ERR_INVDATA, file, number, "the flag is neither 0 nor 1");
    }
    if (line[FLAG_COLUMN + 1] != ' ' || line[SHORT_COLUMN - 1] != ' ' ||
        line[LONG_COLUMN - 1] != ' ') {
        return Fail(error, ERR_INVDATA, file, number, "columns out of place");
    }
    std::string code = Trimmed(line.substr(CODE_COLUMN, CODE_COLUMNS));
    bool codeOk = code.size() >= 3 && code[0] >= 'A' && code[0] <= 'Z';
    for (char c : code) {
        codeOk = codeOk && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
    }
    if (!codeOk) {
        return Fail(error, ERR_INVDATA, file, number, "bad code \"" + code + "\"");
    }
    change->kind = kind == KIND_ADD ? 'A' : kind == KIND_DELETE ? 'D' : 'F';
    change->billable = flag == '1';
    change->code = code;
    change->shortTitle = Trimmed(line.substr(SHORT_COLUMN, SHORT_COLUMNS));
    change->title = Trimmed(line.substr(LONG_COLUMN));
    change->line = number;
    if (change->title.empty()) {
        return Fail(error, ERR_INVDATA, file, number, "no long title");
    }
    return 0;
}

// Number at the start of a summary line ("  395 additions"), the rest in *rest. false if none.
static bool CountLine(const std::string &line, long *count, std::string *rest)
{
    size_t i = line.find_first_not_of(' ');
    if (i == std::string::npos || i == 0 || line[i] < '0' || line[i] > '9') {
        return false;
    }
    size_t end = line.find_first_not_of("0123456789", i);
    if (end == std::string::npos || line[end] != ' ' || end - i > 9) {
        return false;
    }
    *count = std::stol(line.substr(i, end - i));
    *rest = line.substr(end + 1);
    return true;
}

// Reads one summary section from lines[*at]: the caption, both totals, the three counts and the
// three kinds of revision.
static int32_t ParseSection(const std::vector<std::string> &lines, size_t *at, const char *caption,
                            const char *unit, const std::string &file, SectionCounts *s,
                            std::string *error)
{
    const std::string totalText = std::string(unit) + " in ";
    static const char *const kCounted[] = {
        "additions", "deletions", "revisions", nullptr,
        "revisions to both long and short titles", "revisions to long title only",
        "revisions to short title only"};
    long *const targets[] = {&s->additions, &s->deletions, &s->revisions, nullptr,
                             &s->both, &s->longOnly, &s->shortOnly};
    size_t i = *at;
    auto expect = [&](const std::string &what) {
        if (i >= lines.size()) {
            return Fail(error, ERR_INVVALUE, file, (uint32_t)lines.size(),
                        "the summary ends early: \"" + what + "\" is missing");
        }
        return Fail(error, ERR_INVVALUE, file, (uint32_t)i + 1,
                    "summary: expected \"" + what + "\"");
    };
    if (i >= lines.size() || lines[i] != caption) {
        return expect(caption);
    }
    i++;
    long *totals[] = {&s->before, &s->after};
    uint32_t *totalLines[] = {&s->beforeLine, &s->afterLine};
    for (int k = 0; k < 2; k++, i++) {
        std::string rest;
        if (i >= lines.size() || !CountLine(lines[i], totals[k], &rest) ||
            rest.compare(0, totalText.size(), totalText) != 0 || rest.size() == totalText.size()) {
            return expect("N " + totalText + "FILE");
        }
        *totalLines[k] = (uint32_t)i + 1;
    }
    for (int k = 0; k < 7; k++, i++) {
        std::string rest;
        if (kCounted[k] == nullptr) {
            if (i >= lines.size() || lines[i] != "of which") {
                return expect("of which");
            }
            continue;
        }
        if (i >= lines.size() || !CountLine(lines[i], targets[k], &rest) || rest != kCounted[k]) {
            return expect(std::string("N ") + kCounted[k]);
        }
        s->lines[k] = (uint32_t)i + 1;
    }
    *at = i;
    return 0;
}

// The file's lines without their line ends (CR LF or LF).
static std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start && text[end - 1] == '\r') {
            end--;
        }
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

// Joins Revise from/to pairs and the Delete and Add of a split; anything else that names a code
// twice is an error.
static int32_t JoinChanges(std::vector<Change> *raw, const std::string &file, std::string *error)
{
    std::vector<Change> joined;
    std::map<std::string, size_t> seen;  // code -> its change in joined
    for (size_t k = 0; k < raw->size(); k++) {
        Change c = (*raw)[k];
        if (c.kind == 'T') {
            return Fail(error, ERR_INVDATA, file, c.line, "Revise to: without a Revise from:");
        }
        if (c.kind == 'F') {
            if (k + 1 >= raw->size() || (*raw)[k + 1].kind != 'T' ||
                (*raw)[k + 1].code != c.code) {
                return Fail(error, ERR_INVDATA, file, c.line,
                            "Revise from: not followed by the Revise to: of " + c.code);
            }
            const Change &to = (*raw)[++k];
            c.kind = 'R';
            c.fromBillable = c.billable;
            c.fromTitle = c.title;
            c.fromShort = c.shortTitle;
            c.billable = to.billable;
            c.title = to.title;
            c.shortTitle = to.shortTitle;
        }
        auto found = seen.find(c.code);
        if (found == seen.end()) {
            seen[c.code] = joined.size();
            joined.push_back(c);
            continue;
        }
        Change &first = joined[found->second];
        if (first.kind == 'D' && first.billable && c.kind == 'A' && !c.billable) {
            first.kind = 'S';
            first.fromBillable = true;
            first.fromTitle = first.title;
            first.billable = false;
            first.title = c.title;
            continue;
        }
        return Fail(error, ERR_INVDATA, file, c.line,
                    c.code + " changed twice in one release (also on line " +
                        std::to_string(first.line) + ")");
    }
    *raw = joined;
    return 0;
}

// What the joined changes add up to, section by section (0 headers, 1 codes), as the summary
// counts them: a split is a deleted code and an added header.
static void CountChanges(const std::vector<Change> &changes, SectionCounts counted[2])
{
    memset(counted, 0, 2 * sizeof *counted);
    for (const Change &c : changes) {
        switch (c.kind) {
        case 'A': counted[c.billable].additions++; break;
        case 'D': counted[c.billable].deletions++; break;
        case 'S':
            counted[1].deletions++;
            counted[0].additions++;
            break;
        case 'R': {
            SectionCounts &s = counted[c.fromBillable];
            s.revisions++;
            bool longChanged = c.title != c.fromTitle;
            bool shortChanged = c.shortTitle != c.fromShort;
            if (longChanged && shortChanged) {
                s.both++;
            } else if (longChanged) {
                s.longOnly++;
            } else if (shortChanged) {
                s.shortOnly++;
            }
            break;
        }
        }
    }
}

static int32_t CheckSummary(const ReleaseFile &rf, std::string *error)
{
    SectionCounts counted[2];
    CountChanges(rf.changes, counted);
    static const char *const kNames[] = {"additions", "deletions", "revisions", nullptr,
                                         "revisions to both long and short titles",
                                         "revisions to long title only",
                                         "revisions to short title only"};
    const std::string &file = rf.input->name;
    for (int s = 0; s < 2; s++) {
        const SectionCounts &st = rf.stated[s];
        const long got[] = {counted[s].additions, counted[s].deletions, counted[s].revisions, 0,
                            counted[s].both, counted[s].longOnly, counted[s].shortOnly};
        const long said[] = {st.additions, st.deletions, st.revisions, 0,
                             st.both, st.longOnly, st.shortOnly};
        for (int k = 0; k < 7; k++) {
            if (kNames[k] != nullptr && got[k] != said[k]) {
                return Fail(error, ERR_INVVALUE, file, st.lines[k],
                            "the summary says " + std::to_string(said[k]) + " " + kNames[k] +
                                " of " + (s == 0 ? "headers" : "codes") + ", the file has " +
                                std::to_string(got[k]));
            }
        }
        if (st.both + st.longOnly + st.shortOnly != st.revisions) {
            return Fail(error, ERR_INVVALUE, file, st.lines[4],
                        "the kinds of revision do not add up to the revisions");
        }
        if (st.before + st.additions - st.deletions != st.after) {
            return Fail(error, ERR_INVVALUE, file, st.afterLine,
                        std::to_string(st.before) + " + " + std::to_string(st.additions) + " - " +
                            std::to_string(st.deletions) + " is not " + std::to_string(st.after));
        }
    }
    return 0;
}

static int32_t ParseFile(ReleaseFile *rf, std::string *error)
{
    const std::string &file = rf->input->name;
    std::vector<std::string> lines = SplitLines(rf->input->text);
    size_t i = 0;
    std::vector<Change> raw;
    for (; i < lines.size() && !lines[i].empty(); i++) {
        const std::string &line = lines[i];
        int kind = -1;
        for (int k = 0; k < 4; k++) {
            if (line.compare(0, strlen(kKindWords[k]), kKindWords[k]) == 0) {
                kind = k;
            }
        }
        if (kind < 0) {
            std::string word = line.substr(0, line.find(' '));
            return Fail(error, ERR_INVDATA, file, (uint32_t)i + 1,
                        "unknown line kind \"" + word.substr(0, 20) + "\"");
        }
        Change c = {};
        int32_t status = ParseChangeLine(line, file, (uint32_t)i + 1, (LineKind)kind, &c, error);
        if (status < 0) {
            return status;
        }
        if (kind == KIND_REVISE_TO) {
            c.kind = 'T';
        }
        raw.push_back(c);
    }
    if (i >= lines.size()) {
        return Fail(error, ERR_INVVALUE, file, (uint32_t)lines.size(),
                    "no summary after the changes");
    }
    i++;
    int32_t status = ParseSection(lines, &i, "Headers", "headers", file, &rf->stated[0], error);
    if (status < 0) {
        return status;
    }
    if (i >= lines.size() || !lines[i].empty()) {
        return Fail(error, ERR_INVVALUE, file, (uint32_t)i + 1,
                    "summary: expected a blank line before \"Codes\"");
    }
    i++;
    status = ParseSection(lines, &i, "Codes", "codes", file, &rf->stated[1], error);
    if (status < 0) {
        return status;
    }
    for (; i < lines.size(); i++) {
        if (!lines[i].empty()) {
            return Fail(error, ERR_INVVALUE, file, (uint32_t)i + 1, "text after the summary");
        }
    }
    status = JoinChanges(&raw, file, error);
    if (status < 0) {
        return status;
    }
    rf->changes = raw;
    return CheckSummary(*rf, error);
}

static std::string Dotted(const std::string &code)
{
    return code.size() > 3 ? code.substr(0, 3) + "." + code.substr(3) : code;
}

static void WriteRelease(const ReleaseFile &rf, std::string *out, AddendaRelease *counts)
{
    std::string body;
    uint32_t written = 0;
    for (const Change &c : rf.changes) {
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
    std::vector<ReleaseFile> releases;
    for (const AddendaInput &input : files) {
        ReleaseFile rf = {};
        rf.input = &input;
        if (AddendaReleaseOfName(input.name, &rf.release, &rf.order) < 0) {
            return Fail(error, ERR_INVFORMAT, input.name, 0,
                        "not an addenda file name (icd10cm_order_addenda_YYYY.txt or "
                        "icd10cm_order_addenda_YYYY_april.txt)");
        }
        releases.push_back(rf);
    }
    std::sort(releases.begin(), releases.end(),
              [](const ReleaseFile &a, const ReleaseFile &b) { return a.order < b.order; });
    for (size_t k = 0; k < releases.size(); k++) {
        if (k > 0 && releases[k].order == releases[k - 1].order) {
            return Fail(error, ERR_INVFORMAT, releases[k].input->name, 0,
                        "a second file of release " + releases[k].release + " (also " +
                            releases[k - 1].input->name + ")");
        }
        int32_t status = ParseFile(&releases[k], error);
        if (status < 0) {
            return status;
        }
        // Each release starts where the one before ended; a gap means a missing file.
        for (int s = 0; k > 0 && s < 2; s++) {
            const SectionCounts &now = releases[k].stated[s];
            const SectionCounts &before = releases[k - 1].stated[s];
            if (now.before != before.after) {
                return Fail(error, ERR_INVVALUE, releases[k].input->name, now.beforeLine,
                            "starts from " + std::to_string(now.before) + " " +
                                (s == 0 ? "headers" : "codes") + ", but " +
                                releases[k - 1].input->name + " ended with " +
                                std::to_string(before.after) +
                                " (the addenda of a release between them missing?)");
            }
        }
    }
    std::string out = "morbivue-changes\t1\t" + std::to_string(releases.size()) + "\n";
    AddendaSummary result = {};
    for (const ReleaseFile &rf : releases) {
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
        if (name.compare(0, sizeof kNamePrefix - 1, kNamePrefix) == 0) {
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
