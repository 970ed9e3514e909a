#include "assistant/engine/win32/Win32ClientEngine.h"

#include "assistant/engine/win32/EngineServices.h"
#include "assistant/engine/win32/install/SignatureGate.h"
#include "assistant/engine/run/TestHooks.h"

CWin32ClientEngine::CWin32ClientEngine(CEngineServices &services, IYesNoPrompt &prompt)
    // A test build may shorten the stall bound, so a stalled package is
    // shown given up without the production wait.
    : m_downloader(kVersionFileTimeLimitMs,
                   ReadTestHookLimit(services.Registry(), "ORVANE_PACKAGE_STALL_MS", kPackageStallLimitMs)),
      m_platform(prompt, BuiltInSignerPin()),
      m_engine(ClientEngineServices{services.Registry(), services.ComonCheck(), m_token, m_downloader, m_platform,
                                    services.Addresses().updateHost, services.Addresses().probeUrl})
{
}
