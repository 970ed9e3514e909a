#include "assistant/host/log/LogFile.h"

#include "assistant/host/log/LogFormat.h"
#include "common/win32/ProgramPath.h"

bool CLogFile::Open(const std::string &path)
{
    Close();
    if (path.empty())
        return false;
    // Opened as what the name itself is (a reparse point is not followed),
    // kept if it exists and emptied only once it proves a plain file.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool plain = false;
    if (GetFileInformationByHandle(file, &info)) {
        LogFileFacts facts = {info.dwFileAttributes, info.nNumberOfLinks, GetFileType(file) == FILE_TYPE_DISK};
        plain = IsPlainLogFile(facts);
    }
    if (!plain || SetFilePointer(file, 0, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(file)) {
        CloseHandle(file);
        return false;
    }
    m_file = file;
    return true;
}

void CLogFile::Close()
{
    if (IsOpen()) {
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
}

void CLogFile::WriteLog(const char *text)
{
    if (!IsOpen())
        return;
    std::string entry = FormatLogEntry(text);
    SetFilePointer(m_file, 0, NULL, FILE_END);
    DWORD written = 0;
    WriteFile(m_file, entry.data(), static_cast<DWORD>(entry.size()), &written, NULL);
    FlushFileBuffers(m_file);
}

void CLogFile::Empty()
{
    if (!IsOpen())
        return;
    SetFilePointer(m_file, 0, NULL, FILE_BEGIN);
    SetEndOfFile(m_file);
}

std::string ProgramLogPath()
{
    std::string path = ProgramPath();
    if (path.empty())
        return std::string();
    return LogPathFromProgramPath(path);
}
