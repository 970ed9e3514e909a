// The security attributes of the detect-tools mutex: everyone may open it,
// and on systems with integrity levels low-integrity processes too.
#pragma once

#include <windows.h>

class SecurityAttributes {
public:
    SecurityAttributes();
    ~SecurityAttributes();
    // Null on the Windows 9x family, where the mutex gets no attributes.
    LPSECURITY_ATTRIBUTES Get() { return m_empty ? NULL : &m_attributes; }

private:
    void AddLowIntegrityLabel();

    bool m_empty;
    SECURITY_ATTRIBUTES m_attributes;
    SECURITY_DESCRIPTOR m_descriptor;
    PSECURITY_DESCRIPTOR m_labelDescriptor;  // owns the label's access list
};

// Built before the program's start-up code runs.
extern SecurityAttributes g_securityAttributes;
