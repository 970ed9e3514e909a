#include "assistant/engine/win32/system/CComonCheck.h"

#include "assistant/engine/system/UserRole.h"
#include "assistant/engine/win32/system/NetworkProbe.h"
#include "common/win32/SystemLibrary.h"
#include "common/win32/TextConversion.h"

#include <lm.h>
#include <tlhelp32.h>

#include <string.h>

typedef void(WINAPI *GetNativeSystemInfoFn)(LPSYSTEM_INFO);
typedef BOOL(WINAPI *GetProductInfoFn)(DWORD, DWORD, DWORD, DWORD, PDWORD);
typedef NET_API_STATUS(WINAPI *NetUserGetLocalGroupsFn)(LPCWSTR, LPCWSTR, DWORD, DWORD, LPBYTE *, DWORD, LPDWORD, LPDWORD);
typedef NET_API_STATUS(WINAPI *NetApiBufferFreeFn)(LPVOID);

CComonCheck::~CComonCheck()
{
    if (m_netApi)
        FreeLibrary(m_netApi);
}

OsVersionRecord CComonCheck::ReadVersionRecord()
{
    OsVersionRecord record;
    OSVERSIONINFOEXA info;
    memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&info))) {
        record.extended = true;
    } else {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA *>(&info)))
            return record;
    }
    record.valid = true;
    record.platformId = info.dwPlatformId;
    record.major = info.dwMajorVersion;
    record.minor = info.dwMinorVersion;
    record.build = info.dwBuildNumber;
    record.servicePack.assign(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof(info.szCSDVersion)));
    if (record.extended) {
        record.suiteMask = info.wSuiteMask;
        record.productType = info.wProductType;
    }

    SYSTEM_INFO system;
    memset(&system, 0, sizeof(system));
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    GetNativeSystemInfoFn native =
        kernel ? reinterpret_cast<GetNativeSystemInfoFn>(GetProcAddress(kernel, "GetNativeSystemInfo")) : NULL;
    if (native)
        native(&system);
    else
        GetSystemInfo(&system);
    record.architecture = system.wProcessorArchitecture;

    GetProductInfoFn productInfo =
        kernel ? reinterpret_cast<GetProductInfoFn>(GetProcAddress(kernel, "GetProductInfo")) : NULL;
    DWORD type = 0;
    if (productInfo && !productInfo(6, 0, 0, 0, &type))
        type = 0;
    record.productInfo = type;
    record.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;
    return record;
}

std::string CComonCheck::SystemDirectory()
{
    char path[MAX_PATH + 1];
    UINT n = GetSystemDirectoryA(path, sizeof(path));
    return (n > 0 && n < sizeof(path)) ? std::string(path, n) : std::string();
}

int CComonCheck::ProbeNetwork(const char *url)
{
    return ::ProbeNetwork(url);
}

bool CComonCheck::ShellUserName(std::string *user)
{
    // A failed snapshot is a finding of the check (no user), not a box on
    // the worker thread.
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    // The shell of this desktop's session: with fast user switching or a
    // terminal server each session has its own explorer.exe.
    DWORD ownSession = 0;
    bool sessionKnown = ProcessIdToSessionId(GetCurrentProcessId(), &ownSession) != 0;
    DWORD pid = 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "EXPLORER.EXE") != 0)
            continue;
        DWORD session = 0;
        if (!sessionKnown || (ProcessIdToSessionId(entry.th32ProcessID, &session) && session == ownSession)) {
            pid = entry.th32ProcessID;
            break;
        }
    }
    CloseHandle(snapshot);
    if (!pid)
        return false;

    bool found = false;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    HANDLE token = NULL;
    if (process && OpenProcessToken(process, TOKEN_QUERY, &token)) {
        DWORD needed = 0;
        GetTokenInformation(token, TokenUser, NULL, 0, &needed);
        std::vector<unsigned char> buffer(needed ? needed : 1);
        if (needed && GetTokenInformation(token, TokenUser, buffer.data(), needed, &needed)) {
            TOKEN_USER *tokenUser = reinterpret_cast<TOKEN_USER *>(buffer.data());
            char name[256];
            char domain[256];
            DWORD nameSize = sizeof(name);
            DWORD domainSize = sizeof(domain);
            SID_NAME_USE use;
            if (LookupAccountSidA(NULL, tokenUser->User.Sid, name, &nameSize, domain, &domainSize, &use)) {
                user->assign(name, strnlen(name, sizeof(name)));
                found = true;
            }
        }
        CloseHandle(token);
    }
    if (process)
        CloseHandle(process);
    return found;
}

bool CComonCheck::LocalGroups(const std::string &user, std::vector<std::string> *groups)
{
    NetUserGetLocalGroupsFn getGroups =
        reinterpret_cast<NetUserGetLocalGroupsFn>(GetProcAddress(m_netApi, "NetUserGetLocalGroups"));
    NetApiBufferFreeFn freeBuffer = reinterpret_cast<NetApiBufferFreeFn>(GetProcAddress(m_netApi, "NetApiBufferFree"));
    if (!getGroups)
        return false;
    std::wstring wideUser = AnsiToWideText(user);
    LPBYTE buffer = NULL;
    DWORD read = 0;
    DWORD total = 0;
    NET_API_STATUS status =
        getGroups(NULL, wideUser.c_str(), 0, LG_INCLUDE_INDIRECT, &buffer, MAX_PREFERRED_LENGTH, &read, &total);
    bool ok = status == NERR_Success;
    if (ok && buffer) {
        LOCALGROUP_USERS_INFO_0 *info = reinterpret_cast<LOCALGROUP_USERS_INFO_0 *>(buffer);
        for (DWORD i = 0; i < read; ++i)
            groups->push_back(WideToAnsiText(info[i].lgrui0_name));
    }
    if (buffer && freeBuffer)
        freeBuffer(buffer);
    return ok;
}

int CComonCheck::GetUserRole()
{
    OsVersionRecord record = ReadVersionRecord();
    if (!record.valid)
        return kRoleGuest;
    if (record.platformId != kPlatformNt)
        return 0;
    m_netApi = LoadSystemLibrary("NetApi32.dll");
    if (!m_netApi)
        return kRoleGuest;
    std::string user;
    std::vector<std::string> groups;
    bool read = ShellUserName(&user) && LocalGroups(user, &groups);
    FreeLibrary(m_netApi);
    m_netApi = NULL;
    return read ? RoleFromGroupText(PickRoleGroup(groups)) : kRoleGuest;
}
