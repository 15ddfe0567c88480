// Named mutex on POSIX hosts: a robust, process-shared, recursive pthread mutex in a named shared
// memory object, so it behaves like the Win32 kernel mutex: shared by name, timed waits, and a
// holder that dies without unlocking hands it on as abandoned instead of blocking everyone.
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/named_mutex.h"
#include "foundation/status.h"
#include "foundation/thread.h"

namespace {

// Written by the creator once the mutex is initialised; openers wait for it.
constexpr uint32_t kReadyMagic = 0x4D555458;  // "MUTX"
constexpr int kOpenAttempts = 100;
constexpr int kReadyWaitMs = 2000;
constexpr uint32_t kWaitForever = 0xFFFFFFFF;  // INFINITE on Windows

// Contents of the shared memory object.
struct SharedMutex {
    pthread_mutex_t mutex;  // robust, process-shared, recursive
    uint32_t ready;         // kReadyMagic once mutex is usable
};

// What the record's handle points to: this process's view of the shared object. It stands for
// a kernel object, so it comes from the plain allocator: the tracer's own lock must not need the
// tracer.
struct MutexHandle {
    SharedMutex *shared;  // mapping of the shared memory object
    int fd;               // shared memory descriptor; holds a shared flock while open
    char path[256];       // shared memory name, "/" + the mutex name
};

bool MakePath(const char *name, char *path, size_t size) {
    int length = snprintf(path, size, "/%s", name);
    if (length < 0 || static_cast<size_t>(length) >= size) return false;
    // A slash inside a shared memory name is not allowed.
    for (char *c = path + 1; *c != '\0'; c++) {
        if (*c == '/') *c = '_';
    }
    return true;
}

int LockFile(int fd, int operation) {
    int rc;
    do {
        rc = flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

bool IsUnlinked(int fd) {
    struct stat st;
    return fstat(fd, &st) != 0 || st.st_nlink == 0;
}

bool InitMutex(SharedMutex *shared) {
    pthread_mutexattr_t attr;
    if (pthread_mutexattr_init(&attr) != 0) return false;
    bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
              pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 &&
              pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE) == 0 &&
              pthread_mutex_init(&shared->mutex, &attr) == 0;
    pthread_mutexattr_destroy(&attr);
    if (ok) __atomic_store_n(&shared->ready, kReadyMagic, __ATOMIC_RELEASE);
    return ok;
}

// Maps the object once its creator has sized it and initialised the mutex; null if that does
// not happen in time (a creator that died half-way).
SharedMutex *MapWhenReady(int fd) {
    for (int wait = 0; wait < kReadyWaitMs; wait++) {
        struct stat st;
        if (fstat(fd, &st) != 0) return nullptr;
        if (st.st_size >= static_cast<off_t>(sizeof(SharedMutex))) {
            void *map =
                mmap(nullptr, sizeof(SharedMutex), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (map == MAP_FAILED) return nullptr;
            SharedMutex *shared = static_cast<SharedMutex *>(map);
            for (; wait < kReadyWaitMs; wait++) {
                if (__atomic_load_n(&shared->ready, __ATOMIC_ACQUIRE) == kReadyMagic) return shared;
                usleep(1000);
            }
            munmap(map, sizeof(SharedMutex));
            return nullptr;
        }
        usleep(1000);
    }
    return nullptr;
}

// Opens or creates the shared object. Every open handle holds a shared flock on it, so the last
// one to close can tell that it is the last (its exclusive lock succeeds) and remove the name.
// A name removed between our open and our lock shows a link count of 0 and is opened again.
bool OpenShared(MutexHandle *handle) {
    for (int attempt = 0; attempt < kOpenAttempts; attempt++) {
        bool created = true;
        int fd = shm_open(handle->path, O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd < 0 && errno == EEXIST) {
            created = false;
            fd = shm_open(handle->path, O_RDWR, 0600);
            if (fd < 0 && errno == ENOENT) continue;
        }
        if (fd < 0) return false;
        if (LockFile(fd, LOCK_SH) != 0) {
            close(fd);
            return false;
        }
        if (IsUnlinked(fd)) {
            close(fd);
            continue;
        }
        SharedMutex *shared = nullptr;
        if (created) {
            void *map = MAP_FAILED;
            if (ftruncate(fd, sizeof(SharedMutex)) == 0) {
                map = mmap(nullptr, sizeof(SharedMutex), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            }
            if (map != MAP_FAILED) {
                shared = static_cast<SharedMutex *>(map);
                if (!InitMutex(shared)) {
                    munmap(map, sizeof(SharedMutex));
                    shared = nullptr;
                }
            }
        } else {
            shared = MapWhenReady(fd);
        }
        if (shared == nullptr) {
            // Never usable: remove the name unless someone else has it open, and try afresh.
            if (flock(fd, LOCK_EX | LOCK_NB) == 0) shm_unlink(handle->path);
            close(fd);
            if (created) return false;
            continue;
        }
        handle->shared = shared;
        handle->fd = fd;
        return true;
    }
    return false;
}

}  // namespace

int32_t NamedMutexCreate(const char *name, NamedMutex *mutex) {
    if (name == nullptr || mutex == nullptr) return ERR_NULLPTR;
    MutexHandle *handle = static_cast<MutexHandle *>(calloc(1, sizeof(MutexHandle)));
    if (handle == nullptr || !MakePath(name, handle->path, sizeof handle->path) ||
        !OpenShared(handle)) {
        free(handle);
        ErrorPrint("Mutex creating failed");
        return ERR_CREATE;
    }
    mutex->handle = handle;
    mutex->name = MemStrDup(name);
    return 0;
}

int32_t NamedMutexLock(NamedMutex *mutex, uint32_t milliseconds) {
    if (mutex == nullptr) return ERR_NULLPTR;
    MutexHandle *handle = static_cast<MutexHandle *>(mutex->handle);
    int rc = EINVAL;
    if (handle != nullptr) {
        pthread_mutex_t *m = &handle->shared->mutex;
        rc = pthread_mutex_trylock(m);
        if (rc == EBUSY && milliseconds == kWaitForever) {
            rc = pthread_mutex_lock(m);
        } else if (rc == EBUSY) {
            // Polled, as on Windows: a holder that dies is noticed by the next try (EOWNERDEAD).
            auto deadline =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
            while (rc == EBUSY && std::chrono::steady_clock::now() < deadline) {
                ThreadSleep(1);
                rc = pthread_mutex_trylock(m);
            }
            if (rc == EBUSY) rc = ETIMEDOUT;
        }
        if (rc == EOWNERDEAD) {
            // The holder died: the mutex is ours now; mark it usable again, as Windows does.
            pthread_mutex_consistent(m);
        }
    }
    if (rc == 0) return 0;
    if (rc == ETIMEDOUT) {
        ErrorPrint("Mutex timeouted");
        return ERR_TIMEOUT;
    }
    ErrorPrint("Mutex abandoned");
    return ERR_ABANDONED;
}

int32_t NamedMutexUnlock(NamedMutex *mutex) {
    if (mutex == nullptr) return ERR_NULLPTR;
    MutexHandle *handle = static_cast<MutexHandle *>(mutex->handle);
    if (handle == nullptr || pthread_mutex_unlock(&handle->shared->mutex) != 0) {
        ErrorPrint("Mutex unreleased");
        return ERR_ERROR;
    }
    return 0;
}

int32_t NamedMutexDestroy(NamedMutex *mutex) {
    if (mutex == nullptr) return ERR_NULLPTR;
    MutexHandle *handle = static_cast<MutexHandle *>(mutex->handle);
    if (handle == nullptr) {
        ErrorPrint("Mutex undestroyed");
        return ERR_ERROR;
    }
    munmap(handle->shared, sizeof(SharedMutex));
    // Only the last open handle gets the exclusive lock; it removes the name, as the kernel
    // drops a Windows mutex with its last handle.
    if (flock(handle->fd, LOCK_EX | LOCK_NB) == 0) shm_unlink(handle->path);
    close(handle->fd);
    free(handle);
    mutex->handle = nullptr;
    MemStrFree(mutex->name);
    mutex->name = nullptr;
    return 0;
}
