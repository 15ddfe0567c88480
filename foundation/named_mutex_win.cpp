// Named mutex on Windows, shared by every process that opens the same name and reported as
// abandoned when its holder ends without releasing it. The lock is an owner word in a named
// shared section: taking a free lock costs one interlocked operation instead of a kernel wait,
// which under Wine is a server round trip and made the tracer's 90,000 start-up locks cost
// seconds. The kernel mutex of the same name is still created; it holds the name.
#include <windows.h>

#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/named_mutex.h"
#include "foundation/status.h"

namespace {

// The shared section: zero-filled when the first process creates it.
struct SharedLock {
    volatile LONG owner;      // thread id of the holder (never 0 on Windows), or 0 when free
    volatile LONG recursion;  // how often the holder has taken it; touched by the holder only
};

// What the record's handle points to. It stands for a kernel object, so it comes from the plain
// allocator: the tracer's own lock must not need the tracer.
struct MutexHandle {
    HANDLE kernel;       // CreateMutexA of the name
    HANDLE section;      // the named shared section
    SharedLock *shared;  // its view
};

constexpr char kSectionSuffix[] = ".lock";

// True when the thread no longer runs: it ended, or no thread of that id exists any more.
bool OwnerGone(DWORD threadId) {
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    if (thread == nullptr) return true;
    bool gone = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return gone;
}

bool OpenSection(const char *name, MutexHandle *h) {
    char sectionName[MAX_PATH];
    int length = lstrlenA(name);
    if (length + static_cast<int>(sizeof kSectionSuffix) > MAX_PATH) return false;
    lstrcpyA(sectionName, name);
    lstrcatA(sectionName, kSectionSuffix);
    h->section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                    sizeof(SharedLock), sectionName);
    if (h->section == nullptr) return false;
    h->shared = static_cast<SharedLock *>(
        MapViewOfFile(h->section, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedLock)));
    if (h->shared == nullptr) {
        CloseHandle(h->section);
        return false;
    }
    return true;
}

}  // namespace

int32_t NamedMutexCreate(const char *name, NamedMutex *mutex) {
    if (name == nullptr || mutex == nullptr) return ERR_NULLPTR;
    MutexHandle *h = static_cast<MutexHandle *>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                          sizeof(MutexHandle)));
    if (h == nullptr) {
        ErrorPrint("Mutex creating failed");
        return ERR_CREATE;
    }
    // An existing mutex of that name is opened instead, which is what makes it shared.
    h->kernel = CreateMutexA(nullptr, FALSE, name);
    if (h->kernel == nullptr || !OpenSection(name, h)) {
        if (h->kernel != nullptr) CloseHandle(h->kernel);
        HeapFree(GetProcessHeap(), 0, h);
        ErrorPrint("Mutex creating failed");
        return ERR_CREATE;
    }
    mutex->handle = h;
    mutex->name = MemStrDup(name);
    return 0;
}

int32_t NamedMutexLock(NamedMutex *mutex, uint32_t milliseconds) {
    if (mutex == nullptr) return ERR_NULLPTR;
    MutexHandle *h = static_cast<MutexHandle *>(mutex->handle);
    if (h == nullptr) {
        ErrorPrint("Mutex abandoned");  // a failed wait, as on a closed kernel handle
        return ERR_ABANDONED;
    }
    SharedLock *lock = h->shared;
    LONG me = static_cast<LONG>(GetCurrentThreadId());
    if (lock->owner == me) {  // a mutex may be taken again by its holder
        lock->recursion++;
        return 0;
    }
    if (InterlockedCompareExchange(&lock->owner, me, 0) == 0) {
        lock->recursion = 1;
        return 0;
    }
    // Contended: the tracer's lock almost never is, so polling is cheap enough and lets a dead
    // holder be noticed.
    ULONGLONG start = GetTickCount64();
    for (int round = 0;; round++) {
        Sleep(round < 4 ? 0 : 1);
        LONG holder = lock->owner;
        if (holder == 0) {
            if (InterlockedCompareExchange(&lock->owner, me, 0) == 0) {
                lock->recursion = 1;
                return 0;
            }
        } else if (OwnerGone(static_cast<DWORD>(holder)) &&
                   InterlockedCompareExchange(&lock->owner, me, holder) == holder) {
            lock->recursion = 1;
            ErrorPrint("Mutex abandoned");
            return ERR_ABANDONED;  // the caller holds it now, as after WAIT_ABANDONED
        }
        if (milliseconds != INFINITE && GetTickCount64() - start >= milliseconds) {
            ErrorPrint("Mutex timeouted");
            return ERR_TIMEOUT;
        }
    }
}

int32_t NamedMutexUnlock(NamedMutex *mutex) {
    if (mutex == nullptr) return ERR_NULLPTR;
    MutexHandle *h = static_cast<MutexHandle *>(mutex->handle);
    LONG me = static_cast<LONG>(GetCurrentThreadId());
    if (h == nullptr || h->shared->owner != me) {
        ErrorPrint("Mutex unreleased");
        return ERR_ERROR;
    }
    if (--h->shared->recursion == 0) InterlockedExchange(&h->shared->owner, 0);
    return 0;
}

int32_t NamedMutexDestroy(NamedMutex *mutex) {
    if (mutex == nullptr) return ERR_NULLPTR;
    MutexHandle *h = static_cast<MutexHandle *>(mutex->handle);
    if (h == nullptr) {
        ErrorPrint("Mutex undestroyed");
        return ERR_ERROR;
    }
    UnmapViewOfFile(h->shared);
    CloseHandle(h->section);
    CloseHandle(h->kernel);
    HeapFree(GetProcessHeap(), 0, h);
    mutex->handle = nullptr;
    MemStrFree(mutex->name);
    mutex->name = nullptr;
    return 0;
}
