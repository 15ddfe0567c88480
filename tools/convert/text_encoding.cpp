// Turns XML text (UTF-8) into the viewer's single-byte text: white space collapsed and trimmed,
// Windows-1252 bytes, ';' written as ','.
#include "tools/convert/text_encoding.h"

#include "foundation/status.h"

// Code points of Windows-1252 bytes 0x80-0x9F; 0 where the code page leaves the byte undefined.
static const uint16_t kHighBlock[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int32_t TextWindows1252Byte(uint32_t codePoint)
{
    if (codePoint < 0x20 || codePoint == 0x7F) {
        return -1;
    }
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return (int32_t)codePoint;
    }
    // 0x80-0x9F are C1 controls in Unicode; the code page puts typographic marks there instead.
    for (uint32_t i = 0; i < 32; i++) {
        if (kHighBlock[i] != 0 && kHighBlock[i] == codePoint) {
            return (int32_t)(0x80 + i);
        }
    }
    return -1;
}

static bool IsBlank(uint32_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Decodes one UTF-8 sequence at s; returns its length, or 0 when it is malformed (overlong
// forms, surrogates and values above U+10FFFF included).
static uint32_t DecodeUtf8(const unsigned char *s, uint32_t *codePoint)
{
    unsigned char b = s[0];
    uint32_t length;
    uint32_t c;
    uint32_t minimum;
    if (b < 0x80) {
        *codePoint = b;
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        c = b & 0x1F;
        minimum = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        c = b & 0x0F;
        minimum = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        c = b & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    for (uint32_t i = 1; i < length; i++) {
        if ((s[i] & 0xC0) != 0x80) {
            return 0;  // also stops at the terminating zero
        }
        c = (c << 6) | (s[i] & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    *codePoint = c;
    return length;
}

int32_t TextEncode(const char *utf8, std::string *out, TextEncodeResult *result)
{
    if (utf8 == nullptr || out == nullptr || result == nullptr) {
        return ERR_NULLPTR;
    }
    result->semicolons = 0;
    result->badCodePoint = 0;
    const unsigned char *s = (const unsigned char *)utf8;
    bool written = false;
    bool blankPending = false;
    while (*s != 0) {
        uint32_t c = 0;
        uint32_t length = DecodeUtf8(s, &c);
        if (length == 0) {
            result->badCodePoint = *s;
            return ERR_INVDATA;
        }
        s += length;
        if (IsBlank(c)) {
            blankPending = written;
            continue;
        }
        int32_t byte = TextWindows1252Byte(c);
        if (byte < 0) {
            result->badCodePoint = c;
            return ERR_INVVALUE;
        }
        if (byte == ';') {
            byte = ',';
            result->semicolons++;
        }
        if (blankPending) {
            out->push_back(' ');
            blankPending = false;
        }
        out->push_back((char)byte);
        written = true;
    }
    return 0;
}
