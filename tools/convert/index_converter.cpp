// Turns one ICD-10-CM index XML into the index file of the archive: one line per heading,
// letter, term and term element, in document order (a term's own elements before its subterms).
// Every element and attribute is known by name; anything else stops the conversion.
#include "tools/convert/index_converter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <pugixml.hpp>

#include "foundation/status.h"
#include "tools/convert/record_writer.h"
#include "tools/convert/text_encoding.h"

static const char kRoot[] = "ICD10CM.index";
static const char kMagic[] = "MORBIVUE-INDEX\t1\t";
static const char *const kKinds[] = {"index", "neoplasm", "drug", "external"};

// Markers around a nonessential modifier inside a text. Control bytes never occur in encoded
// text (the encoder refuses them), so they cannot be confused with it.
static const char kNemodOpen = '\x01';
static const char kNemodClose = '\x02';

// The elements a term may hold besides its title and subterms, and their line tags.
struct ItemElement {
    const char *name;
    char tag;
    uint32_t IndexConvertSummary::*counter;
};
static const ItemElement kItems[] = {
    {"code", 'C', &IndexConvertSummary::codes},     {"see", 'S', &IndexConvertSummary::sees},
    {"seeAlso", 'A', &IndexConvertSummary::seeAlsos}, {"seecat", 'K', &IndexConvertSummary::seecats},
    {"subcat", 'B', &IndexConvertSummary::subcats}, {"manif", 'M', &IndexConvertSummary::manifs},
};

struct IndexConverter {
    const char *xml;               // the document, for line numbers
    size_t size;
    std::string out;               // the file being written
    IndexConvertSummary *summary;  // counts being gathered
    std::string *error;            // reason of a failure
};

static bool NameIs(const pugi::xml_node &node, const char *name)
{
    return strcmp(node.name(), name) == 0;
}

static size_t LineOf(const IndexConverter *c, const pugi::xml_node &node)
{
    ptrdiff_t offset = node.offset_debug();
    size_t end = offset > 0 && (size_t)offset < c->size ? (size_t)offset : 0;
    size_t line = 1;
    for (size_t i = 0; i < end; i++) {
        line += c->xml[i] == '\n';
    }
    return line;
}

static int32_t Fail(IndexConverter *c, const pugi::xml_node &node, int32_t status,
                    const std::string &what)
{
    *c->error = "line " + std::to_string(LineOf(c, node)) + ": " + what;
    return status;
}

static int32_t UnknownElement(IndexConverter *c, const pugi::xml_node &node,
                              const pugi::xml_node &parent)
{
    return Fail(c, node, ERR_INVFORMAT,
                std::string("unknown element <") + node.name() + "> in <" + parent.name() + ">");
}

// Attributes other than the allowed one (or any, for a null allowed) stop the conversion.
static int32_t CheckAttributes(IndexConverter *c, const pugi::xml_node &node, const char *allowed)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (allowed == nullptr || strcmp(a.name(), allowed) != 0) {
            return Fail(c, node, ERR_INVFORMAT,
                        std::string("unknown attribute ") + a.name() + " of <" + node.name() + ">");
        }
    }
    return 0;
}

static bool IsBlankByte(char b)
{
    return b == ' ' || b == '\t' || b == '\n' || b == '\r' || b == '\v' || b == '\f';
}

// Encodes one piece of text: white space collapsed and trimmed, Windows-1252; unlike the record
// file this format has no use for ';', so it is kept. The encoder turns ';' into ',', hence the
// text is encoded between its ';' and the blanks around them are put back.
static int32_t EncodePiece(IndexConverter *c, const pugi::xml_node &node, const char *utf8,
                           std::string *out)
{
    std::string collapsed;
    bool pending = false;
    for (const char *p = utf8; *p; p++) {
        if (IsBlankByte(*p)) {
            pending = !collapsed.empty();
            continue;
        }
        if (pending) {
            collapsed.push_back(' ');
            pending = false;
        }
        collapsed.push_back(*p);
    }
    size_t start = 0;
    for (;;) {
        size_t end = collapsed.find(';', start);
        std::string segment = collapsed.substr(start, end == std::string::npos ? end : end - start);
        if (!segment.empty() && segment.front() == ' ') {
            out->push_back(' ');
        }
        TextEncodeResult result = {};
        int32_t status = TextEncode(segment.c_str(), out, &result);
        if (status == ERR_INVVALUE) {
            char hex[16];
            snprintf(hex, sizeof hex, "U+%04X", (unsigned)result.badCodePoint);
            return Fail(c, node, status, std::string("character ") + hex + " in <" + node.name() +
                                             "> has no Windows-1252 byte");
        }
        if (status < 0) {
            return Fail(c, node, status, std::string("malformed UTF-8 in <") + node.name() + ">");
        }
        if (segment.size() > 1 && segment.back() == ' ') {
            out->push_back(' ');
        }
        if (end == std::string::npos) {
            return 0;
        }
        out->push_back(';');
        start = end + 1;
    }
}

// A text element's content: character data and <nemod> pieces in order, joined by one blank,
// each modifier between the two markers. Nothing else may occur inside.
static int32_t EncodeText(IndexConverter *c, const pugi::xml_node &element, std::string *out)
{
    int32_t status = CheckAttributes(c, element, nullptr);
    for (pugi::xml_node child = element.first_child(); child && status == 0;
         child = child.next_sibling()) {
        std::string piece;
        bool nemod = false;
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            status = EncodePiece(c, element, child.value(), &piece);
        } else if (child.type() == pugi::node_element && NameIs(child, "nemod")) {
            nemod = true;
            c->summary->nemods++;
            status = CheckAttributes(c, child, nullptr);
            for (pugi::xml_node inner = child.first_child(); inner && status == 0;
                 inner = inner.next_sibling()) {
                if (inner.type() == pugi::node_element) {
                    status = UnknownElement(c, inner, child);
                } else if (inner.type() == pugi::node_pcdata || inner.type() == pugi::node_cdata) {
                    std::string part;
                    status = EncodePiece(c, child, inner.value(), &part);
                    if (!piece.empty() && !part.empty()) {
                        piece.push_back(' ');
                    }
                    piece += part;
                }
            }
        } else if (child.type() == pugi::node_element) {
            status = UnknownElement(c, child, element);
        } else {
            continue;  // comments and processing instructions carry nothing
        }
        if (status < 0 || (piece.empty() && !nemod)) {
            continue;
        }
        if (!out->empty()) {
            out->push_back(' ');
        }
        if (nemod) {
            out->push_back(kNemodOpen);
        }
        *out += piece;
        if (nemod) {
            out->push_back(kNemodClose);
        }
    }
    return status;
}

// Only white space may stand between the elements of a container.
static int32_t CheckNoText(IndexConverter *c, const pugi::xml_node &child,
                           const pugi::xml_node &parent)
{
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
        for (const char *p = child.value(); *p; p++) {
            if (!IsBlankByte(*p)) {
                return Fail(c, child, ERR_INVFORMAT,
                            std::string("text directly inside <") + parent.name() + ">");
            }
        }
    }
    return 0;
}

// Appends "TAG\tTEXT\n" for a text element.
static int32_t WriteTextLine(IndexConverter *c, char tag, const pugi::xml_node &element)
{
    std::string text;
    int32_t status = EncodeText(c, element, &text);
    if (status < 0) {
        return status;
    }
    c->out.push_back(tag);
    c->out.push_back('\t');
    c->out += text;
    c->out.push_back('\n');
    return 0;
}

// A column attribute: 1 to 99.
static int32_t ReadColumn(IndexConverter *c, const pugi::xml_node &node, uint32_t *column)
{
    int32_t status = CheckAttributes(c, node, "col");
    if (status < 0) {
        return status;
    }
    const char *v = node.attribute("col").value();
    uint32_t n = 0;
    size_t digits = strspn(v, "0123456789");
    if (digits > 0 && digits <= 2 && v[digits] == '\0') {
        n = (uint32_t)atoi(v);
    }
    if (n < 1) {
        return Fail(c, node, ERR_INVVALUE,
                    std::string("<") + node.name() + "> needs a col of 1 to 99, not \"" + v + "\"");
    }
    *column = n;
    return 0;
}

// Appends "TAG\tCOLUMN\tTEXT\n" for a <head> or <cell>.
static int32_t WriteColumnLine(IndexConverter *c, char tag, const pugi::xml_node &element)
{
    uint32_t column = 0;
    int32_t status = ReadColumn(c, element, &column);
    std::string text;
    for (pugi::xml_node child = element.first_child(); child && status == 0;
         child = child.next_sibling()) {
        if (child.type() == pugi::node_element) {
            status = UnknownElement(c, child, element);
        } else if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            std::string piece;
            status = EncodePiece(c, element, child.value(), &piece);
            if (!text.empty() && !piece.empty()) {
                text.push_back(' ');
            }
            text += piece;
        }
    }
    if (status < 0) {
        return status;
    }
    c->out += std::string(1, tag) + "\t" + std::to_string(column) + "\t" + text + "\n";
    return 0;
}

// A main term (depth 0) or term: "E\tLEVEL\tTITLE", its own elements, then its subterms.
static int32_t AddTerm(IndexConverter *c, const pugi::xml_node &term, uint32_t depth)
{
    int32_t status = CheckAttributes(c, term, depth == 0 ? nullptr : "level");
    if (status < 0) {
        return status;
    }
    if (depth > 0) {
        const char *level = term.attribute("level").value();
        if (strcmp(level, std::to_string(depth).c_str()) != 0) {
            return Fail(c, term, ERR_INVVALUE, std::string("<term> at depth ") +
                                                   std::to_string(depth) + " has level=\"" +
                                                   level + "\"");
        }
        if (depth > INDEX_CONVERT_MAX_LEVEL) {
            return Fail(c, term, ERR_INVVALUE, "<term> deeper than level " +
                                                   std::to_string(INDEX_CONVERT_MAX_LEVEL));
        }
        c->summary->terms++;
        if (depth > c->summary->deepestLevel) {
            c->summary->deepestLevel = depth;
        }
    } else {
        c->summary->mainTerms++;
    }
    pugi::xml_node title = term.child("title");
    if (!title || title.next_sibling("title")) {
        return Fail(c, term, ERR_INVFORMAT,
                    std::string("<") + term.name() + "> needs exactly one <title>");
    }
    std::string text;
    status = EncodeText(c, title, &text);
    if (status < 0) {
        return status;
    }
    c->out += "E\t" + std::to_string(depth) + "\t" + text + "\n";
    for (pugi::xml_node child = term.first_child(); child; child = child.next_sibling()) {
        status = CheckNoText(c, child, term);
        if (status < 0) {
            return status;
        }
        if (child.type() != pugi::node_element || NameIs(child, "title") ||
            NameIs(child, "term")) {
            continue;
        }
        if (NameIs(child, "cell")) {
            c->summary->cells++;
            status = WriteColumnLine(c, 'X', child);
        } else {
            const ItemElement *item = nullptr;
            for (const ItemElement &known : kItems) {
                if (NameIs(child, known.name)) {
                    item = &known;
                }
            }
            if (item == nullptr) {
                return UnknownElement(c, child, term);
            }
            c->summary->*(item->counter) += 1;
            status = WriteTextLine(c, item->tag, child);
        }
        if (status < 0) {
            return status;
        }
    }
    for (pugi::xml_node child = term.child("term"); child; child = child.next_sibling("term")) {
        status = AddTerm(c, child, depth + 1);
        if (status < 0) {
            return status;
        }
    }
    return 0;
}

static int32_t AddLetter(IndexConverter *c, const pugi::xml_node &letter)
{
    int32_t status = CheckAttributes(c, letter, nullptr);
    c->summary->letters++;
    bool titled = false;
    for (pugi::xml_node child = letter.first_child(); child && status == 0;
         child = child.next_sibling()) {
        status = CheckNoText(c, child, letter);
        if (status < 0 || child.type() != pugi::node_element) {
            continue;
        }
        if (NameIs(child, "title") && !titled) {
            titled = true;
            status = WriteTextLine(c, 'L', child);
        } else if (NameIs(child, "mainTerm")) {
            if (!titled) {
                return Fail(c, child, ERR_INVFORMAT, "<mainTerm> before its letter's <title>");
            }
            status = AddTerm(c, child, 0);
        } else {
            status = UnknownElement(c, child, letter);
        }
    }
    return status;
}

static int32_t AddHeading(IndexConverter *c, const pugi::xml_node &heading)
{
    int32_t status = CheckAttributes(c, heading, nullptr);
    for (pugi::xml_node child = heading.first_child(); child && status == 0;
         child = child.next_sibling()) {
        status = CheckNoText(c, child, heading);
        if (status < 0 || child.type() != pugi::node_element) {
            continue;
        }
        if (!NameIs(child, "head")) {
            return UnknownElement(c, child, heading);
        }
        c->summary->headings++;
        status = WriteColumnLine(c, 'H', child);
    }
    return status;
}

static int32_t AddIndex(IndexConverter *c, const pugi::xml_node &root)
{
    int32_t status = CheckAttributes(c, root, nullptr);
    for (pugi::xml_node child = root.first_child(); child && status == 0;
         child = child.next_sibling()) {
        status = CheckNoText(c, child, root);
        if (status < 0 || child.type() != pugi::node_element) {
            continue;
        }
        if (NameIs(child, "version")) {
            status = WriteTextLine(c, 'V', child);
        } else if (NameIs(child, "title")) {
            status = WriteTextLine(c, 'D', child);
        } else if (NameIs(child, "indexHeading")) {
            status = AddHeading(c, child);
        } else if (NameIs(child, "letter")) {
            status = AddLetter(c, child);
        } else {
            status = UnknownElement(c, child, root);
        }
    }
    return status;
}

int32_t IndexConvertKindKnown(const char *kind)
{
    for (const char *k : kKinds) {
        if (kind != nullptr && strcmp(kind, k) == 0) {
            return 1;
        }
    }
    return 0;
}

int32_t ConvertIndexXml(const char *xml, size_t size, const char *kind, std::string *output,
                        IndexConvertSummary *summary, std::string *error)
{
    if (xml == nullptr || kind == nullptr || output == nullptr || summary == nullptr ||
        error == nullptr) {
        return ERR_NULLPTR;
    }
    *summary = IndexConvertSummary();
    error->clear();
    if (!IndexConvertKindKnown(kind)) {
        *error = std::string("unknown index kind \"") + kind + "\"";
        return ERR_INVPARAM;
    }
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(xml, size, pugi::parse_default);
    IndexConverter c = {xml, size, std::string(), summary, error};
    if (!parsed) {
        size_t end = parsed.offset > 0 && (size_t)parsed.offset < size ? (size_t)parsed.offset : 0;
        size_t line = 1;
        for (size_t i = 0; i < end; i++) {
            line += xml[i] == '\n';
        }
        *error = "line " + std::to_string(line) + ": XML error: " + parsed.description();
        return ERR_INVFORMAT;
    }
    pugi::xml_node root = doc.document_element();
    if (!NameIs(root, kRoot)) {
        return Fail(&c, root, ERR_INVFORMAT,
                    std::string("root element is <") + root.name() + ">, not <" + kRoot + ">");
    }
    c.out = std::string(kMagic) + kind + "\n";
    int32_t status = AddIndex(&c, root);
    if (status < 0) {
        return status;
    }
    summary->outputBytes = c.out.size();
    output->swap(c.out);
    return 0;
}

int32_t ConvertIndexFile(const char *inputPath, const char *kind, const char *outputPath,
                         IndexConvertSummary *summary, std::string *error)
{
    if (inputPath == nullptr || kind == nullptr || outputPath == nullptr || summary == nullptr ||
        error == nullptr) {
        return ERR_NULLPTR;
    }
    FILE *f = fopen(inputPath, "rb");
    if (f == nullptr) {
        *error = std::string("cannot open ") + inputPath + ": " + strerror(errno);
        return ERR_OPEN;
    }
    std::string xml;
    char buf[65536];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
        xml.append(buf, n);
    }
    bool failed = ferror(f) != 0;
    fclose(f);
    if (failed) {
        *error = std::string("cannot read ") + inputPath;
        return ERR_READ;
    }
    std::string bytes;
    int32_t status = ConvertIndexXml(xml.data(), xml.size(), kind, &bytes, summary, error);
    if (status < 0) {
        *error = std::string(inputPath) + ": " + *error;
        return status;
    }
    return RecordWriterSaveFile(outputPath, bytes, error);
}

void IndexConvertSummaryPrint(const IndexConvertSummary *s, FILE *out)
{
    if (s == nullptr || out == nullptr) {
        return;
    }
    fprintf(out, "letters: %u, main terms: %u, terms: %u (deepest level %u), headings: %u\n",
            s->letters, s->mainTerms, s->terms, s->deepestLevel, s->headings);
    fprintf(out, "code: %u, see: %u, seeAlso: %u, seecat: %u, subcat: %u, manif: %u, cell: %u, "
                 "nemod: %u\n",
            s->codes, s->sees, s->seeAlsos, s->seecats, s->subcats, s->manifs, s->cells,
            s->nemods);
    fprintf(out, "output: %llu bytes\n", (unsigned long long)s->outputBytes);
}
