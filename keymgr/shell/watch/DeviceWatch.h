// Token insertion and removal: the device watch started with the frame and
// the two handlers the token command library calls on its own threads.
#pragma once

#include "keymgr/library/TokenEntries.h"
#include "keymgr/shell/token/ReaderList.h"
#include "keymgr/shell/watch/RegisteredCertText.h"
#include "keymgr/shell/watch/WatchedReaders.h"

#include <windows.h>

class DeviceWatch {
public:
    static DeviceWatch &Instance();

    // Lists the readers, handles a token already present as an insertion
    // and registers both handlers for every reader (a reader that fails is
    // skipped). Returns 0 or the library's error from listing the readers.
    int Start(HWND frame);
    // At exit, before the libraries' caches are cleared: refuses later
    // handler runs and waits up to timeoutMs for the runs in progress. True
    // when nothing runs inside the libraries.
    bool Shutdown(unsigned timeoutMs);
    // Whether the libraries may be freed now (nothing inside them).
    bool MayReleaseLibraries();
    // Drops the frame handle so that late library calls post nothing.
    void Stop();

    // Insertion handler step 5, also run by the view's refresh button.
    void RegisterCertificates(const char *reader);

    const ReaderList &Readers() const { return m_readers; }
    // Lists the readers again (the browser watch does).
    int ListReaders(ReaderList &out);
    // On the window thread, once the watch has started: the readers are
    // listed again; one that appeared since is watched as at start, one that
    // went away leaves the list. 0 or the library's error.
    int Relist();
    // Changes whenever a token or a reader may have come or gone.
    long Changes() const { return m_changes; }
    // Whether the token icon belongs in the notification area.
    bool AnyTokenPresent() const;

    static int TOKAPI OnInserted(void *reader);
    static int TOKAPI OnRemoved(void *reader);

private:
    DeviceWatch();
    static void HandlePresentAtStart(const char *reader);
    void HandleInsertion(const char *reader);
    void HandleRemoval(const char *reader);
    HWND Frame() const { return m_frame; }

    CRITICAL_SECTION m_deviceLock;
    HWND volatile m_frame;
    bool m_started;
    long volatile m_changes;
    ReaderList m_readers; // replaced under the device lock: the removal handler reads it
    WatchedReaders m_watched;
    RegisteredCertText m_certText;
};
