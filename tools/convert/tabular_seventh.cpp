// 7th characters from the tabular XML: a <sevenChrDef> becomes note items of its record and a
// "D" line of the 7th-character entry; a note that some of them do not apply, an "X" line.
#include "tools/convert/tabular_seventh.h"

#include <cctype>

#include "foundation/status.h"
#include "tools/convert/tabular_text.h"

// 7th characters: one item per <extension>, "<char> <text>"; a <note> among them (an inclusion
// term of the extension before it) stays in its place as an item of its own.
// The same definition also becomes one line of the 7th-character entry: "D", the code, then
// each character and its meaning, tab-separated.
int32_t TabularSeventhDefinition(TabularState *conv, uint32_t index, const pugi::xml_node &def,
                                 std::string *field)
{
    std::string line = "D\t" + conv->records[index].fields[0];
    int32_t count = 0;
    for (pugi::xml_node child = def.first_child(); child; child = child.next_sibling()) {
        int32_t status = 0;
        if (TabularTextNameIs(child, "extension")) {
            std::string character = child.attribute("char").value();
            std::string meaning;
            if (character.size() != 1 || !isalnum((unsigned char)character[0])) {
                *conv->error = TabularStateAt(conv, index, child) + ": 7th character \"" +
                               character + "\" is not one letter or digit";
                return ERR_INVFORMAT;
            }
            status = TabularTextAppendNote(conv, index, character + " " + TabularTextOf(child),
                                           field);
            if (status == 0) {
                status = TabularTextEncode(conv, index, TabularTextOf(child), &meaning);
            }
            if (meaning.find('\t') != std::string::npos || meaning.empty()) {
                *conv->error = TabularStateAt(conv, index, child) + ": 7th character " +
                               character + " without a meaning";
                return ERR_INVFORMAT;
            }
            line += "\t" + std::string(1, (char)toupper((unsigned char)character[0])) + "\t" +
                    meaning;
            count++;
        } else if (TabularTextNameIs(child, "note")) {
            status = TabularTextAppendNote(conv, index, TabularTextOf(child), field);
        } else if (child.type() == pugi::node_element) {
            *conv->error = TabularStateAt(conv, index, child) + ": unknown element <" +
                           child.name() + "> in <sevenChrDef>";
            return ERR_INVFORMAT;
        }
        if (status < 0) {
            return status;
        }
    }
    if (count == 0) {
        *conv->error = TabularStateAt(conv, index, def) + ": <sevenChrDef> without an <extension>";
        return ERR_INVFORMAT;
    }
    conv->sevenChars += line + "\n";
    return 0;
}

// A note saying that some 7th characters do not apply to some codes, as FY2023 has under S06:
// "7th characters D and S do not apply to codes in category S06 with 6th character 7 - death
// due to ..., or 8 - death due to ...". It becomes an "X" line of the 7th-character entry: code,
// the 6th characters, the excluded 7th characters. A note of that kind in any other wording
// stops the conversion, so that a newer release cannot silently lose a rule.
int32_t TabularSeventhExclusion(TabularState *conv, uint32_t index, const pugi::xml_node &note)
{
    std::string text = TabularTextOf(note);
    bool about = text.find("7th character") != std::string::npos &&
                 (text.find("not apply") != std::string::npos ||
                  text.find("not applicable") != std::string::npos);
    if (!about) {
        return 0;
    }
    std::string reason;
    std::string excluded;
    std::string sixth;
    std::string code;
    size_t at = text.find("7th character");
    size_t verb = text.find(" not apply", at);
    size_t in = text.find(" to codes in ", verb == std::string::npos ? 0 : verb);
    size_t with = text.find(" with 6th character ", in == std::string::npos ? 0 : in);
    if (at != 0 || verb == std::string::npos || in == std::string::npos ||
        with == std::string::npos) {
        reason = "a 7th-character rule in words the converter does not know";
    } else {
        // "7th characters D and S do": the single letters between the subject and the verb.
        for (size_t i = at + 13; i < verb; i++) {
            unsigned char c = (unsigned char)text[i];
            bool alone = isalnum(c) && !isalnum((unsigned char)text[i - 1]) &&
                         (i + 1 >= verb || !isalnum((unsigned char)text[i + 1]));
            if (alone) {
                excluded += (char)c;
            }
        }
        // "in category S06" or "in subcategory S06.0".
        size_t codeStart = text.find(' ', in + 13);
        code = codeStart == std::string::npos || codeStart > with
                   ? std::string()
                   : text.substr(codeStart + 1, with - codeStart - 1);
        // "with 6th character 7 - ..., or 8 - ...": each character before " - ".
        for (size_t i = with + 20; i + 2 < text.size(); i++) {
            unsigned char c = (unsigned char)text[i];
            bool alone = isalnum(c) && (text[i - 1] == ' ') && text.compare(i + 1, 2, " -") == 0;
            if (alone) {
                sixth += (char)c;
            }
        }
        bool known = false;
        for (const TabularRecord &rec : conv->records) {
            known = known || rec.fields[0] == code;
        }
        if (excluded.empty() || sixth.empty() || !known || excluded.size() > 15 ||
            sixth.size() > 15) {
            reason = "a 7th-character rule that cannot be read (characters \"" + excluded +
                     "\", code \"" + code + "\", 6th characters \"" + sixth + "\")";
        }
    }
    if (!reason.empty()) {
        *conv->error = TabularStateAt(conv, index, note) + ": " + reason + ": " + text;
        return ERR_INVFORMAT;
    }
    conv->sevenChars += "X\t" + code + "\t" + sixth + "\t" + excluded + "\n";
    return 0;
}
