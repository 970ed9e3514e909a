// The PIN page of the management sheet (template 106): old PIN, new PIN
// twice, graded while typed, changed with the apply button.
#pragma once

#include "common/win32/window/PropertyPage.h"
#include "keymgr/pages/pin/PinRules.h"
#include "keymgr/shell/token/OpenedToken.h"

#include <string>

class CChangePINPage : public CPropertyPage {
public:
    CChangePINPage();
    ~CChangePINPage() override;
    void Activate();
    // The Enter rule, ahead of the sheet's dialog-key handling.
    bool PreTranslateMessage(MSG *msg) override;

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnInitPage() override;
    LRESULT OnSetActive() override;

private:
    void TakeFields();
    void WipeFields();
    void CheckInput(int changed);
    void EmptyField(int field);
    void FieldFocused(int id);
    void Apply();
    void Hide();

    OpenedToken m_token; // the token the page was (re)activated for
    std::string m_fields[PIN_FIELD_COUNT];
    std::string m_last[PIN_FIELD_COUNT]; // each field as its last change left it
    bool m_checkSuppressed; // PinCheckSuppressed: the program's own changes are not tested
};
