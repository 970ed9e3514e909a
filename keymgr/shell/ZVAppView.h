// The single view of the main window: a form on dialog 102.
#pragma once

#include "common/Window.h"

class CZVAppView : public CDialog {
public:
    CZVAppView();
    bool Create(HWND frame);
    bool PreTranslateMessage(MSG *msg);

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
