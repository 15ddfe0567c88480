// Formatted message box; the user's answer is not needed by any caller.
#include "ui/message_box.h"
#include <cstdarg>
#include <cstdio>

void MessageBoxPrint(HWND owner, UINT type, const char *caption, const char *format, ...) {
    char text[142];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    text[141] = 0;
    MessageBoxA(owner, text, caption, type);
}
