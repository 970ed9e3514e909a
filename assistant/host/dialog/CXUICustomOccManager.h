// Control containment for dialogs: a dialog template names a control by its
// class id as the text of an "XUIControlHost" window, and the manager gives
// that control our custom site.
#pragma once

#include "assistant/host/dialog/CXUICustomControlSite.h"

#include <windows.h>

class CXUICustomOccManager {
public:
    explicit CXUICustomOccManager(IDispatch *external) : m_external(external) {}
    virtual ~CXUICustomOccManager() {}
    // A new site (one reference, the caller's) for a control in window.
    virtual CXUICustomControlSite *CreateSite(HWND window);

private:
    IDispatch *m_external;
};

extern const char kControlHostClass[];

// Registers the host window class; the manager lives as long as the program.
bool EnableControlContainer(CXUICustomOccManager *manager);

// The site of a host window made from a template, or null (no reference added).
CXUICustomControlSite *ControlSiteOf(HWND hostWindow);
