// A mutex with a name, shared by every process that opens the same name. Win32 kernel mutex on
// Windows; on POSIX hosts a robust process-shared mutex in named shared memory.
#pragma once
#include <cstdint>

struct NamedMutex {
    void *handle;  // OS object; null after destruction
    char *name;    // MemStrDup copy of the name, owned; null after destruction
};

int32_t NamedMutexCreate(const char *name, NamedMutex *mutex);
int32_t NamedMutexLock(NamedMutex *mutex, uint32_t milliseconds);  // 0, ERR_TIMEOUT, ERR_ABANDONED
int32_t NamedMutexUnlock(NamedMutex *mutex);
int32_t NamedMutexDestroy(NamedMutex *mutex);
