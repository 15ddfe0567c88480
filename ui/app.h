// Process-wide start-up pieces used by WinMain (and by the window tests, which set up the
// process the same way): service start-up, the own-module search and the teardown.
#pragma once
#include <windows.h>
#include <cstdint>

#include "ui/browser_window.h"

#define OWN_MODULE_PREFIX "MORBIVUE"

enum : uint32_t {
    TRACER_SLOTS = 20000,           // slots of the allocation tracer
    MODULE_LIST_ENTRIES = 1024,     // module handles examined by FindOwnModule
    UI_COMMON_CONTROLS = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                         ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_DATE_CLASSES,
};

// Common controls, the rich-edit library and OLE, in that order. Results are not needed.
void AppStartServices();
// Loads the rich-edit library; makes sure "RichEdit20A" ends up registered when either
// library can provide it. 0, or ERR_NOTAVAIL when neither library loads.
int32_t AppLoadRichEdit();
// Fills moduleBaseName and modulePath from the last loaded module whose base name begins
// with OWN_MODULE_PREFIX (case ignored). Always 0.
int32_t FindOwnModule(AppContext *app);
// Same, over a given module list, with the process handle the names are read through.
int32_t FindOwnModuleIn(AppContext *app, HANDLE process, const HMODULE *modules, uint32_t count);
// Frees the two name copies and the record.
void AppContextFree(AppContext *app);
// Runs the message loop, with the browser window's keyboard shortcuts, until WM_QUIT; returns
// its wParam as the exit code.
int32_t AppRunMessageLoop();
