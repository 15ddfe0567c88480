// Starts this test program a second time with other arguments, so that a named mutex can be held
// by another process; main.cpp answers those arguments.
#pragma once
#include <string>
#include <vector>

struct ChildProcess {
    void *process;  // process handle on Windows
    int pid;        // process id elsewhere
};

bool ChildStart(ChildProcess *child, const std::vector<std::string> &args);
// Waits for the child to end; its exit code, or -1.
int ChildWait(ChildProcess *child);

// What the second process does: lock the mutex, keep it for the given time, then unlock it or
// end without unlocking. Returns the process exit code.
int HoldMutexMain(const char *name, int milliseconds, bool abandon);
