#include "assistant/engine/win32/CspTokenAccess.h"

#include <windows.h>
#include <wincrypt.h>

// A CSP that never ends its list must not hold the check for ever.
static const int kMaxContainers = 256;

uint32_t CCspTokenAccess::AcquireContext(const char *cspName)
{
    HCRYPTPROV prov = 0;
    if (CryptAcquireContextA(&prov, NULL, cspName, PROV_RSA_FULL, 0)) {
        CryptReleaseContext(prov, 0);
        return 0;
    }
    DWORD error = GetLastError();
    return error ? error : static_cast<uint32_t>(NTE_FAIL);
}

int CCspTokenAccess::CountContainers(const char *cspName)
{
    HCRYPTPROV prov = 0;
    if (!CryptAcquireContextA(&prov, NULL, cspName, PROV_RSA_FULL, 0))
        return -1;
    int count = 0;
    DWORD flags = CRYPT_FIRST;
    for (int i = 0; i < kMaxContainers; ++i) {
        char name[1024] = {0};
        DWORD size = sizeof(name) - 1;
        if (!CryptGetProvParam(prov, PP_ENUMCONTAINERS, reinterpret_cast<BYTE *>(name), &size, flags))
            break;
        flags = CRYPT_NEXT;
        if (size > 0 && name[0])
            ++count;
    }
    CryptReleaseContext(prov, 0);
    return count;
}

bool CCspTokenAccess::OpenNamedMutex(const char *name, uint32_t *lastError)
{
    HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
    if (!mutex) {
        if (lastError)
            *lastError = GetLastError();
        return false;
    }
    CloseHandle(mutex);
    return true;
}
