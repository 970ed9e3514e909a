#include "keymgr/shell/view/QKCSPSheet.h"

#include "common/win32/Module.h"
#include "keymgr/shell/view/SheetSize.h"

#include <algorithm>

CQKCSPSheet::CQKCSPSheet(CPropertyPage *deviceInfo, CPropertyPage *pin, CPropertyPage *certificates,
                         CPropertyPage *webSettings)
    : m_hWnd(NULL), m_webSettings(webSettings), m_webPresent(false)
{
    m_pages[SHEET_PAGE_DEVICE_INFO] = deviceInfo;
    m_pages[SHEET_PAGE_PIN] = pin;
    m_pages[SHEET_PAGE_CERTIFICATES] = certificates;
}

namespace {

INT_PTR CALLBACK MeasureProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The client size a page template gets in its own font: what the sheet's
// page area must hold for it, whatever the metrics of this system.
bool MeasureTemplate(HWND parent, int templateId, PixelSize *size)
{
    HWND probe = CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(templateId), parent, MeasureProc, 0);
    if (!probe)
        return false;
    RECT client;
    bool ok = GetClientRect(probe, &client) != FALSE;
    DestroyWindow(probe);
    size->width = client.right - client.left;
    size->height = client.bottom - client.top;
    return ok;
}

// The tab control's page area in the sheet's client coordinates.
RECT PageArea(HWND sheet, HWND tabs)
{
    RECT area;
    GetClientRect(tabs, &area);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    MapWindowPoints(tabs, sheet, reinterpret_cast<POINT *>(&area), 2);
    return area;
}

} // namespace

int CALLBACK CQKCSPSheet::SheetCallback(HWND, UINT msg, LPARAM lParam)
{
    if (msg == PSCB_PRECREATE && lParam) {
        // Turn the sheet's pop-up template into a child control.
        const DWORD drop = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_THICKFRAME | WS_DLGFRAME | WS_BORDER;
        const DWORD add = WS_CHILD | WS_VISIBLE | DS_CONTROL;
        WORD *words = reinterpret_cast<WORD *>(lParam);
        if (words[1] == 0xFFFF) { // DLGTEMPLATEEX: dlgVer, signature, helpID, exStyle, style
            DWORD *exStyle = reinterpret_cast<DWORD *>(words + 4);
            DWORD *style = reinterpret_cast<DWORD *>(words + 6);
            *style = (*style & ~drop) | add;
            *exStyle |= WS_EX_CONTROLPARENT;
        } else {
            DLGTEMPLATE *t = reinterpret_cast<DLGTEMPLATE *>(lParam);
            t->style = (t->style & ~drop) | add;
            t->dwExtendedStyle |= WS_EX_CONTROLPARENT;
        }
    }
    return 0;
}

bool CQKCSPSheet::Create(HWND parent)
{
    HPROPSHEETPAGE first = m_pages[SHEET_PAGE_DEVICE_INFO]->CreatePageHandle();
    if (!first)
        return false;
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_USECALLBACK | PSH_NOAPPLYNOW;
    header.hwndParent = parent;
    header.hInstance = AppInstance();
    header.pszCaption = "QKCSPSheet";
    header.nPages = 1;
    header.phpage = &first;
    header.pfnCallback = SheetCallback;
    INT_PTR result = PropertySheetA(&header);
    if (result == 0 || result == -1)
        return false;
    m_hWnd = reinterpret_cast<HWND>(result);
    m_present.assign(1, SHEET_PAGE_DEVICE_INFO);
    // The pages carry their own buttons.
    static const int sheetButtons[] = {IDOK, IDCANCEL, 0x3021 /* apply */, 9 /* help */};
    for (int id : sheetButtons) {
        HWND button = GetDlgItem(m_hWnd, id);
        if (button)
            ShowWindow(button, SW_HIDE);
    }
    FitLargestPage();
    // Without its buttons the sheet ends just below the tab control.
    HWND tabs = PropSheet_GetTabControl(m_hWnd);
    RECT sheet, tab;
    if (tabs && GetWindowRect(m_hWnd, &sheet) && GetWindowRect(tabs, &tab))
        SetWindowPos(m_hWnd, NULL, 0, 0, sheet.right - sheet.left, tab.bottom - sheet.top + 8,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    AddWebSettingsPage();
    ActivateTab(0);
    return true;
}

void CQKCSPSheet::FitLargestPage()
{
    HWND tabs = PropSheet_GetTabControl(m_hWnd);
    if (!tabs)
        return;
    std::vector<PixelSize> sizes;
    CPropertyPage *all[] = {m_pages[0], m_pages[1], m_pages[2], m_webSettings};
    for (CPropertyPage *page : all) {
        PixelSize size;
        if (page && MeasureTemplate(m_hWnd, page->TemplateId(), &size))
            sizes.push_back(size);
    }
    RECT area = PageArea(m_hWnd, tabs);
    PixelSize grow = SheetGrowth({area.right - area.left, area.bottom - area.top}, sizes);
    if (grow.width == 0 && grow.height == 0)
        return;
    RECT tab, sheet;
    GetWindowRect(tabs, &tab);
    GetWindowRect(m_hWnd, &sheet);
    SetWindowPos(tabs, NULL, 0, 0, tab.right - tab.left + grow.width, tab.bottom - tab.top + grow.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_hWnd, NULL, 0, 0, sheet.right - sheet.left + grow.width, sheet.bottom - sheet.top + grow.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Pages made from now on take the tab control's area; the one already
    // made is given it here.
    area = PageArea(m_hWnd, tabs);
    for (int i = 0; HWND page = PropSheet_IndexToHwnd(m_hWnd, i); ++i)
        SetWindowPos(page, NULL, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CQKCSPSheet::PreTranslateMessage(MSG *msg)
{
    if (!m_hWnd || !(msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd)))
        return false;
    for (int i = 0; i < 3; ++i) {
        CPropertyPage *page = m_pages[i];
        if (page && page->Hwnd() && IsChild(page->Hwnd(), msg->hwnd) && page->PreTranslateMessage(msg))
            return true;
    }
    return PropSheet_IsDialogMessage(m_hWnd, msg) != FALSE;
}

CPropertyPage *CQKCSPSheet::PageObject(SheetPage page) const
{
    return m_pages[page];
}

int CQKCSPSheet::PageCount() const
{
    return static_cast<int>(m_present.size());
}

bool CQKCSPSheet::WebSettingsOpen() const
{
    HWND web = m_webPresent ? m_webSettings->Hwnd() : NULL;
    return web && m_hWnd && PropSheet_GetCurrentPageHwnd(m_hWnd) == web;
}

int CQKCSPSheet::ActiveTab() const
{
    if (!m_hWnd)
        return 0;
    if (WebSettingsOpen())
        return -1;
    HWND current = PropSheet_GetCurrentPageHwnd(m_hWnd);
    return current ? PropSheet_HwndToIndex(m_hWnd, current) : 0;
}

bool CQKCSPSheet::DeviceInfoWindowExists() const
{
    HWND page = m_pages[SHEET_PAGE_DEVICE_INFO]->Hwnd();
    return page && IsWindow(page);
}

void CQKCSPSheet::ShowTab(int tab)
{
    if (m_hWnd && tab >= 0 && tab < PageCount() + (m_webPresent ? 1 : 0))
        PropSheet_SetCurSel(m_hWnd, NULL, tab);
}

void CQKCSPSheet::ActivateTab(int tab)
{
    // The web settings belong to no token: a token coming or going does not
    // take the user away from them.
    if (!WebSettingsOpen() && tab < PageCount())
        ShowTab(tab);
}

void CQKCSPSheet::AddWebSettingsPage()
{
    if (!m_webSettings || m_webPresent || !m_hWnd)
        return;
    HPROPSHEETPAGE handle = m_webSettings->CreatePageHandle();
    if (handle && PropSheet_AddPage(m_hWnd, handle))
        m_webPresent = true;
}

void CQKCSPSheet::AddPage(SheetPage page)
{
    if (!m_hWnd || std::find(m_present.begin(), m_present.end(), page) != m_present.end())
        return;
    // Tabs keep their fixed order (information, PIN, certificates, web
    // settings) whatever order the pages arrive in; the pages after the new
    // one keep their windows.
    std::vector<SheetPage>::iterator at = std::upper_bound(m_present.begin(), m_present.end(), page);
    int index = static_cast<int>(at - m_present.begin());
    HPROPSHEETPAGE handle = PageObject(page)->CreatePageHandle();
    if (!handle)
        return;
    if (!PropSheet_InsertPage(m_hWnd, static_cast<INT_PTR>(index), handle)) {
        DestroyPropertySheetPage(handle);
        return;
    }
    m_present.insert(m_present.begin() + index, page);
}

void CQKCSPSheet::RemovePage(SheetPage page)
{
    std::vector<SheetPage>::iterator it = std::find(m_present.begin(), m_present.end(), page);
    if (it == m_present.end() || it == m_present.begin())
        return;
    RemovePageAt(static_cast<int>(it - m_present.begin()));
}

void CQKCSPSheet::RemovePageAt(int index)
{
    if (!m_hWnd || index <= 0 || index >= PageCount())
        return;
    PropSheet_RemovePage(m_hWnd, index, NULL);
    m_present.erase(m_present.begin() + index);
}
