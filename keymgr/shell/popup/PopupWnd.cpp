#include "keymgr/shell/popup/PopupWnd.h"

#include "common/BoundedCopy.h"
#include "common/win32/Module.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/resource.h"

#include <stdio.h>
#include <string.h>

#include "keymgr/shell/DebugTrace.h"

namespace {

CPopupWnd *g_instance = NULL;

// The steps of Show, for the debug trace.
void PopupTrace(const char *text)
{
    DebugTrace("%s", text);
}

void WorkAreaCorner(int *right, int *bottom)
{
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        work.right = GetSystemMetrics(SM_CXSCREEN);
        work.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
    *right = work.right;
    *bottom = work.bottom;
}

} // namespace

CPopupWnd &CPopupWnd::Instance()
{
    if (!g_instance)
        g_instance = new CPopupWnd();
    return *g_instance;
}

bool CPopupWnd::Exists()
{
    return g_instance != NULL;
}

CPopupWnd::CPopupWnd() : m_background(NULL), m_bitmapWidth(0), m_bitmapHeight(0), m_font(NULL)
{
    m_body[0] = '\0';
    m_background = (HBITMAP)LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDB_POPUP_BACKGROUND), IMAGE_BITMAP, 0, 0,
                                       LR_DEFAULTCOLOR);
    BITMAP info;
    if (m_background && GetObjectA(m_background, sizeof(info), &info)) {
        m_bitmapWidth = info.bmWidth;
        m_bitmapHeight = info.bmHeight;
    }
    char hint[64];
    LoadText("MsnWnd", "IDS_HINT", hint, sizeof(hint));
    snprintf(m_heading, sizeof(m_heading), "%s %s", HWName, hint);

    HDC screen = GetDC(NULL);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(NULL, screen);
    m_font = CreateFontA(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
}

CPopupWnd::~CPopupWnd()
{
    Destroy();
    if (m_background)
        DeleteObject(m_background);
    if (m_font)
        DeleteObject(m_font);
}

bool CPopupWnd::Show(const char *text)
{
    if (m_motion.CurrentTimer() != POPUP_TIMER_NONE && m_hWnd) {
        PopupTrace(KillTimer(m_hWnd, m_motion.CurrentTimer()) ? "KillTimer Success." : "KillTimer Fails.");
    }
    m_motion.Reset();
    if (m_hWnd) {
        PopupTrace("FindWindow() success.");
        if (DestroyWindow(m_hWnd))
            PopupTrace("DestroyWindow() success.");
    } else {
        PopupTrace("FindWindow() fails.");
    }

    WNDCLASSEXA wc = {};
    wc.style = CS_HREDRAW;
    wc.hInstance = AppInstance();
    wc.hCursor = LoadCursorA(AppInstance(), MAKEINTRESOURCEA(IDC_POPUP_HAND));
    wc.lpszClassName = ClassName();
    if (!RegisterWindowClass(wc))
        return false;
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, ClassName(), PopupTitle, WS_POPUP, 0, 0, 0, 0, NULL, NULL))
        return false;

    if (PopupBodyFits(text))
        CopyBounded(m_body, sizeof(m_body), text);
    Apply(m_motion.Start());
    return true;
}

void CPopupWnd::Apply(const PopupAction &action)
{
    if (!m_hWnd)
        return;
    // The motion has already forgotten the old timer; stop both kinds that
    // could be running rather than track which one it was.
    if (action.stopTimer) {
        KillTimer(m_hWnd, POPUP_TIMER_RISE);
        KillTimer(m_hWnd, POPUP_TIMER_SINK);
        KillTimer(m_hWnd, POPUP_TIMER_HOLD);
    }
    if (action.startTimer != POPUP_TIMER_NONE)
        SetTimer(m_hWnd, action.startTimer, action.periodMs, NULL);
    if (action.move) {
        SetWindowPos(m_hWnd, NULL, action.rect.left, action.rect.top, action.rect.width, action.rect.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (action.repaint) {
        InvalidateRect(m_hWnd, NULL, FALSE);
        UpdateWindow(m_hWnd);
    }
    if (action.destroy)
        DestroyWindow(m_hWnd);
}

void CPopupWnd::OnFinalMessage()
{
    m_motion.Reset();
}

void CPopupWnd::OnMouseMove()
{
    Apply(m_motion.MouseMove());
    SetCursor(LoadCursorA(AppInstance(), MAKEINTRESOURCEA(IDC_POPUP_HAND)));
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m_hWnd;
    TrackMouseEvent(&track);
}

void CPopupWnd::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (!dc)
        return;
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (m_background) {
        HDC memory = CreateCompatibleDC(dc);
        if (memory) {
            HGDIOBJ old = SelectObject(memory, m_background);
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, m_bitmapWidth, m_bitmapHeight, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        }
    } else {
        FillRect(dc, &client, (HBRUSH)GetStockObject(WHITE_BRUSH));
    }

    HGDIOBJ oldFont = m_font ? SelectObject(dc, m_font) : NULL;
    SetTextColor(dc, RGB(0, 64, 128));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 30, 10, m_heading, (int)strlen(m_heading));

    // DT_VCENTER only centres single lines: measure the wrapped text first.
    RECT body = {5, 40, client.right - 5, client.bottom};
    const UINT format = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;
    RECT measured = body;
    DrawTextA(dc, m_body, -1, &measured, format | DT_CALCRECT);
    RECT placed = body;
    placed.top = PopupCentredTop(body.top, body.bottom, measured.bottom - measured.top);
    DrawTextA(dc, m_body, -1, &placed, format);
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(m_hWnd, &ps);
}

LRESULT CPopupWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER: {
        int right, bottom;
        WorkAreaCorner(&right, &bottom);
        Apply(m_motion.Tick((int)wParam, right, bottom));
        return 0;
    }
    case WM_MOUSEMOVE:
        OnMouseMove();
        return 0;
    case WM_MOUSELEAVE:
        Apply(m_motion.MouseLeave());
        SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(32512))); // IDC_ARROW
        return 0;
    case WM_MOUSEACTIVATE:
        // A click ends the pop-up without taking the keyboard from the
        // window the user works in; the click itself still arrives.
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        Apply(m_motion.Click());
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint();
        return 0;
    }
    return CWindow::HandleMessage(msg, wParam, lParam);
}
