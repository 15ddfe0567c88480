// A message box whose text is formatted printf-style and cut at 141 characters.
#pragma once
#include <windows.h>

void MessageBoxPrint(HWND owner, UINT type, const char *caption, const char *format, ...)
    __attribute__((format(printf, 4, 5)));
