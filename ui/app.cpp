// Start-up and teardown helpers of WinMain: common controls, rich edit, OLE, and the search for
// the program's own executable module by its name prefix.
#include "ui/app.h"

#include <commctrl.h>
#include <ole2.h>
#include <psapi.h>
#include <cstring>

#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/accelerators.h"

static int32_t RichEdit20Registered() {
    WNDCLASSA wc;
    return GetClassInfoA(nullptr, "RichEdit20A", &wc) ? 1 : 0;
}

int32_t AppLoadRichEdit() {
    HMODULE lib = LoadLibraryA("RICHED32.DLL");
    if (!lib)
        LogPrint("riched32.lib not found, fallback...\n");
    // Some systems' RICHED32.DLL registers only the 1.0 class; the viewer needs 2.0.
    if (!lib || !RichEdit20Registered()) {
        HMODULE lib20 = LoadLibraryA("RICHED20.DLL");
        if (!lib20 && !lib) {
            ErrorPrint("cannot find richedit libraries\n");
            return ERR_NOTAVAIL;
        }
    }
    return 0;
}

void AppStartServices() {
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC = UI_COMMON_CONTROLS;
    InitCommonControlsEx(&icc);
    AppLoadRichEdit();
    OleInitialize(nullptr);
}

static bool FileNameHasPrefix(HMODULE module, size_t prefixLength) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return true;  // unknown or cut: let the full reading decide
    const char *name = path + length;
    while (name > path && name[-1] != '\\' && name[-1] != '/')
        name--;
    return _strnicmp(OWN_MODULE_PREFIX, name, prefixLength) == 0;
}

int32_t FindOwnModuleIn(AppContext *app, HANDLE process, const HMODULE *modules, uint32_t count) {
    if (!app || !modules)
        return 0;
    const size_t prefixLength = strlen(OWN_MODULE_PREFIX);
    const bool ownProcess = GetProcessId(process) == GetCurrentProcessId();
    for (uint32_t i = 0; i < count && i < MODULE_LIST_ENTRIES; i++) {
        char baseName[128];
        char path[MAX_PATH];
        // Reading names through the process handle costs Wine about 4 ms a module (24 at
        // start-up); in our own process the loader's list answers at once, so only a module
        // whose file name has the prefix is read the long way.
        if (ownProcess && !FileNameHasPrefix(modules[i], prefixLength))
            continue;
        baseName[0] = 0;
        GetModuleBaseNameA(process, modules[i], baseName, 127);
        baseName[127] = 0;
        path[0] = 0;
        GetModuleFileNameExA(process, modules[i], path, MAX_PATH);
        path[MAX_PATH - 1] = 0;
        if (_strnicmp(OWN_MODULE_PREFIX, baseName, prefixLength) != 0)
            continue;
        // A later match replaces an earlier one.
        MemStrFree(app->moduleBaseName);
        MemStrFree(app->modulePath);
        app->moduleBaseName = MemStrDup(baseName);
        app->modulePath = MemStrDup(path);
    }
    return 0;
}

int32_t FindOwnModule(AppContext *app) {
    HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, GetCurrentProcessId());
    static HMODULE modules[MODULE_LIST_ENTRIES];
    DWORD needed = 0;
    if (process && EnumProcessModules(process, modules, sizeof modules, &needed) == 1) {
        uint32_t count = needed / sizeof(HMODULE);
        FindOwnModuleIn(app, process, modules, count);
    }
    if (process)
        CloseHandle(process);
    return 0;
}

void AppContextFree(AppContext *app) {
    if (!app)
        return;
    MemStrFree(app->moduleBaseName);
    MemStrFree(app->modulePath);
    MemFree(app);
}

int32_t AppRunMessageLoop() {
    MSG msg = {};
    HACCEL keys = AcceleratorsCreate();
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        if (AcceleratorsTranslate(keys, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (keys)
        DestroyAcceleratorTable(keys);
    return (int32_t)msg.wParam;
}
