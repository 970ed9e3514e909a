// The hidden top-level window of ZVApp: tray icon, device watch messages,
// timers and the confirmed exit.
#pragma once

#include "common/win32/window/Window.h"
#include "keymgr/shell/browser/BrowserClosedPrompt.h"
#include "keymgr/shell/browser/BrowserProcessCounter.h"
#include "keymgr/shell/browser/BrowserWatchSchedule.h"

class CZVAppDoc;
class CZVAppView;

class CMainFrame : public CWindow {
public:
    CMainFrame();
    ~CMainFrame() override;

    // Creates the frame window (hidden, no taskbar button) with menu 128.
    bool LoadFrame(CZVAppDoc *document);
    CZVAppView *GetView() const { return m_view; }
    // Gives the frame's dialogs a chance at keyboard messages.
    bool PreTranslateMessage(MSG *msg);
    // A hidden frame keeps no control focused: a focused field's caret would
    // blink (a timer and a paint every half second) for nobody. The control
    // gets the focus back when the frame shows again.
    void ParkFocus();

    static const char *ClassName() { return "ZVAppMainFrame"; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnCreate();
    void OnDestroy();
    void LocalizeFrameMenu();
    void OnSysCommand(WPARAM command, LPARAM lParam);
    void OnCommand(UINT id);
    void OnTrayCallback(UINT mouseMessage);
    void ShowTrayMenu();
    void ConfirmExit();
    LRESULT OnNotice(WPARAM kind, LPARAM record);
    bool StartCertificateNotice(const char *reader, const char *text);
    void OnCertificateNoticeReady(bool expiring, LPARAM ready);
    void OnRefresh();
    void ShowPinTagReminder();
    LRESULT OnWebPages(WPARAM action);
    void OnRequestCertificate();
    void OnTimer(UINT_PTR id);
    void CloseLibraryPinWindow();
    void WatchBrowsers();
    void BringToFront();
    void RestoreFocus();

    CZVAppDoc *m_document;
    CZVAppView *m_view;
    UINT m_taskbarCreatedMessage;
    BrowserClosedPrompt m_browserPrompt;
    BrowserProcessCounter m_browserCounter;
    BrowserWatchSchedule m_browserWatch;
    bool m_browserPromptOn;
    bool m_browserTokenIn;
    bool m_certificateExpiring;
    HWND m_lastFocus; // the control that had the focus when the frame was last deactivated or hidden
};
