// Stand-in for the first vendor's resident manager: holds its single-instance
// mutex for as long as it runs (end it with wineserver -k, or TerminateProcess).
// Once it holds it, it makes the file "manager.ready" in %TOKENSIM_DIR%
// (default C:\tokensim), which the scenarios wait for.
#include <windows.h>

#include <stdio.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HANDLE mutex = CreateMutexA(NULL, FALSE, "68EE4CE2-1407-4be1-AE5A-A376250F847DMgrSingleInstance");
    if (!mutex)
        return 1;
    char folder[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("TOKENSIM_DIR", folder, sizeof(folder));
    if (n == 0 || n >= sizeof(folder))
        snprintf(folder, sizeof(folder), "C:\\tokensim");
    char path[MAX_PATH + 16];
    snprintf(path, sizeof(path), "%s\\manager.ready", folder);
    HANDLE ready = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (ready != INVALID_HANDLE_VALUE)
        CloseHandle(ready);
    Sleep(INFINITE);
    return 0;
}
