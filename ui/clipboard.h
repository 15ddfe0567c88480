// Putting text on the clipboard as CF_TEXT with CR LF line ends.
#pragma once
#include <windows.h>
#include <cstdint>

// Every LF not preceded by CR gets a CR in front. A null text empties the clipboard.
int32_t CopyTextToClipboard(HWND owner, const char *text, uint32_t length);
