// Page as RTF: mirrors the format each PageSink step sets, writes the control words a run needs
// before its text, and records the runs whose format RTF has no words for.
#include "classification/page_rtf.h"

#include <cstdio>
#include <cstring>

#include "classification/page_runs.h"
#include "foundation/mem.h"
#include "foundation/status.h"

enum : int32_t {
    WEIGHT_NORMAL = 400,
    WEIGHT_LINK = 500,
    WEIGHT_BOLD = 700,
};

static const RtfFormat START_FORMAT = {-1, 0, WEIGHT_NORMAL, 0, 0, 0, RTF_UNDERLINE_SINGLE,
                                       RTF_COLOUR_AUTO, 0};

static int32_t Grow(PageRtf *rtf, int32_t more) {
    if (rtf->status < 0) return rtf->status;
    if (more > INT32_MAX - 1 - rtf->length) return rtf->status = ERR_OVERFLOW;
    const int32_t need = rtf->length + more + 1;
    if (need <= rtf->capacity) return 0;
    int32_t capacity = rtf->capacity ? rtf->capacity : 4096;
    while (capacity < need) capacity = capacity > INT32_MAX / 2 ? need : capacity * 2;
    char *text = (char *)MemRealloc(rtf->text, capacity);
    if (!text) return rtf->status = ERR_ALLOC;
    rtf->text = text;
    rtf->capacity = capacity;
    return 0;
}

static void Append(PageRtf *rtf, const char *bytes, int32_t length) {
    if (Grow(rtf, length) < 0) return;
    memcpy(rtf->text + rtf->length, bytes, (size_t)length);
    rtf->length += length;
}

static void AppendString(PageRtf *rtf, const char *s) { Append(rtf, s, (int32_t)strlen(s)); }

int32_t PageRtfBegin(PageRtf *rtf, int32_t linkMode) {
    if (!rtf) return ERR_NULLPTR;
    if (linkMode != RTF_LINKS_INLINE && linkMode != RTF_LINKS_RANGES) return ERR_INVPARAM;
    rtf->length = 0;
    rtf->fixCount = 0;
    rtf->status = 0;
    rtf->characters = 0;
    rtf->linkMode = linkMode;
    rtf->current = START_FORMAT;
    rtf->mirror = START_FORMAT;
    rtf->mirrorMask = 0;
    rtf->written = START_FORMAT;
    rtf->inLink = 0;
    rtf->pieceOpen = 0;
    rtf->pieceCharacters = 0;
    rtf->atLineStart = 0;
    rtf->formatWritten = 0;
    rtf->faceCount = 0;
    rtf->bodyStart = 0;
    rtf->endsWithBreak = 0;
    if (rtf->runs) PageRunsReset(rtf->runs);
    return 0;
}

int32_t PageRtfRecordRuns(PageRtf *rtf, PageRuns *runs) {
    if (!rtf) return ERR_NULLPTR;
    rtf->runs = runs;
    return 0;
}

static int32_t FaceIndex(PageRtf *rtf, const char *face) {
    char name[RTF_FACE_CHARS + 1];
    snprintf(name, sizeof name, "%s", face ? face : "");
    for (int32_t i = 0; i < rtf->faceCount; i++)
        if (strcmp(rtf->faces[i], name) == 0) return i;
    if (rtf->faceCount == RTF_MAX_FACES) {
        rtf->status = ERR_TOOMANY;
        return -1;
    }
    memcpy(rtf->faces[rtf->faceCount], name, sizeof name);
    return rtf->faceCount++;
}

// Which members of a change are set, as the viewer's format masks say.
enum : uint16_t {
    SET_FACE = 1,
    SET_SIZE = 2,
    SET_BOLD = 4,
    SET_ITALIC = 8,
    SET_UNDERLINE = 16,
    SET_UNDERLINE_TYPE = 32,
    SET_COLOUR = 64,
    SET_WEIGHT = 128,
    SET_LINK = 256,
};

// The viewer's rule for a change: a weight sets the bold effect from itself unless bold comes
// with it; bold without a weight sets the weight.
static void ApplyChange(RtfFormat *f, uint16_t mask, const RtfFormat &v) {
    if (mask & SET_FACE) f->face = v.face;
    if (mask & SET_SIZE) f->points = v.points;
    if (mask & SET_WEIGHT) {
        f->weight = v.weight;
        f->bold = v.weight > WEIGHT_NORMAL;
    }
    if (mask & SET_BOLD) {
        f->bold = v.bold;
        if (!(mask & SET_WEIGHT)) f->weight = v.bold ? WEIGHT_BOLD : WEIGHT_NORMAL;
    }
    if (mask & SET_ITALIC) f->italic = v.italic;
    if (mask & SET_UNDERLINE) f->underline = v.underline;
    if (mask & SET_UNDERLINE_TYPE) f->underlineType = v.underlineType;
    if (mask & SET_COLOUR) f->colour = v.colour;
    if (mask & SET_LINK) f->link = v.link;
}

// A format step: the text before it was one piece; the change goes to the viewer, and its
// members as given (no rule applied) to the mirror of every member set on this page.
static void Step(PageRtf *rtf, uint16_t mask, const RtfFormat &v) {
    rtf->pieceOpen = 0;
    ApplyChange(&rtf->current, mask, v);
    RtfFormat &m = rtf->mirror;
    if (mask & SET_FACE) m.face = v.face;
    if (mask & SET_SIZE) m.points = v.points;
    if (mask & SET_WEIGHT) m.weight = v.weight;
    if (mask & SET_BOLD) m.bold = v.bold;
    if (mask & SET_ITALIC) m.italic = v.italic;
    if (mask & SET_UNDERLINE) m.underline = v.underline;
    if (mask & SET_UNDERLINE_TYPE) m.underlineType = v.underlineType;
    if (mask & SET_COLOUR) m.colour = v.colour;
    if (mask & SET_LINK) m.link = v.link;
    rtf->mirrorMask |= mask;
}

static const uint16_t LINK_MASK = SET_COLOUR | SET_UNDERLINE_TYPE | SET_WEIGHT | SET_LINK | SET_UNDERLINE;

static RtfFormat LinkValues(int32_t on) {
    RtfFormat v = START_FORMAT;
    v.link = on ? 1 : 0;
    v.underline = on ? 1 : 0;
    v.underlineType = on ? RTF_UNDERLINE_WORD : RTF_UNDERLINE_NONE;
    v.colour = on ? RTF_COLOUR_LINK : RTF_COLOUR_PLAIN;
    v.weight = on ? WEIGHT_LINK : WEIGHT_NORMAL;
    return v;
}

static void SinkSetFont(void *context, const char *face, int32_t points, uint16_t weight) {
    PageRtf *rtf = (PageRtf *)context;
    const int32_t index = FaceIndex(rtf, face);
    if (index < 0) return;
    RtfFormat v = START_FORMAT;
    v.face = index;
    v.points = points;
    v.bold = weight > WEIGHT_NORMAL;
    Step(rtf, SET_FACE | SET_SIZE | SET_BOLD, v);
}

static void SinkSetEffects(void *context, int32_t bold, int32_t italic, int32_t underline) {
    RtfFormat v = START_FORMAT;
    v.bold = bold ? 1 : 0;
    v.italic = italic ? 1 : 0;
    v.underline = underline ? 1 : 0;
    Step((PageRtf *)context, SET_BOLD | SET_ITALIC | SET_UNDERLINE, v);
}

static void SinkSetLink(void *context, int32_t on) {
    PageRtf *rtf = (PageRtf *)context;
    // A range link is set on its characters once they are written: it is no step of the page.
    if (rtf->linkMode == RTF_LINKS_RANGES) {
        rtf->inLink = on ? 1 : 0;
        return;
    }
    Step(rtf, LINK_MASK, LinkValues(on));
}

// The underline words of a format: RTF has no word for an underline of no type.
static const char *UnderlineWord(const RtfFormat &f) {
    if (!f.underline) return "\\ulnone";
    return f.underlineType == RTF_UNDERLINE_WORD ? "\\ulw" : "\\ul";
}

// Writes the control words that take the document from the format it last said to current.
static void WriteFormat(PageRtf *rtf, const RtfFormat &f) {
    const RtfFormat &w = rtf->written;
    const bool all = !rtf->formatWritten;
    char words[128];
    int n = 0;
    if (f.face >= 0 && (all || f.face != w.face)) n += snprintf(words + n, sizeof words - (size_t)n, "\\f%d", (int)f.face);
    if (f.points > 0 && (all || f.points != w.points))
        n += snprintf(words + n, sizeof words - (size_t)n, "\\fs%d", (int)(f.points * 2));
    if (all || f.bold != w.bold) n += snprintf(words + n, sizeof words - (size_t)n, "%s", f.bold ? "\\b" : "\\b0");
    if (all || f.italic != w.italic) n += snprintf(words + n, sizeof words - (size_t)n, "%s", f.italic ? "\\i" : "\\i0");
    if (all || strcmp(UnderlineWord(f), UnderlineWord(w)) != 0)
        n += snprintf(words + n, sizeof words - (size_t)n, "%s", UnderlineWord(f));
    if (all || f.colour != w.colour) n += snprintf(words + n, sizeof words - (size_t)n, "\\cf%d", (int)f.colour);
    if (n == 0) return;
    words[n++] = ' ';
    Append(rtf, words, n);
    rtf->written = f;
    rtf->formatWritten = 1;
}

// Records that the next length characters need what RTF could not say, joined to the fix before
// when it is the same and touches it.
static void AddFix(PageRtf *rtf, const RtfFormat &f, int32_t length) {
    const bool badUnderline = f.underline && f.underlineType == RTF_UNDERLINE_NONE;
    if (!f.link && !badUnderline && f.weight == (f.bold ? WEIGHT_BOLD : WEIGHT_NORMAL)) return;
    RtfFix fix = {rtf->characters, length, f.link,
                  badUnderline ? RTF_UNDERLINE_NONE : RTF_UNDERLINE_KEEP, f.bold, f.weight};
    if (rtf->fixCount > 0) {
        RtfFix *last = &rtf->fixes[rtf->fixCount - 1];
        if (last->start + last->length == fix.start && last->link == fix.link &&
            last->underlineType == fix.underlineType && last->bold == fix.bold &&
            last->weight == fix.weight) {
            last->length += length;
            return;
        }
    }
    if (rtf->fixCount == rtf->fixCapacity) {
        const int32_t capacity = rtf->fixCapacity ? rtf->fixCapacity * 2 : 64;
        RtfFix *fixes = (RtfFix *)MemRealloc(rtf->fixes, capacity * (int32_t)sizeof(RtfFix));
        if (!fixes) {
            rtf->status = ERR_ALLOC;
            return;
        }
        rtf->fixes = fixes;
        rtf->fixCapacity = capacity;
    }
    rtf->fixes[rtf->fixCount++] = fix;
}

// Writes one character of the page in the format the viewer gives it.
static void WriteCharacter(PageRtf *rtf, unsigned char c) {
    // Piecewise output gives text that opens a line the format of the paragraph mark before it,
    // so it sets every member set so far again there; the viewer keeps that for what follows.
    if (!rtf->pieceOpen) {
        rtf->pieceOpen = 1;
        rtf->pieceCharacters = 0;
        if (rtf->atLineStart && rtf->mirrorMask) ApplyChange(&rtf->current, rtf->mirrorMask, rtf->mirror);
    }
    RtfFormat f = rtf->current;
    if (rtf->inLink) ApplyChange(&f, LINK_MASK, LinkValues(1));
    WriteFormat(rtf, f);
    char escaped[8];
    const char *out = escaped;
    int n;
    if (c == '\n' || c == '\r') {
        out = "\\par\n";
        n = 5;
    } else if (c == '\\' || c == '{' || c == '}') {
        escaped[0] = '\\';
        escaped[1] = (char)c;
        n = 2;
    } else if (c == '\t') {
        out = "\\tab ";
        n = 5;
    } else if (c < 0x20 || c >= 0x80) {
        n = snprintf(escaped, sizeof escaped, "\\'%02x", c);
    } else {
        escaped[0] = (char)c;
        n = 1;
    }
    Append(rtf, out, n);
    // A failure there only spoils the runs: the document stays whole for the viewer to stream.
    if (rtf->runs) PageRunsAdd(rtf->runs, &f, (c == '\n' || c == '\r') ? '\r' : (char)c);
    AddFix(rtf, f, 1);
    rtf->characters++;
    rtf->endsWithBreak = c == '\n' || c == '\r';
    // A piece holds at most what the viewer's buffer does.
    if (++rtf->pieceCharacters == VIEW_PIECE_CHARS) {
        rtf->pieceOpen = 0;
        rtf->atLineStart = rtf->endsWithBreak;
    }
}

static void SinkWriteText(void *context, const char *text, int32_t length) {
    PageRtf *rtf = (PageRtf *)context;
    if (!text) return;
    // Each byte is one character of the viewer; a CR LF pair is one paragraph break.
    for (int32_t i = 0; i < length && rtf->status >= 0; i++) {
        if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n') continue;
        WriteCharacter(rtf, (unsigned char)text[i]);
    }
    if (rtf->pieceOpen) rtf->atLineStart = rtf->endsWithBreak;
}

PageSink PageRtfSink(PageRtf *rtf) {
    return PageSink{rtf, SinkSetFont, SinkSetEffects, SinkSetLink, SinkWriteText};
}

int32_t PageRtfEnd(PageRtf *rtf) {
    if (!rtf) return ERR_NULLPTR;
    if (rtf->status < 0) return rtf->status;
    // \plain first: the reader would otherwise start from whatever the last page left behind.
    char header[64 + RTF_MAX_FACES * (RTF_FACE_CHARS + 16)];
    int n = snprintf(header, sizeof header, "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl");
    for (int32_t i = 0; i < rtf->faceCount; i++)
        n += snprintf(header + n, sizeof header - (size_t)n, "{\\f%d\\fnil %s;}", (int)i, rtf->faces[i]);
    n += snprintf(header + n, sizeof header - (size_t)n,
                  "}{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\\plain ");
    // The reader takes a last paragraph break for the document's own end: one more keeps it.
    if (rtf->endsWithBreak) AppendString(rtf, "\\par");
    if (Grow(rtf, n + 1) < 0) return rtf->status;
    memmove(rtf->text + n, rtf->text, (size_t)rtf->length);
    memcpy(rtf->text, header, (size_t)n);
    rtf->length += n;
    rtf->bodyStart = n;
    rtf->text[rtf->length++] = '}';
    rtf->text[rtf->length] = '\0';
    return 0;
}

int32_t PageRtfFree(PageRtf *rtf) {
    if (!rtf) return ERR_NULLPTR;
    MemFree(rtf->text);
    MemFree(rtf->fixes);
    memset(rtf, 0, sizeof *rtf);
    return 0;
}
