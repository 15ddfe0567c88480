// Thread id and sleep on Windows.
#include <windows.h>

#include "foundation/thread.h"

uint32_t ThreadCurrentId() { return GetCurrentThreadId(); }

void ThreadSleep(uint32_t milliseconds) { Sleep(milliseconds); }
