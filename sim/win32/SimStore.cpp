#include "sim/win32/SimStore.h"

#include "sim/core/StateFile.h"

#include <stdio.h>

SimStore &SimStore::Instance()
{
    static SimStore store;
    return store;
}

std::string SimStore::Folder()
{
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("TOKENSIM_DIR", buf, sizeof buf);
    std::string f = (n > 0 && n < sizeof buf) ? std::string(buf, n) : std::string("C:\\tokensim");
    while (f.size() > 3 && (f.back() == '\\' || f.back() == '/'))
        f.pop_back();
    return f;
}

FileStamp SimStore::Stamp(const std::string &path)
{
    FileStamp s;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        s.exists = true;
        s.written = data.ftLastWriteTime;
        s.size = ((uint64_t)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    }
    return s;
}

int64_t SimStore::Now()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    uint64_t t = ((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return (int64_t)(t / 10000000ull) - 11644473600ll;
}

// Mutex names cannot hold backslashes: keep letters and digits of the folder.
static std::string MutexName(const std::string &folder)
{
    std::string name = "tokensim_state_";
    for (char c : folder) {
        if (name.size() >= 200)
            break;
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            name += c;
        else if (c >= 'A' && c <= 'Z')
            name += (char)(c - 'A' + 'a');
        else
            name += '_';
    }
    return name;
}

SimStore::Lock::Lock() : mutex_(CreateMutexA(NULL, FALSE, MutexName(Folder()).c_str())), owned_(false)
{
    if (mutex_) {
        DWORD w = WaitForSingleObject(mutex_, 10000);
        owned_ = (w == WAIT_OBJECT_0 || w == WAIT_ABANDONED);
    }
}

SimStore::Lock::~Lock()
{
    if (mutex_) {
        if (owned_)
            ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
}

bool ReadWholeFile(const std::string &path, std::string *out, size_t limit)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    out->clear();
    char buf[65536];
    DWORD got = 0;
    while (out->size() < limit && ReadFile(f, buf, sizeof buf, &got, NULL) && got > 0)
        out->append(buf, got);
    CloseHandle(f);
    if (out->size() > limit)
        out->resize(limit);
    return true;
}

bool CreateFolderTree(const std::string &path)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    size_t cut = path.find_last_of("\\/");
    if (cut != std::string::npos && cut > 2)
        CreateFolderTree(path.substr(0, cut));
    return CreateDirectoryA(path.c_str(), NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string ModuleFolder(HMODULE module)
{
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, buf, sizeof buf);
    if (n == 0 || n >= sizeof buf)
        return ".";
    std::string p(buf, n);
    size_t cut = p.find_last_of('\\');
    return cut == std::string::npos ? "." : p.substr(0, cut);
}

SimState &SimStore::Current()
{
    std::string folder = Folder();
    std::string path = folder + "\\state.ini";
    FileStamp now = Stamp(path);
    if (loaded_ && folder == folder_ && now == stamp_)
        return state_;
    std::string text;
    if (now.exists && !ReadWholeFile(path, &text, 16 * 1024 * 1024)) {
        state_ = ParseStateText("", Now());
        state_.warnings.push_back("state.ini exists but cannot be opened: defaults used");
    } else {
        state_ = ParseStateText(text, Now());
        if (now.exists && text.empty())
            state_.warnings.push_back("state.ini is empty: defaults used");
    }
    folder_ = folder;
    stamp_ = now;
    loaded_ = true;
    return state_;
}

bool SimStore::Save(const SimState &state)
{
    std::string folder = Folder();
    CreateFolderTree(folder);
    std::string path = folder + "\\state.ini";
    char tmp[64];
    snprintf(tmp, sizeof tmp, "\\state.ini.%lu.tmp", (unsigned long)GetCurrentProcessId());
    std::string tmpPath = folder + tmp;
    std::string text = WriteStateText(state);
    HANDLE f = CreateFileA(tmpPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    BOOL ok = WriteFile(f, text.data(), (DWORD)text.size(), &put, NULL) && put == text.size();
    CloseHandle(f);
    if (!ok || !MoveFileExA(tmpPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(tmpPath.c_str());
        return false;
    }
    state_ = state;
    state_.warnings.clear();
    folder_ = folder;
    stamp_ = Stamp(path);
    loaded_ = true;
    return true;
}

void SimStore::AppendLog(const std::string &text)
{
    std::string folder = Folder();
    HANDLE f = CreateFileA((folder + "\\calls.log").c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) {
        CreateFolderTree(folder);
        f = CreateFileA((folder + "\\calls.log").c_str(), FILE_APPEND_DATA,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, NULL);
        if (f == INVALID_HANDLE_VALUE)
            return;
    }
    DWORD put;
    WriteFile(f, text.data(), (DWORD)text.size(), &put, NULL);
    CloseHandle(f);
}

bool SimStore::ClearLog()
{
    std::string folder = Folder();
    CreateFolderTree(folder);
    HANDLE f = CreateFileA((folder + "\\calls.log").c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(f);
    return true;
}

static HMODULE ThisModule()
{
    HMODULE m = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&ThisModule, &m);
    return m;
}

bool SimStore::LangLookup(const char *section, const char *key, std::string *out)
{
    std::string path = Folder() + "\\lang.ini";
    FileStamp stamp = Stamp(path);
    if (!stamp.exists) {
        path = ModuleFolder(ThisModule()) + "\\lang.ini";
        stamp = Stamp(path);
    }
    if (path != langPath_ || stamp != langStamp_) {
        std::string text;
        if (!stamp.exists || !ReadWholeFile(path, &text, 4 * 1024 * 1024))
            text.clear();
        lang_.Parse(text);
        langPath_ = path;
        langStamp_ = stamp;
    }
    const std::string *t = (section && key) ? lang_.Find(section, key) : NULL;
    if (!t)
        return false;
    *out = *t;
    return true;
}
