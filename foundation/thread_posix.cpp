// Thread id and sleep on POSIX hosts; the id is the kernel's thread id, as on Windows.
#include <errno.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include "foundation/thread.h"

uint32_t ThreadCurrentId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

void ThreadSleep(uint32_t milliseconds) {
    // usleep may refuse a second or more, so sleep through nanosleep and resume after signals.
    struct timespec left = {static_cast<time_t>(milliseconds / 1000),
                            static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}
