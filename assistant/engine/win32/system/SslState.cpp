#include "assistant/engine/win32/system/SslState.h"

#include "common/win32/SystemLibrary.h"

#include <windows.h>

typedef BOOL(WINAPI *SslEmptyCacheAFn)(LPSTR, DWORD);
typedef BOOL(WINAPI *SslEmptyCacheWFn)(LPWSTR, DWORD);
typedef BOOL(WINAPI *IncrementUrlCacheHeaderDataFn)(DWORD, LPDWORD);

// The cache-header slot that tells the browser its SSL state changed.
static const DWORD kSslStateHeaderIndex = 14;

void CSslState::ClearSslState()
{
    HMODULE schannel = LoadSystemLibrary("SCHANNEL.DLL");
    if (!schannel)
        schannel = LoadSystemLibrary("SCHANNEL.DLL");
    bool emptied = false;
    if (schannel) {
        SslEmptyCacheAFn emptyA = reinterpret_cast<SslEmptyCacheAFn>(GetProcAddress(schannel, "SslEmptyCacheA"));
        if (emptyA) {
            emptyA(NULL, 0);
            emptied = true;
        } else {
            SslEmptyCacheWFn emptyW = reinterpret_cast<SslEmptyCacheWFn>(GetProcAddress(schannel, "SslEmptyCacheW"));
            if (emptyW) {
                emptyW(NULL, 0);
                emptied = true;
            }
        }
    }
    if (emptied) {
        HMODULE wininet = LoadSystemLibrary("WININET.DLL");
        if (wininet) {
            IncrementUrlCacheHeaderDataFn increment = reinterpret_cast<IncrementUrlCacheHeaderDataFn>(
                GetProcAddress(wininet, "IncrementUrlCacheHeaderData"));
            DWORD scratch = 0;
            if (increment)
                increment(kSslStateHeaderIndex, &scratch);
            FreeLibrary(wininet);
        }
    }
    if (schannel)
        FreeLibrary(schannel);
}
