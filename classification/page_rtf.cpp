// Page as RTF: mirrors the format each PageSink step sets, writes the control words a run needs
// before its text, and records the runs whose format RTF has no words for.
#include "classification/page_rtf.h"

#include <cstdio>
#include <cstring>

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
    rtf->beforeLink = START_FORMAT;
    rtf->written = START_FORMAT;
    rtf->formatWritten = 0;
    rtf->faceCount = 0;
    rtf->bodyStart = 0;
    rtf->endsWithBreak = 0;
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

// The viewer derives the weight from the bold effect whenever bold is set.
static void SetBold(RtfFormat *f, int32_t bold) {
    f->bold = bold ? 1 : 0;
    f->weight = bold ? WEIGHT_BOLD : WEIGHT_NORMAL;
}

static void SinkSetFont(void *context, const char *face, int32_t points, uint16_t weight) {
    PageRtf *rtf = (PageRtf *)context;
    const int32_t index = FaceIndex(rtf, face);
    if (index < 0) return;
    rtf->current.face = index;
    rtf->current.points = points;
    SetBold(&rtf->current, weight > WEIGHT_NORMAL);
}

static void SinkSetEffects(void *context, int32_t bold, int32_t italic, int32_t underline) {
    PageRtf *rtf = (PageRtf *)context;
    SetBold(&rtf->current, bold);
    rtf->current.italic = italic ? 1 : 0;
    rtf->current.underline = underline ? 1 : 0;
}

static void SinkSetLink(void *context, int32_t on) {
    PageRtf *rtf = (PageRtf *)context;
    RtfFormat *f = &rtf->current;
    if (rtf->linkMode == RTF_LINKS_RANGES) {
        // A range link changes only its own characters: what follows keeps what came before.
        if (on && !f->link) rtf->beforeLink = *f;
        if (!on && f->link) {
            const RtfFormat restored = rtf->beforeLink;
            f->colour = restored.colour;
            f->underline = restored.underline;
            f->underlineType = restored.underlineType;
            f->weight = restored.weight;
            f->link = 0;
            return;
        }
    }
    f->link = on ? 1 : 0;
    f->underline = on ? 1 : 0;
    f->underlineType = on ? RTF_UNDERLINE_WORD : RTF_UNDERLINE_NONE;
    f->colour = on ? RTF_COLOUR_LINK : RTF_COLOUR_PLAIN;
    f->weight = on ? WEIGHT_LINK : WEIGHT_NORMAL;
}

// The underline words of a format: RTF has no word for an underline of no type.
static const char *UnderlineWord(const RtfFormat &f) {
    if (!f.underline) return "\\ulnone";
    return f.underlineType == RTF_UNDERLINE_WORD ? "\\ulw" : "\\ul";
}

// Writes the control words that take the document from the format it last said to current.
static void WriteFormat(PageRtf *rtf) {
    const RtfFormat &f = rtf->current;
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
static void AddFix(PageRtf *rtf, int32_t length) {
    const RtfFormat &f = rtf->current;
    const bool badUnderline = f.underline && f.underlineType == RTF_UNDERLINE_NONE;
    if (!f.link && !badUnderline && f.weight == (f.bold ? WEIGHT_BOLD : WEIGHT_NORMAL)) return;
    RtfFix fix = {rtf->characters, length, f.link, badUnderline ? RTF_UNDERLINE_NONE : RTF_UNDERLINE_KEEP,
                  f.weight};
    if (rtf->fixCount > 0) {
        RtfFix *last = &rtf->fixes[rtf->fixCount - 1];
        if (last->start + last->length == fix.start && last->link == fix.link &&
            last->underlineType == fix.underlineType && last->weight == fix.weight) {
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

static void SinkWriteText(void *context, const char *text, int32_t length) {
    PageRtf *rtf = (PageRtf *)context;
    if (rtf->status < 0 || !text || length <= 0) return;
    WriteFormat(rtf);
    const int32_t start = rtf->characters;
    // Each byte is one character of the viewer; a CR LF pair is one paragraph break.
    char escaped[8];
    int32_t characters = 0;
    for (int32_t i = 0; i < length && rtf->status >= 0; i++) {
        const unsigned char c = (unsigned char)text[i];
        const char *out = escaped;
        int n;
        if (c == '\r' && i + 1 < length && text[i + 1] == '\n') continue;
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
        rtf->endsWithBreak = c == '\n' || c == '\r';
        characters++;
    }
    if (rtf->status < 0) return;
    rtf->characters = start;
    AddFix(rtf, characters);
    rtf->characters = start + characters;
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
