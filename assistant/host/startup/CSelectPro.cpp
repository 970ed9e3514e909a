#include "assistant/host/startup/CSelectPro.h"

#include "assistant/host/res/resource.h"
#include "common/win32/Module.h"

CSelectPro::CSelectPro() : CDialog(IDD_SELECTPRO), m_selection(0), m_background(NULL), m_vendor1(NULL), m_vendor2(NULL)
{
}

CSelectPro::~CSelectPro()
{
    HBITMAP bitmaps[] = {m_background, m_vendor1, m_vendor2};
    for (HBITMAP bitmap : bitmaps)
        if (bitmap)
            DeleteObject(bitmap);
}

bool DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y)
{
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info))
        return false;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return false;
    HGDIOBJ old = SelectObject(memory, bitmap);
    BOOL drawn = BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return drawn != FALSE;
}

void CSelectPro::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    DrawBitmapAt(dc, m_background, 0, 0);
    EndPaint(m_hWnd, &ps);
}

void CSelectPro::DrawButton(const DRAWITEMSTRUCT *item)
{
    HBITMAP bitmap = item->CtlID == IDOK ? m_vendor1 : m_vendor2;
    // A pressed button sinks by one pixel, as bitmap buttons do.
    int shift = (item->itemState & ODS_SELECTED) ? 1 : 0;
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    DrawBitmapAt(item->hDC, bitmap, item->rcItem.left + shift, item->rcItem.top + shift);
    if (item->itemState & ODS_FOCUS) {
        // A dotted rectangle alone is lost on the coloured images: a white
        // frame around it shows which vendor Enter and Space choose.
        RECT focus = item->rcItem;
        InflateRect(&focus, -3, -3);
        HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        FrameRect(item->hDC, &focus, white);
        InflateRect(&focus, -1, -1);
        FrameRect(item->hDC, &focus, white);
        InflateRect(&focus, -2, -2);
        DrawFocusRect(item->hDC, &focus);
    }
}

INT_PTR CSelectPro::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        m_background = LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_SELECT_BACKGROUND));
        m_vendor1 = LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_VENDOR1));
        m_vendor2 = LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_VENDOR2));
        return TRUE;
    case WM_PAINT:
        Paint();
        return TRUE;
    case DM_GETDEFID: {
        // Owner-drawn buttons never become the default push button, so Enter
        // would always give IDOK: the focused vendor button is the default.
        HWND focus = GetFocus();
        int id = focus && GetParent(focus) == m_hWnd ? GetDlgCtrlID(focus) : 0;
        if (id != IDOK && id != IDC_VENDOR2)
            return FALSE;
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, MAKELONG(id, DC_HASDEFID));
        return TRUE;
    }
    case WM_DRAWITEM:
        DrawButton(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            m_selection = 1;
            EndDialog(m_hWnd, IDOK);
            return TRUE;
        case IDC_VENDOR2:
            m_selection = 2;
            EndDialog(m_hWnd, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(m_hWnd, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
