// The vendor selection shown at every start: one bitmap button per token vendor.
#pragma once

#include "common/win32/window/Window.h"

class CSelectPro : public CDialog {
public:
    CSelectPro();
    ~CSelectPro() override;
    // 1 or 2 after the dialog ended with IDOK.
    int Selection() const { return m_selection; }

protected:
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    void DrawButton(const DRAWITEMSTRUCT *item);

    int m_selection;
    HBITMAP m_background;
    HBITMAP m_vendor1;
    HBITMAP m_vendor2;
};

// Draws bitmap at (x, y) of dc at its own size; false when it cannot.
bool DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y);
