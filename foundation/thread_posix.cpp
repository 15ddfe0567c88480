// Thread id and sleep on POSIX hosts; the id is the kernel's thread id, as on Windows.
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "foundation/thread.h"

namespace {

// gettid is a system call, and the tracer asks for it on every allocation; each thread asks the
// kernel once. A forked child starts with its parent's cache, so the fork clears it.
thread_local uint32_t tCachedId = 0;

void ForgetIdInChild() { tCachedId = 0; }

int gAtForkRegistered = pthread_atfork(nullptr, nullptr, ForgetIdInChild);

}  // namespace

uint32_t ThreadCurrentId() {
    if (tCachedId == 0) tCachedId = static_cast<uint32_t>(syscall(SYS_gettid));
    return tCachedId;
}

void ThreadSleep(uint32_t milliseconds) {
    // usleep may refuse a second or more; sleep_for has no such limit and resumes after signals.
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
