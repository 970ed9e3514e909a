#include "assistant/host/startup/SecurityAttributes.h"

#include "assistant/engine/win32/EngineServices.h"

#include <sddl.h>
#include <string.h>

SecurityAttributes g_securityAttributes;

SecurityAttributes::SecurityAttributes() : m_empty(true), m_labelDescriptor(NULL)
{
    memset(&m_attributes, 0, sizeof(m_attributes));
    memset(&m_descriptor, 0, sizeof(m_descriptor));
    if (OsIsWin9xFamily())
        return;
    if (!InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION))
        return;
    if (!SetSecurityDescriptorDacl(&m_descriptor, TRUE, NULL, FALSE))
        return;
    m_attributes.nLength = sizeof(m_attributes);
    m_attributes.lpSecurityDescriptor = &m_descriptor;
    m_attributes.bInheritHandle = FALSE;
    m_empty = false;
    AddLowIntegrityLabel();
}

SecurityAttributes::~SecurityAttributes()
{
    if (m_labelDescriptor)
        LocalFree(m_labelDescriptor);
}

void SecurityAttributes::AddLowIntegrityLabel()
{
    typedef BOOL(WINAPI * ConvertFn)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR *, PULONG);
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    ConvertFn convert = advapi ? reinterpret_cast<ConvertFn>(reinterpret_cast<void *>(
                                     GetProcAddress(advapi, "ConvertStringSecurityDescriptorToSecurityDescriptorA")))
                               : NULL;
    if (!convert)
        return;
    if (!convert("S:(ML;;NW;;;LW)", SDDL_REVISION_1, &m_labelDescriptor, NULL))
        return;
    BOOL present = FALSE, defaulted = FALSE;
    PACL sacl = NULL;
    if (GetSecurityDescriptorSacl(m_labelDescriptor, &present, &sacl, &defaulted) && present)
        SetSecurityDescriptorSacl(&m_descriptor, TRUE, sacl, FALSE);
}
