// The guidelines' converter: the contents read into the headings to expect, then the body walked
// line by line, footers dropped, headings matched in order, the numbered levels below the
// contents recognised by their expected next number or letter, and lines joined into paragraphs.
#include "tools/convert/guidelines_converter.h"

#include <cctype>
#include <algorithm>
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

// The most lines one contents entry takes, its page number included.
const size_t CONTENTS_ENTRY_LINES = 3;
const int TEXT_ENTRY = -1;
// The longest line a heading the contents leave out may take.
const size_t UNLISTED_HEADING_CHARS = 60;
// A line of text this short was not wrapped: the paragraph or item ended there.
const size_t SHORT_LINE_CHARS = 45;
// The most words a body heading may add to or lack from the contents' wording.
const int HEADING_WORDS_DIFFERING = 3;

struct Heading {
    int depth;          // 0 Section or Appendix, 1 "A.", 2 "1.", 3 "a."; TEXT_ENTRY for text
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

std::vector<std::string> Words(const std::string &s) {
    std::vector<std::string> words(1);
    for (char c : s) {
        if (isalnum((unsigned char)c) || (unsigned char)c >= 0x80) {
            words.back() += (char)tolower((unsigned char)c);
        } else if (!words.back().empty()) {
            words.emplace_back();
        }
    }
    if (words.back().empty()) words.pop_back();
    return words;
}

// How far a body line is from the contents' wording: the words one has and the other lacks, or
// -1 when the labels differ or they share less than most words. The contents and body are not
// always worded alike ("involving chemotherapy" in one, "involving antineoplastic chemotherapy"
// in the other).
int WordingDistance(const std::string &contents, const std::string &body) {
    const std::vector<std::string> a = Words(contents), b = Words(body);
    if (a.empty() || b.empty() || a[0] != b[0]) return -1;
    std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1, 0));
    for (size_t x = 1; x <= a.size(); x++)
        for (size_t y = 1; y <= b.size(); y++)
            common[x][y] = a[x - 1] == b[y - 1] ? common[x - 1][y - 1] + 1
                                                : std::max(common[x - 1][y], common[x][y - 1]);
    const size_t shared = (size_t)common[a.size()][b.size()];
    if (shared * 4 < a.size() * 3 || shared * 4 < b.size() * 3) return -1;
    return (int)(a.size() + b.size() - 2 * shared);
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

struct BodyLabel {
    bool number;        // "3)", else "(a)" or "(iv)"
    std::string token;  // "3", "a", "iv"
    std::string rest;   // what follows the label on its line
};

// Reads "3) Text", "(a) Text" or "(iii)Text" (the space is sometimes lost).
bool ReadBodyLabel(const std::string &line, BodyLabel *label) {
    const bool paren = !line.empty() && line[0] == '(';
    size_t k = paren ? 1 : 0;
    const size_t start = k;
    while (k < line.size() && k - start < 4 &&
           (paren ? islower((unsigned char)line[k]) : isdigit((unsigned char)line[k])))
        k++;
    if (k == start || k >= line.size() || line[k] != ')') return false;
    if (!paren && k - start > 2) return false;
    label->number = !paren;
    label->token = line.substr(start, k - start);
    label->rest = Collapse(line.substr(k + 1));
    return !label->rest.empty();
}

bool EndsWith(const std::string &s, const char *suffix) {
    const size_t n = strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

bool EndsSentence(const std::string &text) {
    const char last = text.empty() ? 0 : text.back();
    return last == '.' || last == ':' || last == '?' || last == ')';
}

// The label of the next heading at a contents' level after count of them: "A", "1", "a".
std::string NextLabel(int depth, int count) {
    if (depth == 2) return std::to_string(count + 1);
    return std::string(1, (char)((depth == 1 ? 'A' : 'a') + count));
}

// Whether text begins with a code ("Z13 ...", "Z91.4- ...", "X30-, ...").
bool StartsWithCode(const std::string &text) {
    return text.size() >= 4 && isupper((unsigned char)text[0]) && isdigit((unsigned char)text[1]) &&
           isalnum((unsigned char)text[2]) && strchr(" .,-", text[3]);
}

// Whether a line stops where a phrase cannot end: at a comma, a hyphen or a joining word.
bool MidPhrase(const std::string &line) {
    if (EndsWith(line, ",") || EndsWith(line, "-")) return true;
    for (const char *word : {" and", " of", " or", " the", " a", " an", " with", " to", " for",
                             " as", " in", " by", " on"})
        if (EndsWith(line, word)) return true;
    return false;
}

// Whether line, starting with a capital, begins a paragraph after the paragraph so far (widest:
// its widest line): one that ended a sentence; or whose last line stopped short (a title, a
// list's entry, a sentence without its full stop), short of the width or before a first word
// that would have fitted on it.
bool BeginsParagraph(const std::string &paragraph, const std::string &lastLine, size_t widest,
                     const std::string &line) {
    if (!isupper((unsigned char)line[0])) return false;
    if (EndsSentence(paragraph)) return true;
    if (MidPhrase(lastLine)) return false;
    // A list of codes with their titles, one a line, and the exceptions under them.
    if (StartsWithCode(paragraph)) return true;
    if (lastLine.size() < SHORT_LINE_CHARS) return true;
    const size_t word = std::min(line.find(' '), line.size());
    return lastLine.size() + 1 + word <= std::max(widest, line.size());
}

// Whether more, the next line, goes on with a heading of the body's levels rather than begin its
// text: a heading wraps mid-phrase ("... and non-" / "ST elevation ...") or leaves a word or two
// ("... Coronary Microvascular" / "Dysfunction"); text begins with a capital and runs long.
bool ContinuesHeading(const std::string &heading, const std::string &more) {
    BodyLabel label;
    if (more.empty() || ReadBodyLabel(more, &label) || StartsWith(more, BULLET)) return false;
    const unsigned char first = (unsigned char)more[0];
    if (islower(first) || isdigit(first) || first == '(') return true;
    if (MidPhrase(heading)) return true;
    const char last = more.back();
    return more.size() <= 20 && last != '.' && last != ':' && heading.size() >= 40;
}

// Joins a wrapped line onto text: with a space, or none after a word broken at its hyphen
// ("COVID-" / "19").
void JoinLine(std::string *text, const std::string &more) {
    const size_t n = text->size();
    const bool broken = n >= 2 && (*text)[n - 1] == '-' && isalnum((unsigned char)(*text)[n - 2]) &&
                        !more.empty() && isalnum((unsigned char)more[0]);
    if (!broken && !text->empty()) *text += ' ';
    *text += more;
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
    // The contents: from the first line with a dot leader on, footers skipped, each entry ending
    // with its page number within a few lines; the body begins where an entry would run longer.
    size_t i = 0;
    std::string dummy;
    while (i < lines.size() && (lines[i].find("....") == std::string::npos ||
                                !StripPage(lines[i], &dummy)))
        i++;
    std::vector<Heading> contents;
    std::string pending;
    size_t pendingStart = i;
    for (; i < lines.size(); i++) {
        if (IsFooter(lines, i)) {
            summary->footers++;
            i += 2;
            continue;
        }
        if (pending.empty()) pendingStart = i;
        pending += (pending.empty() ? "" : " ") + Collapse(lines[i]);
        std::string entryText;
        if (!StripPage(pending, &entryText)) {
            if (i - pendingStart + 1 >= CONTENTS_ENTRY_LINES) break;
            continue;
        }
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
            // A line of text the contents quote ("Reserved for future guideline expansion"): the
            // body must say it where it stands, as text.
            h = Heading{TEXT_ENTRY, "", entryText, entryText};
        }
        contents.push_back(h);
    }
    i = pendingStart;
    for (const Heading &h : contents) summary->contents += h.depth != TEXT_ENTRY;
    if (contents.empty()) {
        *error = "no contents found";
        return ERR_INVDATA;
    }

    std::vector<Section> sections;
    std::vector<size_t> open;  // the path of open sections, outermost first
    size_t next = 0;           // the contents heading to find next
    std::string paragraph, lastLine;  // the paragraph so far and its last line as printed
    int paragraphKind = 'P';
    size_t widest = 0;
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
    // The line after line k that is not part of a footer, or lines.size().
    auto after = [&](size_t k) {
        for (k++; k < lines.size() && IsFooter(lines, k);) k += 3;
        return k < lines.size() ? k : lines.size();
    };
    for (; i < lines.size(); i++) {
        if (IsFooter(lines, i)) {
            summary->footers++;
            i += 2;
            continue;
        }
        const std::string line = Collapse(lines[i]);
        if (line.empty()) continue;
        if (next < contents.size()) {
            const Heading &h = contents[next];
            // The heading as the body prints it, on one line or two; the same words as the
            // contents', or all but a few (counted), under the same label.
            const size_t second = after(i);
            std::string candidates[2] = {line, ""};
            if (second < lines.size()) candidates[1] = line + " " + Collapse(lines[second]);
            int best = -1, bestDistance = HEADING_WORDS_DIFFERING + 1;
            for (int c = 0; c < 2; c++) {
                if (candidates[c].empty()) continue;
                const int d = Key(candidates[c]) == Key(h.line)
                                  ? 0
                                  : WordingDistance(h.line, candidates[c]);
                if (d >= 0 && d < bestDistance) best = c, bestDistance = d;
            }
            if (best >= 0 && h.depth == TEXT_ENTRY) {
                next++;  // the quoted text, kept as text
            } else if (best >= 0) {
                if (bestDistance > 0) summary->reworded++;
                Heading printed = h;
                if (h.label.compare(0, 3, "App") != 0) ParseHeading(candidates[best], &printed);
                i = best ? second : i;
                const size_t title = after(i);
                if (h.label.compare(0, 3, "App") == 0 && title < lines.size() &&
                    WordingDistance(h.text, Collapse(lines[title])) == 0)
                    i = title;
                openSection(h.depth, h.label, printed.text);
                next++;
                continue;
            }
        }
        // A heading at the contents' levels that the contents leave out ("d. Dementia"): the
        // next label under its parent, on a short line of its own.
        Heading unlisted;
        if (!sections.empty() && line.size() < UNLISTED_HEADING_CHARS && !EndsSentence(line) &&
            ParseHeading(line, &unlisted) && unlisted.depth > 0) {
            Section *parent = deepest(unlisted.depth);
            if (parent && parent->depth == unlisted.depth - 1 &&
                unlisted.label == NextLabel(unlisted.depth, parent->children[unlisted.depth])) {
                openSection(unlisted.depth, unlisted.label, unlisted.text);
                summary->unlisted++;
                continue;
            }
        }
        // "3) ...", "(a) ...", "(i) ...": the body's own levels, each the next of its parent.
        BodyLabel label;
        if (!sections.empty() && ReadBodyLabel(line, &label)) {
            Section *number = deepest(4), *letter = deepest(5), *item = deepest(6);
            const bool asNumber = label.number && number &&
                                  label.token == std::to_string(number->children[4] + 1);
            bool asLetter = !label.number && letter && label.token.size() == 1 &&
                            label.token[0] == 'a' + letter->children[5];
            bool asItem = !label.number && item && item->depth == 5 && item->children[6] < 12 &&
                          label.token == ROMANS[item->children[6]];
            if (asLetter && asItem) {
                // "(i)" after "(h)": the letter, unless "(ii)" comes before "(j)".
                for (size_t k = after(i); k < lines.size(); k = after(k)) {
                    BodyLabel later;
                    if (!ReadBodyLabel(Collapse(lines[k]), &later)) continue;
                    if (later.token == "ii" || later.token == "j") {
                        asLetter = later.token == "j";
                        break;
                    }
                }
                asItem = !asLetter;
            }
            if (asNumber || asLetter || asItem) {
                // A heading that wraps goes on while the next line reads as its continuation.
                std::string heading = label.rest;
                for (size_t k = after(i); k < lines.size(); k = after(k)) {
                    const std::string more = Collapse(lines[k]);
                    if (!ContinuesHeading(heading, more)) break;
                    JoinLine(&heading, more);
                    i = k;
                }
                openSection(asNumber ? 4 : asLetter ? 5 : 6, label.token, heading);
                continue;
            }
        }
        if (sections.empty()) continue;
        const bool bullet = StartsWith(line, BULLET);
        if (bullet || paragraph.empty() || BeginsParagraph(paragraph, lastLine, widest, line)) {
            flush();
            paragraphKind = bullet ? 'B' : 'P';
            paragraph = bullet ? Collapse(line.substr(strlen(BULLET))) : line;
            widest = 0;
        } else {
            JoinLine(&paragraph, line);
        }
        lastLine = line;
        widest = std::max(widest, line.size());
    }
    flush();
    if (next < contents.size()) {
        *error = "the body has no heading \"" + contents[next].line + "\" that the contents name";
        return ERR_INVDATA;
    }
    std::string encoded;
    for (const Section &s : sections) {
        std::string utf8 = "S\t" + std::to_string(s.depth) + "\t" + s.id + "\t" + s.heading + "\n";
        for (const std::string &l : s.lines) utf8 += l + "\n";
        if (Encode(utf8, &encoded) < 0) {
            *error = "section " + s.id + " has a character Windows-1252 cannot hold";
            return ERR_INVDATA;
        }
    }
    entry->swap(encoded);
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
