// Turns XML text (UTF-8) into the viewer's single-byte text: white space collapsed and trimmed,
// Windows-1252 bytes, ';' written as ','. Knows nothing of records or notes.
#pragma once
#include <cstdint>
#include <string>

// What TextEncode did to one text.
struct TextEncodeResult {
    uint32_t semicolons;    // ';' written as ',' (the record line has no escape for ';')
    uint32_t badCodePoint;  // on ERR_INVVALUE the character that was refused; on ERR_INVDATA
                            // the byte that starts the malformed sequence
};

// Appends the encoded form of utf8 to out. Every run of white space becomes one blank, and
// blanks at both ends are dropped, so a text of white space only appends nothing.
// Returns 0, ERR_NULLPTR, ERR_INVDATA (malformed UTF-8) or ERR_INVVALUE (a character that
// Windows-1252 cannot hold, or a control character); out may then hold a partial text.
int32_t TextEncode(const char *utf8, std::string *out, TextEncodeResult *result);

// Windows-1252 byte for a code point, or -1 when the code page has none (or it is a control
// character, which no record line may carry).
int32_t TextWindows1252Byte(uint32_t codePoint);
