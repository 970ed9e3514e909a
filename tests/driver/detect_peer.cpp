// detect_peer: another detection tool of the same family, as the assistant
// sees it: it takes only the shared detect-tools mutex and, finding it
// taken, broadcasts the activation message and ends. Exit code 0 when it
// broadcast, 1 when it was the first holder (it then holds the mutex for
// the milliseconds given as its argument, default 0).
#include <windows.h>

#include <stdlib.h>

int main(int argc, char **argv)
{
    UINT message = RegisterWindowMessageA("nx_Peloria_detect_tools_single_instance_msgid");
    HANDLE mutex = CreateMutexA(NULL, FALSE, "nx_Peloria_detect_tools_single_instance");
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        PostMessageA(HWND_BROADCAST, message, 0, 0);
        return 0;
    }
    Sleep(argc > 1 ? static_cast<DWORD>(atoi(argv[1])) : 0);
    if (mutex)
        CloseHandle(mutex);
    return 1;
}
