// Clipboard text with CR LF line ends. The block is sized exactly: Wine hands the whole block to
// X selection readers, so spare bytes after the terminator would show up as garbage there.
#include "ui/clipboard.h"
#include "foundation/status.h"

// Line feeds that need a carriage return put in front of them.
static uint32_t CountBareLineFeeds(const char *text, uint32_t length) {
    uint32_t count = 0;
    for (uint32_t i = 0; i < length; i++)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            count++;
    return count;
}

static void PutText(const char *text, uint32_t length) {
    SIZE_T size = (SIZE_T)length + CountBareLineFeeds(text, length) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
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
