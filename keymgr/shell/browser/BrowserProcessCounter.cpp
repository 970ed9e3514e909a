#include "keymgr/shell/browser/BrowserProcessCounter.h"

#include <tlhelp32.h>

#include <algorithm>
#include <ctype.h>
#include <string.h>

BrowserProcessCounter::~BrowserProcessCounter()
{
    Forget();
}

void BrowserProcessCounter::Forget()
{
    for (HANDLE h : m_handles)
        CloseHandle(h);
    m_handles.clear();
    m_ids.clear();
    m_ticks = 0;
}

static bool IsBrowserName(const char *exe)
{
    char lower[MAX_PATH];
    size_t i = 0;
    for (; exe[i] && i < sizeof(lower) - 1; ++i)
        lower[i] = (char)tolower((unsigned char)exe[i]);
    lower[i] = '\0';
    return strcmp(lower, "iexplore.exe") == 0;
}

void BrowserProcessCounter::Snapshot()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
        if (!IsBrowserName(entry.szExeFile))
            continue;
        if (std::find(m_ids.begin(), m_ids.end(), entry.th32ProcessID) != m_ids.end())
            continue;
        // Only processes that can be opened for reading count.
        HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                               entry.th32ProcessID);
        if (!h)
            continue;
        m_handles.push_back(h);
        m_ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snap);
}

int BrowserProcessCounter::Count()
{
    if (m_ticks++ % SnapshotInterval == 0)
        Snapshot();
    // One wait per batch tells the first that ended; with none ended that is
    // one call however many browsers run.
    for (size_t first = 0; first < m_handles.size();) {
        DWORD n = static_cast<DWORD>(std::min<size_t>(m_handles.size() - first, MAXIMUM_WAIT_OBJECTS));
        DWORD rc = WaitForMultipleObjects(n, &m_handles[first], FALSE, 0);
        if (rc >= WAIT_OBJECT_0 && rc < WAIT_OBJECT_0 + n) {
            size_t ended = first + (rc - WAIT_OBJECT_0);
            CloseHandle(m_handles[ended]);
            m_handles.erase(m_handles.begin() + ended);
            m_ids.erase(m_ids.begin() + ended);
            first = ended;
        } else {
            first += n;
        }
    }
    return static_cast<int>(m_handles.size());
}
