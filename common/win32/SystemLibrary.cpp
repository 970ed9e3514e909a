#include "common/win32/SystemLibrary.h"

#include <delayimp.h>
#include <string.h>

HMODULE LoadSystemLibrary(const char *name)
{
    if (!name || !*name || strchr(name, '\\') || strchr(name, '/'))
        return NULL;
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    size_t length = strlen(name);
    if (n == 0 || n >= MAX_PATH || n + 1 + length >= MAX_PATH)
        return NULL;
    path[n] = '\\';
    memcpy(path + n + 1, name, length + 1);
    return LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool RestrictDllSearchToSystem32()
{
    static bool restricted = false;
    if (restricted)
        return true;
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC found = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : NULL;
    SetDefaultDllDirectoriesFn restrict =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void *>(found));
    // LOAD_LIBRARY_SEARCH_SYSTEM32; older headers may lack the name.
    const DWORD kSearchSystem32 = 0x00000800;
    if (restrict && restrict(kSearchSystem32))
        return restricted = true;
    // Without it, at least take the current folder out of the search.
    SetDllDirectoryA("");
    return false;
}

// The delay-load helper asks here first. Whenever the first call comes (even
// from a static constructor before WinMain), the search is restricted before
// the DLL is looked for: by name then (the side-by-side assembly of the
// manifest still applies, the program's folder does not), else by full path.
static FARPROC WINAPI LoadDelayedFromSystem(unsigned notice, PDelayLoadInfo info)
{
    if (notice != dliNotePreLoadLibrary || !info || !info->szDll)
        return NULL;
    HMODULE module = RestrictDllSearchToSystem32() ? LoadLibraryA(info->szDll) : LoadSystemLibrary(info->szDll);
    return reinterpret_cast<FARPROC>(module);
}

ExternC PfnDliHook __pfnDliNotifyHook2 = LoadDelayedFromSystem;

