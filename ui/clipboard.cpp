// Clipboard text: the block is sized for the worst case (one extra byte per CR or LF) and
// handed to the clipboard, which owns it from then on.
#include "ui/clipboard.h"
#include "foundation/status.h"

static uint32_t CountLineBytes(const char *text, uint32_t length) {
    uint32_t count = 0;
    for (uint32_t i = 0; i < length; i++)
        if (text[i] == '\n' || text[i] == '\r')
            count++;
    return count;
}

static void PutText(const char *text, uint32_t length) {
    SIZE_T size = (SIZE_T)length + CountLineBytes(text, length) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        return;
    char *out = (char *)GlobalLock(memory);
    if (!out) {
        GlobalFree(memory);
        return;
    }
    uint32_t n = 0;
    for (uint32_t i = 0; i < length; i++) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out[n++] = '\r';
        out[n++] = text[i];
    }
    out[n] = 0;
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory))
        GlobalFree(memory);
}

int32_t CopyTextToClipboard(HWND owner, const char *text, uint32_t length) {
    if (!owner)
        return ERR_INVPARAM;
    if (!OpenClipboard(owner))
        return ERR_FAILED;
    EmptyClipboard();
    if (text)
        PutText(text, length);
    CloseClipboard();
    return 0;
}
