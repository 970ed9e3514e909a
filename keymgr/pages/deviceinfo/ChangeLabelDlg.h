// The modal dialog that asks for a new token label and the user PIN.
#pragma once

#include "common/win32/window/Window.h"
#include "keymgr/shell/token/OpenedToken.h"

#include <string>

class CChangeLabelDlg : public CDialog {
public:
    // The token the dialog is opened for: the label is written to it only.
    explicit CChangeLabelDlg(const OpenedToken &token);
    // The PIN is wiped with the dialog.
    ~CChangeLabelDlg() override;
    const OpenedToken &Token() const { return m_token; }
    // Ends the dialog as Cancel does (its token has gone).
    void CloseUnwritten();
    std::string m_label;
    std::string m_pin;

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void TakeFields();
    void UpdateOk();
    OpenedToken m_token;
    bool m_labelFits; // every character of the label is in the code page
};
