// The about box: contact texts of section "AboutDlg".
#pragma once

#include "common/win32/window/Window.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

void ShowAboutBox(HWND owner);
