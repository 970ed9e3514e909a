// The web-settings page (dialog 149) of the management sheet: the addresses
// opened at insertion, the certificate-request page.
#pragma once

#include "common/win32/window/PropertyPage.h"
#include "keymgr/shell/websettings/WebSetFile.h"

#include <prsht.h>

#include <string>
#include <vector>

class CWebSetPage : public CPropertyPage {
public:
    // Edits URLSet.ini of the program folder.
    CWebSetPage();
    // Edits the given file (the page does not own it).
    explicit CWebSetPage(CWebSetFile &file);

    // The page handle for a sheet (CreatePageHandle); the object must
    // outlive the page.

    // Called when the page becomes active, before the sheet's own handling
    // (the frame passes the soft keyboard's close).
    void SetActivationHook(void (*hook)()) { m_onActivate = hook; }

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnSetActive() override;
    // Message boxes (captioned UserTitle); tests replace them.
    virtual int ShowMessage(const char *text, UINT type);
    // The OK button: hides the main window (the top-level window above the page).
    virtual void HideMainWindow();

private:
    void OnInitDialog();
    void OnCommand(int id, int code);
    void LocalizeControls();
    void AddAddress();
    void DeleteAddress();
    void SaveList();
    void ShowText(const char *key);
    // The failure text: the file could not be replaced.
    void ShowWriteFailure();
    // The address in the edit box field is one the browser could never be
    // given: tells the user and leaves it there.
    void ShowUnopenable(int field);
    void WriteRequestFlag();
    void SaveRequestAddress();
    std::vector<std::string> ListItems();
    std::string ItemText(int id);

    CWebSetFile m_ownFile;
    CWebSetFile &m_file;
    bool m_openPages;
    void (*m_onActivate)();
};
