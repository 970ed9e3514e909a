#include "assistant/host/dialog/CXUICustomOccManager.h"

#include "common/win32/Module.h"

#include <string>

const char kControlHostClass[] = "XUIControlHost";

static CXUICustomOccManager *g_manager = NULL;

CXUICustomControlSite *CXUICustomOccManager::CreateSite(HWND window)
{
    return new CXUICustomControlSite(window, m_external);
}

namespace {

bool ReadClassId(HWND window, CLSID *clsid)
{
    wchar_t text[64] = L"";
    if (GetWindowTextW(window, text, 64) <= 0)
        return false;
    return SUCCEEDED(CLSIDFromString(text, clsid));
}

LRESULT CALLBACK ControlHostProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CXUICustomControlSite *site = ControlSiteOf(window);
    switch (msg) {
    case WM_CREATE: {
        CLSID clsid;
        if (!g_manager || !ReadClassId(window, &clsid))
            return -1;
        site = g_manager->CreateSite(window);
        if (!site)
            return -1;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(site));
        // A control that cannot be made leaves an empty host; the dialog still opens.
        site->CreateControl(clsid);
        return 0;
    }
    case WM_SIZE:
        if (site)
            site->Resize();
        return 0;
    case WM_ERASEBKGND:
        return site && site->Control() ? 1 : DefWindowProcA(window, msg, wParam, lParam);
    case WM_DESTROY:
        if (site) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            site->DestroyControl();
            site->Release();
        }
        return 0;
    default:
        return DefWindowProcA(window, msg, wParam, lParam);
    }
}

}  // namespace

bool EnableControlContainer(CXUICustomOccManager *manager)
{
    g_manager = manager;
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(AppInstance(), kControlHostClass, &existing))
        return true;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ControlHostProc;
    wc.hInstance = AppInstance();
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kControlHostClass;
    return RegisterClassExA(&wc) != 0;
}

CXUICustomControlSite *ControlSiteOf(HWND hostWindow)
{
    if (!hostWindow)
        return NULL;
    char name[32] = "";
    GetClassNameA(hostWindow, name, sizeof(name));
    if (lstrcmpA(name, kControlHostClass) != 0)
        return NULL;
    return reinterpret_cast<CXUICustomControlSite *>(GetWindowLongPtrA(hostWindow, GWLP_USERDATA));
}
