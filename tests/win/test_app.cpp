// Start-up pieces: the rich-edit class after loading the library, the search for the program's
// own module by its name prefix, and a real run of Morbivue.exe that ends with exit code 0.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <string>
#include <vector>

#include "foundation/mem.h"
#include "ui/app.h"
#include "ui_test_support.h"

namespace {

std::string OwnPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string Folder(const std::string &path) {
    return path.substr(0, path.find_last_of("\\/") + 1);
}

// Copies this test program under another name next to the temporary folder and maps it as a
// module of this process, so its base name shows up in the module list.
HMODULE LoadCopyNamed(const char *name, std::string *pathOut) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + name;
    if (!CopyFileA(OwnPath().c_str(), path.c_str(), FALSE))
        return nullptr;
    *pathOut = path;
    return LoadLibraryA(path.c_str());
}

TEST(AppStartTest, RichEdit20ClassIsRegistered) {
    EXPECT_EQ(AppLoadRichEdit(), 0);
    WNDCLASSA wc;
    EXPECT_TRUE(GetClassInfoA(nullptr, "RichEdit20A", &wc));
}

TEST(AppStartTest, TestProgramUnderItsOwnNameIsNotFound) {
    AppContext app = {};
    EXPECT_EQ(FindOwnModule(&app), 0);
    EXPECT_EQ(app.moduleBaseName, nullptr);
    EXPECT_EQ(app.modulePath, nullptr);
}

TEST(AppStartTest, PrefixMatchesInAnyCaseAndTheLastMatchWins) {
    std::string upperPath, lowerPath;
    HMODULE upper = LoadCopyNamed("MORBIVUE_first.dll", &upperPath);
    HMODULE lower = LoadCopyNamed("morbivue_second.dll", &lowerPath);
    if (!upper || !lower)
        GTEST_SKIP() << "this system does not map a program copy as a module";
    AppContext app = {};
    EXPECT_EQ(FindOwnModule(&app), 0);
    ASSERT_NE(app.moduleBaseName, nullptr);
    ASSERT_NE(app.modulePath, nullptr);
    EXPECT_STRCASEEQ(app.moduleBaseName, "morbivue_second.dll");
    EXPECT_NE(std::string(app.modulePath).find("morbivue_second.dll"), std::string::npos)
        << app.modulePath;
    // Only the modules offered are examined.
    AppContext firstOnly = {};
    HANDLE process = GetCurrentProcess();
    FindOwnModuleIn(&firstOnly, process, &upper, 1);
    ASSERT_NE(firstOnly.moduleBaseName, nullptr);
    EXPECT_STRCASEEQ(firstOnly.moduleBaseName, "MORBIVUE_first.dll");
    MemStrFree(app.moduleBaseName);
    MemStrFree(app.modulePath);
    MemStrFree(firstOnly.moduleBaseName);
    MemStrFree(firstOnly.modulePath);
    FreeLibrary(upper);
    FreeLibrary(lower);
    DeleteFileA(upperPath.c_str());
    DeleteFileA(lowerPath.c_str());
}

TEST(AppStartTest, ShortBaseNamesDoNotMatch) {
    std::string path;
    HMODULE shortName = LoadCopyNamed("morbi.dll", &path);
    if (!shortName)
        GTEST_SKIP() << "this system does not map a program copy as a module";
    AppContext app = {};
    FindOwnModuleIn(&app, GetCurrentProcess(), &shortName, 1);
    EXPECT_EQ(app.moduleBaseName, nullptr);
    FreeLibrary(shortName);
    DeleteFileA(path.c_str());
}

TEST(AppStartTest, ContextFreeReleasesBothNames) {
    int32_t live = TracerLiveBlocks();
    AppContext *app = (AppContext *)MemAlloc(sizeof(AppContext));
    app->moduleBaseName = MemStrDup("Morbivue.exe");
    app->modulePath = MemStrDup("C:\\Morbivue.exe");
    AppContextFree(app);
    AppContextFree(nullptr);
    EXPECT_EQ(TracerLiveBlocks(), live);
}

// The real program, started as a user would, closed through its window: exit code 0.
TEST(ProgramRunTest, ClosingTheWindowEndsWithExitCodeZero) {
    std::string exe = Folder(OwnPath()) + "..\\ui\\Morbivue.exe";
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "Morbivue.exe not built next to the tests";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi));
    HWND window = nullptr;
    for (int i = 0; i < 3000 && !window; i++) {
        // Our own test windows use the same class name; only another process's counts.
        HWND found = FindWindowA("TextRecordViewerClass", "Morbivue");
        DWORD pid = 0;
        if (found)
            GetWindowThreadProcessId(found, &pid);
        if (pid == pi.dwProcessId)
            window = found;
        else
            Sleep(10);
    }
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace
