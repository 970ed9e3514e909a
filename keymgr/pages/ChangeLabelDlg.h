// The modal dialog that asks for a new token label and the user PIN.
#pragma once

#include "common/Window.h"

#include <string>

class CChangeLabelDlg : public CDialog {
public:
    CChangeLabelDlg();
    std::string m_label;
    std::string m_pin;

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void TakeFields();
    void UpdateOk();
};
