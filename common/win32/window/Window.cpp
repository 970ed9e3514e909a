#include "common/win32/window/Window.h"

#include "common/win32/Module.h"

bool CWindow::RegisterWindowClass(WNDCLASSEXA wc)
{
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(wc.hInstance, wc.lpszClassName, &existing))
        return true;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = StaticWndProc;
    return RegisterClassExA(&wc) != 0;
}

bool CWindow::CreateEx(DWORD exStyle, const char *className, const char *title, DWORD style, int x, int y,
                       int width, int height, HWND parent, HMENU menu)
{
    HWND h = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                             AppInstance(), this);
    return h != NULL;
}

BOOL CWindow::Destroy()
{
    return m_hWnd ? DestroyWindow(m_hWnd) : FALSE;
}

LRESULT CWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK CWindow::StaticWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWindow *self = reinterpret_cast<CWindow *>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        CREATESTRUCTA *cs = reinterpret_cast<CREATESTRUCTA *>(lParam);
        self = static_cast<CWindow *>(cs->lpCreateParams);
        if (self) {
            self->m_hWnd = hWnd;
            SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self)
        return DefWindowProcA(hWnd, msg, wParam, lParam);
    // An exception (an allocation that failed) must not unwind through the
    // system's code: the message gets the default handling instead.
    LRESULT result;
    try {
        result = self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        result = DefWindowProcA(hWnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        self->m_hWnd = NULL;
        self->OnFinalMessage();
    }
    return result;
}

INT_PTR CDialog::DoModal(HWND parent)
{
    HWND owner = parent;
    while (owner && (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD))
        owner = GetParent(owner);
    bool reenable = owner && IsWindowEnabled(owner);
    if (reenable)
        EnableWindow(owner, FALSE);
    m_modal = true;
    m_ended = false;
    m_result = 0;
    HWND dialog = m_wideText ? CreateDialogParamW(AppInstance(), MAKEINTRESOURCEW(m_templateId), owner, StaticDlgProc,
                                                  reinterpret_cast<LPARAM>(this))
                             : CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(m_templateId), owner, StaticDlgProc,
                                                  reinterpret_cast<LPARAM>(this));
    if (!dialog) {
        m_modal = false;
        if (reenable)
            EnableWindow(owner, TRUE);
        return -1;
    }
    if (!m_ended && !IsWindowVisible(dialog)) {
        ShowWindow(dialog, SW_SHOWNORMAL);
        UpdateWindow(dialog);
    }
    MSG msg;
    while (!m_ended && IsWindow(dialog)) {
        BOOL got = m_wideText ? GetMessageW(&msg, NULL, 0, 0) : GetMessageA(&msg, NULL, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        if (got == -1)
            break;
        if (PreTranslateMessage(msg) || (m_wideText ? IsDialogMessageW(dialog, &msg) : IsDialogMessageA(dialog, &msg)))
            continue;
        TranslateMessage(&msg);
        if (m_wideText)
            DispatchMessageW(&msg);
        else
            DispatchMessageA(&msg);
    }
    m_modal = false;
    // The owner comes back before the dialog goes, so it gets the activation.
    if (reenable)
        EnableWindow(owner, TRUE);
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    return m_result;
}

BOOL CDialog::EndDialog(HWND hWnd, INT_PTR result)
{
    if (!m_modal || hWnd != m_hWnd)
        return ::EndDialog(hWnd, result);
    m_result = result;
    m_ended = true;
    ShowWindow(hWnd, SW_HIDE);
    PostMessageA(hWnd, WM_NULL, 0, 0);  // wakes the loop
    return TRUE;
}

HWND CDialog::CreateModeless(HWND parent)
{
    return CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(m_templateId), parent, StaticDlgProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialog::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(m_hWnd, LOWORD(wParam));
        return TRUE;
    }
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CDialog *created = msg == WM_INITDIALOG ? reinterpret_cast<CDialog *>(lParam) : NULL;
    return Forward(hWnd, msg, wParam, lParam, created);
}
