// The first page of the management sheet: the selected token's state,
// label, type, sizes and serial, and the label change.
#pragma once

#include "common/win32/window/PropertyPage.h"

class CChangeLabelDlg;

class CDeviceInfoPage : public CPropertyPage {
public:
    CDeviceInfoPage();
    // Rebuilds every field from the current-token record.
    void Activate();
    // After a device change: an open label dialog whose token has left
    // closes, and nothing is written.
    void CloseLabelDialogIfTokenLeft();

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnInitPage() override;
    LRESULT OnSetActive() override;

private:
    void ChangeLabel();
    CChangeLabelDlg *m_labelDialog; // while the label dialog is open
};
