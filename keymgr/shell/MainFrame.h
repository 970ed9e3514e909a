// The hidden top-level window of ZVApp.
#pragma once

#include "common/Window.h"

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

    static const char *ClassName() { return "ZVAppMainFrame"; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnCreate();
    void OnDestroy();
    void LocalizeFrameMenu();
    void OnSysCommand(WPARAM command, LPARAM lParam);

    CZVAppDoc *m_document;
    CZVAppView *m_view;
    UINT m_taskbarCreatedMessage;
};

// The application's main window, for the library threads and the pages.
HWND MainWindowHandle();
