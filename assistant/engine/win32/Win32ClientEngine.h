// The client, update and repair sequences over the real system.
#pragma once

#include "assistant/engine/win32/CspTokenAccess.h"
#include "assistant/engine/win32/install/InstallerPlatform.h"
#include "assistant/engine/win32/install/UrlDownloader.h"
#include "assistant/engine/worker/ClientEngine.h"

class CEngineServices;

class CWin32ClientEngine {
public:
    // prompt answers the repair's question; services gives the registry,
    // system queries and addresses.
    CWin32ClientEngine(CEngineServices &services, IYesNoPrompt &prompt);
    IClientEngine &Engine() { return m_engine; }
    CInstallerPlatform &Platform() { return m_platform; }

private:
    CCspTokenAccess m_token;
    CUrlDownloader m_downloader;
    CInstallerPlatform m_platform;
    ClientEngine m_engine;
};
