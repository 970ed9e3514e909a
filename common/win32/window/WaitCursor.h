// Shows the wait cursor for the life of the object.
#pragma once

#include <windows.h>

class CWaitCursor {
public:
    CWaitCursor() : m_previous(SetCursor(LoadCursor(NULL, IDC_WAIT))) {}
    ~CWaitCursor() { SetCursor(m_previous); }

private:
    CWaitCursor(const CWaitCursor &);
    CWaitCursor &operator=(const CWaitCursor &);
    HCURSOR m_previous;
};
