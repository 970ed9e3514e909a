// Token insertion and removal: the device watch started with the frame and
// the two handlers the token command library calls on its own threads.
#pragma once

#include "keymgr/library/TokenEntries.h"
#include "keymgr/shell/ReaderList.h"

#include <windows.h>

class DeviceWatch {
public:
    static DeviceWatch &Instance();

    // Lists the readers, handles a token already present as an insertion
    // and registers both handlers for every reader. Returns 0 or the
    // library's error.
    int Start(HWND frame);
    // Drops the frame handle so that late library calls post nothing.
    void Stop();

    // Insertion handler step 5, also run by the view's refresh button.
    void RegisterCertificates(const char *reader);

    const ReaderList &Readers() const { return m_readers; }
    // The text CSPLoadCertToIE left for the certificate notice (copied).
    void CopyRegisteredCertText(char *out, size_t size);
    // Lists the readers again (the browser watch does).
    int ListReaders(ReaderList &out);

    static int TOKAPI OnInserted(void *reader);
    static int TOKAPI OnRemoved(void *reader);

private:
    DeviceWatch();
    void HandleInsertion(const char *reader);
    void HandleRemoval(const char *reader);
    HWND Frame() const { return m_frame; }

    CRITICAL_SECTION m_deviceLock;
    volatile HWND m_frame;
    ReaderList m_readers;
    char *m_certText;
    uint32_t m_certTextSize;
};
