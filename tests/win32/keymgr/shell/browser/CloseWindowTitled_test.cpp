// The frame's PIN-window timer asks a window of another program to close;
// a window whose thread does not answer must not hold the frame up.
#include "keymgr/shell/services/FrameServices.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const char kTitle[] = "Hung PIN window 5f2c";
LONG g_closes = 0;
HANDLE g_created = NULL, g_release = NULL;

LRESULT CALLBACK CountingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CLOSE) {
        InterlockedIncrement(&g_closes);
        return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

// Owns the window but answers nothing until released, like a hung program.
DWORD WINAPI HungWindowThread(void *)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "HungPinWindow";
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, wc.lpszClassName, kTitle, WS_POPUP, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
    SetEvent(g_created);
    WaitForSingleObject(g_release, 20000);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    DestroyWindow(h);
    return 0;
}

DWORD WINAPI RequestClose(void *)
{
    return RequestCloseWindowTitled(kTitle) ? 0 : 1;
}

} // namespace

TEST(CloseWindowTitled, HungWindowDoesNotBlockAndStillGetsItsClose)
{
    g_created = CreateEventA(NULL, TRUE, FALSE, NULL);
    g_release = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE owner = CreateThread(NULL, 0, HungWindowThread, NULL, 0, NULL);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_created, 5000));

    HANDLE caller = CreateThread(NULL, 0, RequestClose, NULL, 0, NULL);
    DWORD waited = WaitForSingleObject(caller, 3000);
    EXPECT_EQ(WAIT_OBJECT_0, waited) << "the request waited for the hung window";
    SetEvent(g_release);
    WaitForSingleObject(caller, 20000);
    DWORD code = 1;
    GetExitCodeThread(caller, &code);
    EXPECT_EQ(0u, code);
    WaitForSingleObject(owner, 20000);
    EXPECT_EQ(1, g_closes);
    EXPECT_FALSE(RequestCloseWindowTitled("no window has this title 5f2c"));
    CloseHandle(caller);
    CloseHandle(owner);
}
