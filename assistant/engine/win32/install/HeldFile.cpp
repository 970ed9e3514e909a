#include "assistant/engine/win32/install/HeldFile.h"

#include "assistant/engine/update/InstallerEnvironment.h"
#include "assistant/engine/version/PackageVersion.h"
#include "assistant/engine/win32/install/SignatureGate.h"
#include "assistant/engine/win32/install/WorkFolder.h"

namespace {
// Read access, sharing read only: fails while anyone else may write or
// delete the file, and keeps them from doing so while it is open.
HANDLE OpenHold(const std::string &path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

bool WriteAll(HANDLE file, const void *bytes, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, bytes, size, &written, NULL) && written == size;
}

std::string ProgramFilesFolder()
{
    char text[MAX_PATH] = {0};
    DWORD size = sizeof(text) - 1, type = 0;
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return std::string();
    LONG rc = RegQueryValueExA(key, "ProgramFilesDir", NULL, &type, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? std::string(text) : std::string();
}

// From the system and the machine's registry, never from this process's
// own environment.
std::string EnvironmentFor(const std::string &folder)
{
    char windows[MAX_PATH], system[MAX_PATH];
    UINT w = GetSystemWindowsDirectoryA(windows, sizeof(windows));
    UINT s = GetSystemDirectoryA(system, sizeof(system));
    if (w == 0 || w >= sizeof(windows) || s == 0 || s >= sizeof(system))
        return std::string();
    return InstallerEnvironment(InstallerFolders{windows, system, ProgramFilesFolder(), CommonDataFolder(), folder});
}
}  // namespace

CHeldFile::~CHeldFile()
{
    Release();
}

void CHeldFile::Release()
{
    if (m_hold != INVALID_HANDLE_VALUE)
        CloseHandle(m_hold);
    m_hold = INVALID_HANDLE_VALUE;
}

std::unique_ptr<CHeldFile> CHeldFile::WriteNew(const std::string &path, const void *bytes, DWORD size,
                                               const std::string &signerPin)
{
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (writer == INVALID_HANDLE_VALUE)
        return nullptr;
    if (!WriteAll(writer, bytes, size)) {
        CloseHandle(writer);
        DeleteFileA(path.c_str());
        return nullptr;
    }
    // A process cannot start from a file open for writing, and a handle
    // cannot give up its write access: a second handle that lets the writer
    // be keeps delete denied while the writer closes, then the hold opens
    // (it fails if anyone else got write access meanwhile).
    HANDLE bridge = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    CloseHandle(writer);
    if (bridge == INVALID_HANDLE_VALUE)
        return nullptr;
    HANDLE hold = OpenHold(path);
    CloseHandle(bridge);
    if (hold == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::unique_ptr<CHeldFile>(new CHeldFile(path, hold, signerPin));
}

std::unique_ptr<CHeldFile> CHeldFile::Open(const std::string &path, const std::string &signerPin)
{
    HANDLE hold = OpenHold(path);
    if (hold == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::unique_ptr<CHeldFile>(new CHeldFile(path, hold, signerPin));
}

bool CHeldFile::IsTrustedSigned()
{
    return m_hold != INVALID_HANDLE_VALUE && IsSignedByPinnedSigner(m_hold, m_path, m_pin);
}

bool CHeldFile::ReadFileVersion(uint16_t (&version)[4])
{
    // Through the held handle: the bytes whose signature was checked.
    LARGE_INTEGER size;
    if (m_hold == INVALID_HANDLE_VALUE || !GetFileSizeEx(m_hold, &size) || size.QuadPart <= 0 ||
        size.QuadPart > 0x7FFFFFFF)
        return false;
    HANDLE mapping = CreateFileMappingA(m_hold, NULL, PAGE_READONLY, 0, 0, NULL);
    if (!mapping)
        return false;
    const void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    bool found = view && ReadPackageFileVersion(static_cast<const unsigned char *>(view),
                                                static_cast<size_t>(size.QuadPart), version);
    if (view)
        UnmapViewOfFile(view);
    CloseHandle(mapping);
    return found;
}

ProcessOutcome CHeldFile::RunAndWait()
{
    ProcessOutcome outcome;
    if (m_hold == INVALID_HANDLE_VALUE)
        return outcome;
    size_t slash = m_path.rfind('\\');
    std::string folder = slash == std::string::npos ? std::string() : m_path.substr(0, slash + 1);
    std::string environment = folder.empty() ? std::string() : EnvironmentFor(folder);
    if (environment.empty()) {
        Release();
        return outcome;
    }
    if (m_seam)
        m_seam(m_path);
    // The program is named on its own and quoted on the command line, so a
    // space in the folder cannot make another program run.
    std::string buffer = "\"" + m_path + "\"";
    buffer.push_back('\0');
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(m_path.c_str(), &buffer[0], NULL, NULL, FALSE, 0, &environment[0], folder.c_str(),
                                  &startup, &process);
    // Once the process exists its image is mapped: the file can be let go.
    Release();
    if (!started)
        return outcome;
    outcome.started = true;
    // An installer takes as long as it takes; the worker is off the window
    // thread, so the dialog stays responsive meanwhile.
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) {
        outcome.exitKnown = true;
        outcome.exitCode = code;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
}
