// Second-process helpers for the named mutex tests: CreateProcessA on Windows, posix_spawn of
// /proc/self/exe elsewhere.
#include "child_process.h"

#include <cstdlib>

#include "foundation/named_mutex.h"
#include "foundation/thread.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifdef _WIN32
bool ChildStart(ChildProcess *child, const std::vector<std::string> &args) {
    char path[MAX_PATH];
    if (GetModuleFileNameA(nullptr, path, sizeof path) == 0) return false;
    std::string command = std::string("\"") + path + "\"";
    for (const std::string &arg : args) command += " \"" + arg + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(path, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    child->process = info.hProcess;
    return true;
}

int ChildWait(ChildProcess *child) {
    HANDLE process = static_cast<HANDLE>(child->process);
    DWORD code = 0;
    bool ok = WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 &&
              GetExitCodeProcess(process, &code);
    CloseHandle(process);
    child->process = nullptr;
    return ok ? static_cast<int>(code) : -1;
}

static void EndWithoutCleanup() { ExitProcess(0); }
#else
extern char **environ;

bool ChildStart(ChildProcess *child, const std::vector<std::string> &args) {
    std::vector<char *> argv;
    std::string self = "/proc/self/exe";
    argv.push_back(self.data());
    std::vector<std::string> copies(args);
    for (std::string &arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    child->pid = pid;
    return true;
}

int ChildWait(ChildProcess *child) {
    int status = 0;
    if (waitpid(child->pid, &status, 0) != child->pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

static void EndWithoutCleanup() { _exit(0); }
#endif

int HoldMutexMain(const char *name, int milliseconds, bool abandon) {
    NamedMutex mutex = {};
    if (NamedMutexCreate(name, &mutex) != 0) return 2;
    if (NamedMutexLock(&mutex, 0xFFFFFFFF) != 0) return 3;
    ThreadSleep(static_cast<uint32_t>(milliseconds));
    // Ending while holding the lock is what the other process must see as abandoned.
    if (abandon) EndWithoutCleanup();
    if (NamedMutexUnlock(&mutex) != 0) return 4;
    NamedMutexDestroy(&mutex);
    return 0;
}
