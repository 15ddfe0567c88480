// Desktop shortcut: the path of the program's .lnk file in the user's Desktop folder, and
// checking or writing that file through the shell's link object. Shows no message itself.
#include "ui/shortcut.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <cstring>

#include "classification/str_bounded.h"
#include "foundation/status.h"
#include "ui/browser_window.h"

// Spelled out rather than taken from libuuid, so the link object is exactly the one we mean.
static const CLSID kClsidShellLink = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID kIidShellLinkA = {
    0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID kIidPersistFile = {
    0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

enum { WIDE_PATH_CHARS = 260 };

int32_t GetHomeFolderPath(const AppContext *app, char *buffer, int32_t size) {
    if (!app || !buffer) return ERR_NULLPTR;
    if (size < 10) return ERR_INVPARAM;
    if (!app->moduleBaseName) return ERR_NOTFOUND;
    // The buffer holds size + 1 bytes; the terminator at index size guards against an expansion
    // that the platform leaves unterminated when it does not fit.
    buffer[size] = '\0';
    DWORD got = ExpandEnvironmentStringsA("%SYSTEMDRIVE%", buffer, (DWORD)size);
    if (got == 0) return ERR_WINDOWS;
    if (got > (DWORD)size) {  // did not fit: the buffer's content is not a path
        buffer[0] = '\0';
        return ERR_TOOLONG;
    }
    int32_t used = (int32_t)strlen(buffer);
    int32_t room = size - used;
    got = room > 0 ? ExpandEnvironmentStringsA("%HOMEPATH%", buffer + used, (DWORD)room) : 0;
    if (got == 0 || got > (DWORD)room) {
        buffer[used] = '\0';
        return ERR_TOOLONG;
    }
    return 0;
}

int32_t BuildShortcutPath(const AppContext *app, char *buffer, int32_t size) {
    int32_t status = GetHomeFolderPath(app, buffer, size);
    if (status < 0) return status;
    static const char kDesktop[] = "\\Desktop\\";
    static const char kExtension[] = ".lnk";
    if (!app->moduleBaseName) return ERR_NOTFOUND;
    size_t needed = strlen(buffer) + strlen(kDesktop) + strlen(app->moduleBaseName) +
                    strlen(kExtension);
    StrAppendBounded(buffer, kDesktop, size);
    StrAppendBounded(buffer, app->moduleBaseName, size);
    StrAppendBounded(buffer, kExtension, size);
    // A cut path names some other file; writing a shortcut there would be wrong.
    return needed > (size_t)size ? ERR_TOOLONG : 0;
}

// The path in UTF-16 for IPersistFile; false when it does not fit, rather than a cut path.
static bool WidePath(const char *path, WCHAR *wide) {
    return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, WIDE_PATH_CHARS) > 0;
}

BOOL ShortcutExists(HWND owner, const char *path) {
    if (!path) return FALSE;
    IShellLinkA *link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                                (void **)&link)))
        return FALSE;
    IPersistFile *file = nullptr;
    if (FAILED(link->QueryInterface(kIidPersistFile, (void **)&file))) {
        link->Release();
        return FALSE;
    }
    WCHAR wide[WIDE_PATH_CHARS];
    BOOL exists = FALSE;
    if (WidePath(path, wide) && SUCCEEDED(file->Load(wide, STGM_READ)))
        exists = SUCCEEDED(link->Resolve(owner, SLR_NO_UI | SLR_UPDATE));
    file->Release();
    link->Release();
    return exists;
}

BOOL CreateShortcut(const char *target, const char *path, const char *description) {
    if (!target || !path || !description) return FALSE;
    IShellLinkA *link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                                (void **)&link)))
        return FALSE;
    link->SetPath(target);
    link->SetDescription(description);
    IPersistFile *file = nullptr;
    if (FAILED(link->QueryInterface(kIidPersistFile, (void **)&file))) {
        link->Release();
        return FALSE;
    }
    WCHAR wide[WIDE_PATH_CHARS];
    BOOL saved = WidePath(path, wide) && SUCCEEDED(file->Save(wide, TRUE));
    file->Release();
    link->Release();
    return saved;
}
