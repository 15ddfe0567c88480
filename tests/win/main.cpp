// Main of both Windows test programs (test_ui, test_ui_archive): sets the process up once the way WinMain does (tracer,
// common controls, rich edit, OLE, resize-bar class), then runs every test on this thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include "foundation/mem.h"
#include "ui/app.h"
#include "ui/resize_bar.h"

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    StartMemoryTracer(TRACER_SLOTS);
    AppStartServices();
    RegisterResizeBarClass(GetModuleHandleA(nullptr));
    int result = RUN_ALL_TESTS();
    OleUninitialize();
    StopMemoryTracer();
    return result;
}
