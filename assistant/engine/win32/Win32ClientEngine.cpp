#include "assistant/engine/win32/Win32ClientEngine.h"

#include "assistant/engine/win32/EngineServices.h"
#include "assistant/engine/win32/install/SignatureGate.h"

CWin32ClientEngine::CWin32ClientEngine(CEngineServices &services, IYesNoPrompt &prompt)
    : m_platform(prompt, BuiltInSignerPin()),
      m_engine(ClientEngineServices{services.Registry(), services.ComonCheck(), m_token, m_downloader, m_platform,
                                    services.Addresses().updateHost, services.Addresses().probeUrl})
{
}
