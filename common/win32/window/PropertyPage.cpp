#include "common/win32/window/PropertyPage.h"

#include "common/BoundedCopy.h"
#include "common/win32/Module.h"

CPropertyPage::CPropertyPage(int templateId) : m_templateId(templateId)
{
    m_title[0] = '\0';
}

void CPropertyPage::SetTitle(const char *title)
{
    CopyBounded(m_title, sizeof(m_title), title);
}

HPROPSHEETPAGE CPropertyPage::CreatePageHandle()
{
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = m_title[0] ? PSP_USETITLE : 0;
    page.hInstance = AppInstance();
    page.pszTemplate = MAKEINTRESOURCEA(m_templateId);
    page.pszTitle = m_title;
    page.pfnDlgProc = StaticPageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return CreatePropertySheetPageA(&page);
}

INT_PTR CPropertyPage::RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInitPage();
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header->code == PSN_SETACTIVE) {
            SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, OnSetActive());
            return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

INT_PTR CALLBACK CPropertyPage::StaticPageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CPropertyPage *created = NULL;
    if (msg == WM_INITDIALOG) {
        const PROPSHEETPAGEA *page = reinterpret_cast<const PROPSHEETPAGEA *>(lParam);
        created = page ? reinterpret_cast<CPropertyPage *>(page->lParam) : NULL;
    }
    return Forward(hWnd, msg, wParam, lParam, created);
}
