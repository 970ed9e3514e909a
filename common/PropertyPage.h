// A property page whose dialog procedure forwards to the object, in the
// manner of CDialog. A page handle is made anew each time the page is added
// to a sheet, since the sheet destroys it when the page is removed.
#pragma once

#include <windows.h>

#include <commctrl.h>

class CPropertyPage {
public:
    explicit CPropertyPage(int templateId);
    virtual ~CPropertyPage() {}

    void SetTitle(const char *title);
    HPROPSHEETPAGE CreatePageHandle();
    HWND Hwnd() const { return m_hWnd; }
    int TemplateId() const { return m_templateId; }
    // Looks at a message before the sheet's dialog-key handling; true eats it.
    virtual bool PreTranslateMessage(MSG *msg) { return false; }

protected:
    // Return TRUE when handled, as a dialog procedure does.
    virtual INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void OnInitPage() {}
    // The page becomes the visible one; return 0 to accept.
    virtual LRESULT OnSetActive() { return 0; }
    void SetItemText(int id, const char *text) { SetDlgItemTextA(m_hWnd, id, text ? text : ""); }
    void EnableItem(int id, bool enable) { EnableWindow(GetDlgItem(m_hWnd, id), enable ? TRUE : FALSE); }

    HWND m_hWnd;

private:
    static INT_PTR CALLBACK StaticPageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    int m_templateId;
    char m_title[128];
};
