// The application object of Orvane_Assistant: single instance, COM, the log,
// the vendor selection and the modal main dialog.
#pragma once

#include "assistant/host/bridge/CXUIImpIDispatch.h"
#include "assistant/host/dialog/CXUICustomOccManager.h"
#include "assistant/host/log/LogFile.h"
#include "assistant/host/startup/ComServer.h"
#include "assistant/host/startup/StartMode.h"

#include <windows.h>

class CXUIApp {
public:
    CXUIApp();
    ~CXUIApp();

    // True to run the message loop (a COM server without a window); false
    // when the program has done its work or must end.
    bool InitInstance(const char *commandLine);
    int Run();
    int ExitInstance();

    static const char *InstanceMutexName() { return "Orvane_Assistant"; }
    static const char *DetectToolsMutexName() { return "nx_Peloria_detect_tools_single_instance"; }
    static const char *ActivationMessageName() { return "nx_Peloria_detect_tools_single_instance_msgid"; }

    int Vendor() const { return m_vendor; }

private:
    bool TakeDetectToolsMutex();
    void AllowActivationMessage();
    void RunInterface();

    HANDLE m_detectToolsMutex;
    UINT m_activationMessage;
    CLogFile m_logFile;
    int m_logEnabled;
    CXUIImpIDispatch *m_external;  // never freed: the page may hold it to the end
    CXUICustomOccManager *m_occManager;
    CComServer m_server;
    int m_vendor;
    bool m_oleReady;
    int m_exitCode;
};
