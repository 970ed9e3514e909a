// The application object of ZVApp: start-up, single instance and exit.
#pragma once

#include <windows.h>

class CMainFrame;
class CZVAppDoc;

class CZVAppApp {
public:
    CZVAppApp();
    ~CZVAppApp();

    // True to run the message loop, false to end at once.
    bool InitInstance();
    int Run();
    int ExitInstance();

    static const char *SingleInstanceMutexName() { return "C6EEA7B2-3F1A-4ebb-AD02-5FC9F283E5ED"; }

private:
    void AlignLibraryLanguage();
    bool TakeSingleInstance();
    void ReportMissingLibraries();
    bool OpenNewDocument();

    HANDLE m_instanceMutex;
    CZVAppDoc *m_document;
    CMainFrame *m_frame;
    bool m_oleReady;
};
