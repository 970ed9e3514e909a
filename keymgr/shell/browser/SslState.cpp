#include "keymgr/shell/browser/SslState.h"

#include <windows.h>

namespace {

typedef BOOL(WINAPI *SslEmptyCacheWFn)(LPWSTR target, DWORD flags);
typedef BOOL(WINAPI *IncrementUrlCacheHeaderDataFn)(DWORD index, LPDWORD data);

// The header slot whose change makes WinINet drop its SSL sessions.
const DWORD kSslCacheHeaderIndex = 14;

} // namespace

unsigned EmptySslState(const char *schannel, const char *wininet)
{
    unsigned done = 0;
    HMODULE channel = schannel ? LoadLibraryA(schannel) : NULL;
    SslEmptyCacheWFn emptyCache =
        channel ? reinterpret_cast<SslEmptyCacheWFn>(GetProcAddress(channel, "SslEmptyCacheW")) : NULL;
    HMODULE inet = wininet ? LoadLibraryA(wininet) : NULL;
    IncrementUrlCacheHeaderDataFn increment =
        inet ? reinterpret_cast<IncrementUrlCacheHeaderDataFn>(GetProcAddress(inet, "IncrementUrlCacheHeaderData"))
             : NULL;
    if (emptyCache) {
        emptyCache(NULL, 0);
        done |= SSL_CLEARED_SCHANNEL;
    }
    if (increment) {
        DWORD out = 0;
        increment(kSslCacheHeaderIndex, &out);
        done |= SSL_CLEARED_WININET;
    }
    if (channel)
        FreeLibrary(channel);
    if (inet)
        FreeLibrary(inet);
    return done;
}
