// Reads one order-file addenda: each change line from its fixed columns, then the counts of each
// section of its summary with the line each stands on, so that a check can name it.
#include "tools/convert/addenda_file.h"

#include <cstring>

#include "foundation/status.h"

// Columns of a change line, as in the order file: kind (13), flag, blank, code (7), blank,
// short title (60), blank, long title.
constexpr size_t KIND_COLUMNS = 13;
constexpr size_t FLAG_COLUMN = 13;
constexpr size_t CODE_COLUMN = 15;
constexpr size_t CODE_COLUMNS = 7;
constexpr size_t SHORT_COLUMN = 23;
constexpr size_t SHORT_COLUMNS = 60;
constexpr size_t LONG_COLUMN = 84;

enum LineKind { KIND_ADD, KIND_DELETE, KIND_REVISE_FROM, KIND_REVISE_TO };
static const char *const kKindWords[] = {"Add:", "Delete:", "Revise from:", "Revise to:"};

int32_t AddendaFileFail(std::string *error, int32_t status, const std::string &file, uint32_t line,
                        const std::string &reason)
{
    *error = file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + reason;
    return status;
}

static std::string Trimmed(const std::string &s)
{
    size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// Reads a change line (its kind already known) from its columns into change.
static int32_t ParseChangeLine(const std::string &line, const std::string &file, uint32_t number,
                               LineKind kind, AddendaChange *change, std::string *error)
{
    for (size_t i = strlen(kKindWords[kind]); i < KIND_COLUMNS; i++) {
        if (i >= line.size() || line[i] != ' ') {
            return AddendaFileFail(error, ERR_INVDATA, file, number,
                                   "the flag is not in column 14");
        }
    }
    if (line.size() <= LONG_COLUMN) {
        return AddendaFileFail(error, ERR_INVDATA, file, number,
                               "short line (" + std::to_string(line.size()) +
                                   " characters; the long title starts in column 85)");
    }
    if (line.size() > LONG_COLUMN + ADDENDA_MAX_TITLE) {
        return AddendaFileFail(error, ERR_INVDATA, file, number,
                               "long line (" + std::to_string(line.size()) +
                                   " characters, at most " +
                                   std::to_string(LONG_COLUMN + ADDENDA_MAX_TITLE) + ")");
    }
    for (unsigned char c : line) {
        if (c < 0x20 || c > 0x7E) {
            return AddendaFileFail(error, ERR_INVDATA, file, number,
                                   "a character that is not printable ASCII (byte " +
                                       std::to_string(c) + ")");
        }
    }
    char flag = line[FLAG_COLUMN];
    if (flag != '0' && flag != '1') {
        return AddendaFileFail(error, ERR_INVDATA, file, number, "the flag is neither 0 nor 1");
    }
    if (line[FLAG_COLUMN + 1] != ' ' || line[SHORT_COLUMN - 1] != ' ' ||
        line[LONG_COLUMN - 1] != ' ') {
        return AddendaFileFail(error, ERR_INVDATA, file, number, "columns out of place");
    }
    std::string code = Trimmed(line.substr(CODE_COLUMN, CODE_COLUMNS));
    bool codeOk = code.size() >= 3 && code[0] >= 'A' && code[0] <= 'Z';
    for (char c : code) {
        codeOk = codeOk && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
    }
    if (!codeOk) {
        return AddendaFileFail(error, ERR_INVDATA, file, number, "bad code \"" + code + "\"");
    }
    change->kind = kind == KIND_ADD ? 'A' : kind == KIND_DELETE ? 'D' : 'F';
    change->billable = flag == '1';
    change->code = code;
    change->shortTitle = Trimmed(line.substr(SHORT_COLUMN, SHORT_COLUMNS));
    change->title = Trimmed(line.substr(LONG_COLUMN));
    change->line = number;
    if (change->title.empty()) {
        return AddendaFileFail(error, ERR_INVDATA, file, number, "no long title");
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
                            const char *unit, const std::string &file, AddendaSection *s,
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
            return AddendaFileFail(error, ERR_INVVALUE, file, (uint32_t)lines.size(),
                                   "the summary ends early: \"" + what + "\" is missing");
        }
        return AddendaFileFail(error, ERR_INVVALUE, file, (uint32_t)i + 1,
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

int32_t AddendaFileRead(AddendaFile *rf, std::string *error)
{
    const std::string &file = rf->input->name;
    std::vector<std::string> lines = SplitLines(rf->input->text);
    size_t i = 0;
    std::vector<AddendaChange> raw;
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
            return AddendaFileFail(error, ERR_INVDATA, file, (uint32_t)i + 1,
                                   "unknown line kind \"" + word.substr(0, 20) + "\"");
        }
        AddendaChange c = {};
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
        return AddendaFileFail(error, ERR_INVVALUE, file, (uint32_t)lines.size(),
                               "no summary after the changes");
    }
    i++;
    int32_t status = ParseSection(lines, &i, "Headers", "headers", file, &rf->stated[0], error);
    if (status < 0) {
        return status;
    }
    if (i >= lines.size() || !lines[i].empty()) {
        return AddendaFileFail(error, ERR_INVVALUE, file, (uint32_t)i + 1,
                               "summary: expected a blank line before \"Codes\"");
    }
    i++;
    status = ParseSection(lines, &i, "Codes", "codes", file, &rf->stated[1], error);
    if (status < 0) {
        return status;
    }
    for (; i < lines.size(); i++) {
        if (!lines[i].empty()) {
            return AddendaFileFail(error, ERR_INVVALUE, file, (uint32_t)i + 1,
                                   "text after the summary");
        }
    }
    rf->changes = raw;
    return 0;
}
