// The two thread services the tracer needs from the OS: who is calling, and a pause.
#pragma once
#include <cstdint>

uint32_t ThreadCurrentId();               // OS id of the calling thread
void ThreadSleep(uint32_t milliseconds);  // blocks the calling thread
