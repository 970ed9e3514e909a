// The first page of the management sheet: the selected token's state,
// label, type, sizes and serial, and the label change.
#pragma once

#include "common/win32/window/PropertyPage.h"

class CDeviceInfoPage : public CPropertyPage {
public:
    CDeviceInfoPage();
    // Rebuilds every field from the current-token record.
    void Activate();

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnInitPage() override;
    LRESULT OnSetActive() override;

private:
    void ChangeLabel();
};
