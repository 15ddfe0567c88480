// Program entry: brings the process services up, opens the browser window, runs the message
// loop and tears everything down in reverse order. The exit code is 0 in every case.
#include <windows.h>
#include <ole2.h>

#include "foundation/mem.h"
#include "ui/app.h"
#include "ui/resize_bar.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int32_t exitCode = 0;
    StartMemoryTracer(TRACER_SLOTS);
    AppContext *app = (AppContext *)MemAlloc(sizeof(AppContext));
    if (!app)
        return 0;
    app->instance = instance;
    AppStartServices();
    FindOwnModule(app);
    RegisterResizeBarClass(instance);
    if (CreateBrowserWindow(app) >= 0)
        exitCode = AppRunMessageLoop();
    OleUninitialize();
    AppContextFree(app);
    StopMemoryTracer();
    return exitCode;
}
