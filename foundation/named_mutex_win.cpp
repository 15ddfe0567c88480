// Named mutex on Windows: a kernel mutex, shared by every process that opens the same name and
// reported as abandoned when its holder ends without releasing it.
#include <windows.h>

#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/named_mutex.h"
#include "foundation/status.h"

int32_t NamedMutexCreate(const char *name, NamedMutex *mutex) {
    if (name == nullptr || mutex == nullptr) return ERR_NULLPTR;
    // An existing mutex of that name is opened instead, which is what makes it shared.
    HANDLE handle = CreateMutexA(nullptr, FALSE, name);
    if (handle == nullptr) {
        ErrorPrint("Mutex creating failed");
        return ERR_CREATE;
    }
    mutex->handle = handle;
    mutex->name = MemStrDup(name);
    return 0;
}

int32_t NamedMutexLock(NamedMutex *mutex, uint32_t milliseconds) {
    if (mutex == nullptr) return ERR_NULLPTR;
    DWORD result = WaitForSingleObject(static_cast<HANDLE>(mutex->handle), milliseconds);
    if (result == WAIT_OBJECT_0) return 0;
    if (result == WAIT_TIMEOUT) {
        ErrorPrint("Mutex timeouted");
        return ERR_TIMEOUT;
    }
    // WAIT_ABANDONED hands the mutex to this thread; a failed wait does not.
    ErrorPrint("Mutex abandoned");
    return ERR_ABANDONED;
}

int32_t NamedMutexUnlock(NamedMutex *mutex) {
    if (mutex == nullptr) return ERR_NULLPTR;
    if (!ReleaseMutex(static_cast<HANDLE>(mutex->handle))) {
        ErrorPrint("Mutex unreleased");
        return ERR_ERROR;
    }
    return 0;
}

int32_t NamedMutexDestroy(NamedMutex *mutex) {
    if (mutex == nullptr) return ERR_NULLPTR;
    if (!CloseHandle(static_cast<HANDLE>(mutex->handle))) {
        ErrorPrint("Mutex undestroyed");
        return ERR_ERROR;
    }
    mutex->handle = nullptr;
    MemStrFree(mutex->name);
    mutex->name = nullptr;
    return 0;
}
