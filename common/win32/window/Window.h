// Thin window and dialog wrappers: a static procedure finds the object and
// forwards every message to its virtual handler.
#pragma once

#include "common/win32/window/DialogBase.h"

#include <windows.h>

class CWindow {
public:
    CWindow() : m_hWnd(NULL) {}
    virtual ~CWindow() {}
    HWND Hwnd() const { return m_hWnd; }

    // Registers the class on first use; the class procedure is StaticWndProc.
    static bool RegisterWindowClass(WNDCLASSEXA wc);
    bool CreateEx(DWORD exStyle, const char *className, const char *title, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menu);
    BOOL Destroy();

protected:
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Called when WM_NCDESTROY arrives; the handle is already cleared.
    virtual void OnFinalMessage() {}

    HWND m_hWnd;

private:
    static LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

class CDialog : public CDialogBase {
public:
    CDialog(int templateId)
        : m_templateId(templateId), m_wideText(false), m_modal(false), m_ended(false), m_result(0)
    {
    }

    // Our own modal loop (the owner disabled meanwhile): every message is
    // offered to PreTranslateMessage before the dialog's keyboard handling.
    INT_PTR DoModal(HWND parent);
    HWND CreateModeless(HWND parent);

protected:
    // Returns TRUE when the message was handled (as a dialog procedure does).
    INT_PTR RunDlgProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // True when the message was consumed (a control's accelerator); it then
    // neither reaches IsDialogMessage nor the window.
    virtual bool PreTranslateMessage(MSG &) { return false; }
    // Ends the modal loop of DoModal (the platform's call for other dialogs).
    BOOL EndDialog(HWND hWnd, INT_PTR result);

    int m_templateId;
    // Set before DoModal: the dialog and its controls are Unicode windows and
    // its loop takes messages as Unicode, so a typed character reaches an
    // edit whole, also one the code page lacks (an ANSI loop makes it '?').
    bool m_wideText;

private:
    // lParam of WM_INITDIALOG is the object.
    static INT_PTR CALLBACK StaticDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool m_modal;
    bool m_ended;
    INT_PTR m_result;
};
