// Desktop shortcut: the path of the program's .lnk file in the user's Desktop folder, and
// checking or writing that file through the shell's link object. Shows no message itself.
#pragma once
#include <windows.h>
#include <cstdint>

struct AppContext;

// System drive + home path (e.g. "C:\users\me") into buffer (size characters + terminator).
// 0; ERR_NULLPTR; ERR_INVPARAM (size < 10); ERR_NOTFOUND (no module name); ERR_WINDOWS;
// ERR_TOOLONG (the path does not fit).
int32_t GetHomeFolderPath(const AppContext *app, char *buffer, int32_t size);

// Home path + "\Desktop\" + module base name + ".lnk"; errors as GetHomeFolderPath.
int32_t BuildShortcutPath(const AppContext *app, char *buffer, int32_t size);

// True when path holds a shell link whose target the shell can resolve (no UI is shown).
BOOL ShortcutExists(HWND owner, const char *path);

// Writes (or overwrites) a shell link at path pointing at target; true when saved.
BOOL CreateShortcut(const char *target, const char *path, const char *description);
