// Page find: where a word stands in a page's text, found as the viewer's own search finds it
// (case ignored, Windows-1252 letters included). Knows no window.
#pragma once
#include <cstdint>

// The first position from `from` on where text[0..length) holds word (zero-terminated) with case
// ignored; -1 when there is none, or for a null or empty word.
int32_t PageTextFind(const char *text, int32_t length, const char *word, int32_t from);
