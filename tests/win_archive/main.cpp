// Test program of the window tests over archives built at run time: sets the process up like
// WinMain does, then runs the tests.
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
