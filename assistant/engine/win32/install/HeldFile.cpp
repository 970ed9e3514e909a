#include "assistant/engine/win32/install/HeldFile.h"

#include "assistant/engine/win32/install/SignatureGate.h"

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

ProcessOutcome CHeldFile::RunAndWait()
{
    ProcessOutcome outcome;
    if (m_hold == INVALID_HANDLE_VALUE)
        return outcome;
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
    BOOL started = CreateProcessA(m_path.c_str(), &buffer[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
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
