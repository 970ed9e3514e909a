// The single view of the main window: a form on dialog 102 with the list of
// tokens present, and the management sheet for the selected one.
#pragma once

#include "common/win32/window/Window.h"

#include <windows.h>

#include <stdint.h>

class CQKCSPSheet;
class CPropertyPage;
class CDeviceInfoPage;
class CChangePINPage;
class CCertManagePage;

class CZVAppView : public CDialog {
public:
    CZVAppView();
    ~CZVAppView() override;
    bool Create(HWND frame);
    bool PreTranslateMessage(MSG *msg);

    // Rebuilds the device list and the current-token record (message 1127).
    void Refresh();
    // Makes the sheet's page with this index the active one.
    void ActivatePage(int index);
    // The frame size that fits the sheet, which the frame keeps while it is
    // moved; false until the sheet was laid out.
    bool FrameSize(int *width, int *height) const;
    // Centres the main window on the desktop.
    void CentreFrame();
    // After the frame exists: texts, the first device list, centring.
    void InitialUpdate();

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool CreateSheet();
    void FitFrameToView();
    // 0, or the error that stopped the walk (after telling the user).
    uint32_t FillDeviceList();
    void OnSelectionChanged();
    void OnRefreshButton();

    int m_frameWidth;
    int m_frameHeight;
    CDeviceInfoPage *m_deviceInfo;
    CChangePINPage *m_pinPage;
    CCertManagePage *m_certPage;
    CPropertyPage *m_webPage;
    CQKCSPSheet *m_sheet;
    CRITICAL_SECTION m_viewLock;
    bool m_lockReady;
};
