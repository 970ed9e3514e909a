// DLLs planted beside the engine (as in a Downloads folder) are never loaded
// in place of the system's SCHANNEL.DLL and NetApi32.dll.
#include "common/win32/SystemLibrary.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

namespace {

std::string Folder(const std::string &path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string ThisProgram()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    return n && n < MAX_PATH ? std::string(path, n) : std::string();
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs the command line in folder and waits (at most two minutes).
DWORD RunIn(const std::string &folder, std::string commandLine)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, folder.c_str(), &si, &pi))
        return GetLastError();
    DWORD wait = WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = wait == WAIT_OBJECT_0 ? 0 : WAIT_TIMEOUT;
    if (wait != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

TEST(DllSearch, LibrariesBesideTheEngineAreNotLoaded)
{
    const char *given = getenv("WINTEST_BIN_DIR");
    std::string bin = given ? std::string(given) : Folder(Folder(ThisProgram())) + "\\bin";
    std::string probe = bin + "\\planted_probe.dll";
    ASSERT_TRUE(Exists(probe)) << probe;
    char temp[MAX_PATH];
    ASSERT_TRUE(GetTempPathA(MAX_PATH, temp));
    std::string folder = std::string(temp) + "planted-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), NULL);
    const char *planted[] = {"SCHANNEL.DLL", "NetApi32.dll"};
    for (const char *name : planted) {
        std::string target = folder + "\\" + name;
        DeleteFileA((target + ".loaded").c_str());
        ASSERT_TRUE(CopyFileA(probe.c_str(), target.c_str(), FALSE)) << name;
    }
    std::string engine = folder + "\\engine-run.exe";
    ASSERT_TRUE(CopyFileA((bin + "\\engine-run.exe").c_str(), engine.c_str(), FALSE));

    // The system check clears the SSL state and reads the user's groups.
    SetEnvironmentVariableA("ORVANE_PROBE_URL", "http://127.0.0.1:9/");
    EXPECT_EQ(0u, RunIn(folder, "\"" + engine + "\" 3 NX 1"));
    for (const char *name : planted)
        EXPECT_FALSE(Exists(folder + "\\" + name + ".loaded")) << name << " was loaded from the program's folder";

    // The probe does mark a load, and the system copies are what the
    // engine's loader gives.
    HMODULE direct = LoadLibraryA((folder + "\\SCHANNEL.DLL").c_str());
    ASSERT_TRUE(direct);
    FreeLibrary(direct);
    EXPECT_TRUE(Exists(folder + "\\SCHANNEL.DLL.loaded"));
    HMODULE system = LoadSystemLibrary("NetApi32.dll");
    ASSERT_TRUE(system);
    char loaded[MAX_PATH] = "";
    GetModuleFileNameA(system, loaded, MAX_PATH);
    char systemFolder[MAX_PATH] = "";
    GetSystemDirectoryA(systemFolder, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiA(Folder(loaded).c_str(), systemFolder)) << loaded;
    FreeLibrary(system);
    EXPECT_FALSE(LoadSystemLibrary("..\\NetApi32.dll"));

    for (const char *name : planted) {
        DeleteFileA((folder + "\\" + name).c_str());
        DeleteFileA((folder + "\\" + name + ".loaded").c_str());
    }
    DeleteFileA(engine.c_str());
    DeleteFileA((folder + "\\engine-run.log").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
