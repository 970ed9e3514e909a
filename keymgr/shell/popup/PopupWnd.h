// The notification pop-up: slides up from the bottom-right corner of the
// work area, holds, and sinks away. One object per process; each Show
// replaces the window that is showing.
#pragma once

#include "common/win32/window/Window.h"
#include "keymgr/shell/popup/PopupMotion.h"

class CPopupWnd : public CWindow {
public:
    // The process's pop-up, made on first use (on the window thread).
    static CPopupWnd &Instance();
    static bool Exists();

    // Stops the running cycle, destroys a showing window and creates a new
    // one at height 0 that starts rising. A text longer than 1,023 bytes is
    // not taken (the previous body stays). The caller then shows the window
    // without activating it (SW_SHOWNOACTIVATE) and updates it. Returns
    // whether a window was created.
    bool Show(const char *text);

    const char *Body() const { return m_body; }
    const char *Heading() const { return m_heading; }
    const CPopupMotion &Motion() const { return m_motion; }

    // The scenarios and the benchmark find the pop-up by this class name.
    static const char *ClassName() { return "ZVAppMsnWnd"; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage() override;

private:
    CPopupWnd();
    ~CPopupWnd() override;
    CPopupWnd(const CPopupWnd &);
    CPopupWnd &operator=(const CPopupWnd &);

    void Apply(const PopupAction &action);
    void OnPaint();
    void OnMouseMove();

    HBITMAP m_background;
    int m_bitmapWidth;
    int m_bitmapHeight;
    HFONT m_font;
    char m_heading[160];
    char m_body[POPUP_BODY_MAX + 1];
    CPopupMotion m_motion;
};
