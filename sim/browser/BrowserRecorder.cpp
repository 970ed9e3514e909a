// Stands in for the web browser in the test prefix: records how it was
// started, then stays running (as a browser would) until told to close.
//
// Each start appends "<pid>\t<command line>" to %TOKENSIM_DIR%\browser.log
// (default C:\tokensim). The process ends when a file "browser.quit" appears
// in that folder (one recorder takes it and deletes it) or on WM_CLOSE /
// WM_QUIT to its window, whose title is its command line.
#include <windows.h>

#include <stdio.h>
#include <string.h>

static void StateFolder(char *out, size_t size)
{
    DWORD n = GetEnvironmentVariableA("TOKENSIM_DIR", out, (DWORD)size);
    if (n == 0 || n >= size)
        snprintf(out, size, "C:\\tokensim");
}

static void Record(const char *folder, const char *commandLine)
{
    char path[MAX_PATH];
    snprintf(path, sizeof(path), "%s\\browser.log", folder);
    HANDLE mutex = CreateMutexA(NULL, FALSE, "tokensim_browser_log");
    if (mutex)
        WaitForSingleObject(mutex, 5000);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        char line[4096];
        int n = snprintf(line, sizeof(line), "%lu\t%s\n", (unsigned long)GetCurrentProcessId(), commandLine);
        if (n > (int)sizeof(line) - 1)
            n = (int)sizeof(line) - 1;
        DWORD written = 0;
        WriteFile(file, line, (DWORD)n, &written, NULL);
        CloseHandle(file);
    }
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}

static LRESULT CALLBACK RecorderProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    char folder[MAX_PATH];
    StateFolder(folder, sizeof(folder));
    const char *commandLine = GetCommandLineA();
    Record(folder, commandLine);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecorderProc;
    wc.hInstance = instance;
    wc.lpszClassName = "TokensimBrowser";
    RegisterClassA(&wc);
    CreateWindowA("TokensimBrowser", commandLine, WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, instance, NULL);

    char quit[MAX_PATH];
    snprintf(quit, sizeof(quit), "%s\\browser.quit", folder);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return 0;
            DispatchMessageA(&msg);
        }
        if (DeleteFileA(quit))
            return 0;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 100, QS_ALLINPUT);
    }
}
