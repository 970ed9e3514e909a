// A property page whose dialog procedure forwards to the object, in the
// manner of CDialog. A page handle is made anew each time the page is added
// to a sheet, since the sheet destroys it when the page is removed.
#pragma once

#include "common/win32/window/DialogBase.h"

#include <windows.h>

#include <commctrl.h>

class CPropertyPage : public CDialogBase {
public:
    explicit CPropertyPage(int templateId);

    void SetTitle(const char *title);
    HPROPSHEETPAGE CreatePageHandle();
    int TemplateId() const { return m_templateId; }
    // Looks at a message before the sheet's dialog-key handling; true eats it.
    virtual bool PreTranslateMessage(MSG *msg) { return false; }

protected:
    // Return TRUE when handled, as a dialog procedure does.
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual void OnInitPage() {}
    // The page becomes the visible one; return 0 to accept.
    virtual LRESULT OnSetActive() { return 0; }

private:
    // WM_INITDIALOG's lParam is the PROPSHEETPAGE; its own lParam is the object.
    static INT_PTR CALLBACK StaticPageProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    int m_templateId;
    char m_title[128];
};
