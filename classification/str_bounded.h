// Bounded string copy and append: the two ways text is built anywhere in the program.
// Both always terminate the destination; neither allocates.
#pragma once
#include <cstdint>

// Copies at most n characters of src with strncpy semantics (a shorter src is padded with zero
// bytes up to n), then stores a zero byte at index n. dest must hold n + 1 bytes. Returns dest.
char *StrCopyBounded(char *dest, const char *src, int32_t n);

// Appends at most size - strlen(dest) characters of src (strncpy semantics) and stores a zero byte
// at index size; does nothing when dest already holds size characters or more. dest must hold
// size + 1 bytes, so the result never exceeds size characters. Returns dest.
char *StrAppendBounded(char *dest, const char *src, int32_t size);
