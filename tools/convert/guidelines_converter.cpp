// The guidelines' converter: the contents read into the headings to expect, then the body walked
// line by line, footers dropped, headings matched in order, the numbered levels below the
// contents recognised by their expected next number or letter, and lines joined into paragraphs.
#include "tools/convert/guidelines_converter.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "foundation/status.h"
#include "tools/convert/convert_file.h"
#include "tools/convert/record_writer.h"
#include "tools/convert/text_encoding.h"

namespace {

const char FOOTER_TITLE[] = "ICD-10-CM Official Guidelines for Coding and Reporting";
const char SYMBOL_BULLET[] = "\xEF\x82\xA7";  // U+F0A7, a symbol font's bullet
const char BULLET[] = "\xE2\x80\xA2";         // U+2022

struct Heading {
    int depth;          // 0 Section or Appendix, 1 "A.", 2 "1.", 3 "a."
    std::string label;  // "I", "A", "1", "a", "AppI"
    std::string text;   // the heading without its label
    std::string line;   // as the body prints it, label included
};

struct Section {
    int depth;  // contents' depths, then 4 "1)", 5 "(a)", 6 "(i)"
    std::string id, heading;
    std::vector<std::string> lines;  // "P\t..." and "B\t..."
    int children[7];                 // children seen per depth
};

std::string Collapse(const std::string &s) {
    std::string out;
    for (char c : s) {
        if (isspace((unsigned char)c)) {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// Lower case, without the closing punctuation the contents and body sometimes disagree on.
std::string Key(const std::string &s) {
    std::string k = Collapse(s);
    while (!k.empty() && (k.back() == '.' || k.back() == ':')) k.pop_back();
    for (char &c : k) c = (char)tolower((unsigned char)c);
    return k;
}

bool StartsWith(const std::string &s, const char *prefix) {
    return s.compare(0, strlen(prefix), prefix) == 0;
}

// Strips the dot leader and page number of a contents line; false when it has none (a heading
// that goes on on the next line).
bool StripPage(const std::string &line, std::string *text) {
    size_t end = line.size();
    while (end > 0 && isspace((unsigned char)line[end - 1])) end--;
    size_t digits = end;
    while (digits > 0 && isdigit((unsigned char)line[digits - 1])) digits--;
    if (digits == end || digits == 0) return false;
    size_t lead = digits;
    while (lead > 0 && (line[lead - 1] == '.' || line[lead - 1] == ' ')) lead--;
    if (lead == digits) return false;
    *text = Collapse(line.substr(0, lead));
    // "8. Use of “and”. ....": the leader swallowed the heading's own full stop.
    if (line.compare(lead, 2, "..") != 0 && lead < digits && line[lead] == '.') *text += '.';
    return true;
}

bool ParseHeading(const std::string &text, Heading *h) {
    h->line = text;
    if (StartsWith(text, "Section ")) {
        size_t dot = text.find(". ", 8);
        if (dot == std::string::npos) return false;
        h->depth = 0;
        h->label = text.substr(8, dot - 8);
        h->text = text.substr(dot + 2);
        return true;
    }
    size_t dot = text.find(". ");
    if (dot == std::string::npos || dot == 0 || dot > 2) return false;
    std::string label = text.substr(0, dot);
    if (isdigit((unsigned char)label[0])) {
        h->depth = 2;
    } else if (label.size() == 1 && isupper((unsigned char)label[0])) {
        h->depth = 1;
    } else if (label.size() == 1 && islower((unsigned char)label[0])) {
        h->depth = 3;
    } else {
        return false;
    }
    h->label = label;
    h->text = text.substr(dot + 2);
    return true;
}

bool IsFooter(const std::vector<std::string> &lines, size_t i) {
    return i + 2 < lines.size() && Collapse(lines[i]) == FOOTER_TITLE &&
           StartsWith(Collapse(lines[i + 1]), "FY ") && StartsWith(Collapse(lines[i + 2]), "Page ");
}

const char *ROMANS[] = {"i", "ii", "iii", "iv", "v", "vi", "vii", "viii", "ix", "x", "xi", "xii"};

int32_t Encode(const std::string &utf8, std::string *out) {
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = (unsigned char)utf8[i];
        uint32_t cp = 0;
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > utf8.size()) return ERR_INVDATA;
        cp = n == 1 ? c : (uint32_t)(c & (0x7F >> n));
        for (int k = 1; k < n; k++) cp = (cp << 6) | ((unsigned char)utf8[i + k] & 0x3F);
        // The entry's own tabs and line feeds are ASCII like the rest of it.
        int32_t b = cp < 0x80 ? (int32_t)cp : TextWindows1252Byte(cp);
        if (b < 0) return ERR_INVDATA;
        *out += (char)b;
        i += n;
    }
    return 0;
}

}  // namespace

int32_t GuidelinesConvertText(const std::string &text, std::string *entry,
                              GuidelinesConvertSummary *summary, std::string *error) {
    if (!entry || !summary || !error) return ERR_NULLPTR;
    *summary = GuidelinesConvertSummary{};
    std::vector<std::string> lines;
    for (size_t at = 0; at <= text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t sym;
        while ((sym = line.find(SYMBOL_BULLET)) != std::string::npos) line.replace(sym, 3, BULLET);
        lines.push_back(line);
        at = end + 1;
    }
    // The contents: from the first line with a dot leader to the first footer.
    size_t i = 0;
    std::string dummy;
    while (i < lines.size() && !StripPage(lines[i], &dummy)) i++;
    std::vector<Heading> contents;
    std::string pending;
    for (; i < lines.size() && !IsFooter(lines, i); i++) {
        pending += (pending.empty() ? "" : " ") + Collapse(lines[i]);
        std::string entryText;
        if (!StripPage(pending, &entryText)) continue;
        pending.clear();
        Heading h;
        if (StartsWith(entryText, "Appendix ")) {
            h = Heading{0, "App" + entryText.substr(9), "", entryText};
        } else if (!contents.empty() && contents.back().label.compare(0, 3, "App") == 0 &&
                   contents.back().text.empty()) {
            contents.back().text = entryText;  // the appendix's title, on the line below
            continue;
        } else if (!ParseHeading(entryText, &h)) {
            if (contents.empty()) continue;  // the document's title
            *error = "contents line not understood: " + entryText;
            return ERR_INVDATA;
        }
        contents.push_back(h);
    }
    summary->contents = (int32_t)contents.size();
    if (contents.empty()) {
        *error = "no contents found";
        return ERR_INVDATA;
    }

    std::vector<Section> sections;
    std::vector<size_t> open;  // the path of open sections, outermost first
    size_t next = 0;           // the contents heading to find next
    std::string paragraph;
    int paragraphKind = 'P';
    auto flush = [&]() {
        if (!paragraph.empty() && !sections.empty()) {
            sections.back().lines.push_back(std::string(1, (char)paragraphKind) + "\t" + paragraph);
            summary->paragraphs++;
        }
        paragraph.clear();
    };
    auto openSection = [&](int depth, const std::string &label, const std::string &heading) {
        flush();
        while (!open.empty() && sections[open.back()].depth >= depth) open.pop_back();
        std::string id;
        if (!open.empty()) {
            Section &parent = sections[open.back()];
            parent.children[depth]++;
            id = parent.id + (depth >= 5 ? "(" + label + ")" : "." + label);
        } else {
            id = label;
        }
        Section s = {depth, id, Collapse(heading), {}, {0}};
        sections.push_back(s);
        open.push_back(sections.size() - 1);
    };
    auto deepest = [&](int below) -> Section * {
        for (size_t k = open.size(); k-- > 0;)
            if (sections[open[k]].depth < below) return &sections[open[k]];
        return nullptr;
    };
    for (i++; i < lines.size(); i++) {
        if (IsFooter(lines, i)) {
            summary->footers++;
            i += 2;
            continue;
        }
        const std::string line = Collapse(lines[i]);
        if (line.empty()) continue;
        if (next < contents.size()) {
            const Heading &h = contents[next];
            const std::string want = Key(h.line);
            int used = 0;
            if (Key(line) == want) {
                used = 1;
            } else if (i + 1 < lines.size() && Key(line + " " + Collapse(lines[i + 1])) == want) {
                used = 2;
            }
            if (used) {
                openSection(h.depth, h.label, h.text);
                i += used - 1;
                if (h.label.compare(0, 3, "App") == 0 && i + 1 < lines.size() &&
                    Key(lines[i + 1]) == Key(h.text))
                    i++;
                next++;
                continue;
            }
        }
        // "3) ...", "(a) ...", "(i) ...": the body's own levels, each the next of its parent.
        size_t close = line.find(") ");
        if (!sections.empty() && close != std::string::npos && close > 0 && close < 6) {
            const bool paren = line[0] == '(';
            const std::string token = line.substr(paren ? 1 : 0, close - (paren ? 1 : 0));
            const std::string rest = line.substr(close + 2);
            if (!paren) {
                Section *parent = deepest(4);
                if (parent && token == std::to_string(parent->children[4] + 1)) {
                    openSection(4, token, rest);
                    continue;
                }
            } else {
                Section *parent = deepest(5);
                if (parent && token.size() == 1 && token[0] == 'a' + parent->children[5]) {
                    openSection(5, token, rest);
                    continue;
                }
                Section *item = deepest(6);
                if (item && item->depth == 5 && item->children[6] < 12 &&
                    token == ROMANS[item->children[6]]) {
                    openSection(6, token, rest);
                    continue;
                }
            }
        }
        if (sections.empty()) continue;
        const bool bullet = StartsWith(line, BULLET);
        const char last = paragraph.empty() ? 0 : paragraph.back();
        const bool sentenceEnded = last == '.' || last == ':' || last == '?' || last == ')';
        if (bullet || paragraph.empty() || (sentenceEnded && isupper((unsigned char)line[0]))) {
            flush();
            paragraphKind = bullet ? 'B' : 'P';
            paragraph = bullet ? Collapse(line.substr(strlen(BULLET))) : line;
        } else {
            paragraph += " " + line;
        }
    }
    flush();
    if (next < contents.size()) {
        *error = "the body has no heading \"" + contents[next].line + "\" that the contents name";
        return ERR_INVDATA;
    }
    entry->clear();
    for (const Section &s : sections) {
        std::string utf8 = "S\t" + std::to_string(s.depth) + "\t" + s.id + "\t" + s.heading + "\n";
        for (const std::string &l : s.lines) utf8 += l + "\n";
        if (Encode(utf8, entry) < 0) {
            *error = "section " + s.id + " has a character Windows-1252 cannot hold";
            return ERR_INVDATA;
        }
    }
    summary->sections = (int32_t)sections.size();
    return 0;
}

int32_t ConvertGuidelinesFile(const char *input, const char *output,
                              GuidelinesConvertSummary *summary, std::string *error) {
    if (!input || !output || !summary || !error) return ERR_NULLPTR;
    std::string text;
    int32_t status = ReadWholeFile(input, &text, error);
    if (status < 0) return status;
    std::string entry;
    status = GuidelinesConvertText(text, &entry, summary, error);
    if (status < 0) return status;
    return RecordWriterSaveFile(output, entry, error);
}
