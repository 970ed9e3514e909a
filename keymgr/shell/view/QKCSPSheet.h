// The management sheet: a modeless property sheet living as a child of the
// view. Tab 0 is the device-information page; the PIN and certificate pages
// come and go with the page rules; the web-settings page, which belongs to
// no token, is always offered as the last tab and keeps its window (and what
// the user typed into it) while token pages come and go before it.
#pragma once

#include "common/win32/window/PropertyPage.h"
#include "keymgr/shell/view/PageRules.h"

#include <vector>

class CQKCSPSheet : public ISheetPages {
public:
    CQKCSPSheet(CPropertyPage *deviceInfo, CPropertyPage *pin, CPropertyPage *certificates, CPropertyPage *webSettings);
    // Creates the sheet window as a visible child of parent holding the
    // device-information page (and the web-settings page).
    bool Create(HWND parent);
    HWND Hwnd() const { return m_hWnd; }
    bool PreTranslateMessage(MSG *msg);

    // Makes tab the active one, whatever page is open (the frame's own
    // switches, such as to the PIN page after the default-PIN reminder).
    void ShowTab(int tab);

    // What the page rules see: the token pages. ActiveTab is -1 while the
    // web-settings page is open, and ActivateTab leaves the user there.
    int PageCount() const override;
    int ActiveTab() const override;
    bool DeviceInfoWindowExists() const override;
    void ActivateTab(int tab) override;
    void AddPage(SheetPage page) override;
    void RemovePage(SheetPage page) override;
    void RemovePageAt(int index) override;

private:
    CPropertyPage *PageObject(SheetPage page) const;
    bool WebSettingsOpen() const;
    void AddWebSettingsPage();
    // Grows the sheet so that the largest page it may show fits its page area.
    void FitLargestPage();
    static int CALLBACK SheetCallback(HWND hWnd, UINT msg, LPARAM lParam);

    HWND m_hWnd;
    CPropertyPage *m_pages[3];
    CPropertyPage *m_webSettings;
    std::vector<SheetPage> m_present; // token pages in tab order
    bool m_webPresent;
};
