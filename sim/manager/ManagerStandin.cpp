// Stand-in for the first vendor's resident manager: holds its single-instance
// mutex for as long as it runs (end it with wineserver -k, or TerminateProcess).
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HANDLE mutex = CreateMutexA(NULL, FALSE, "68EE4CE2-1407-4be1-AE5A-A376250F847DMgrSingleInstance");
    if (!mutex)
        return 1;
    Sleep(INFINITE);
    return 0;
}
