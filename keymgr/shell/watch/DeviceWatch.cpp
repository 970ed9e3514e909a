#include "keymgr/shell/watch/DeviceWatch.h"

#include "common/win32/CriticalSectionHold.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/DebugTrace.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/notice/ReaderNotice.h"
#include "keymgr/shell/services/FrameServices.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/token/ReaderListRead.h"
#include "keymgr/shell/tray/TrayIcon.h"
#include "keymgr/shell/watch/DeviceWatchSteps.h"
#include "keymgr/shell/watch/FrameMessages.h"
#include "keymgr/shell/watch/HandlerGate.h"
#include "keymgr/shell/watch/ReaderWatch.h"

#include <string>

namespace {

// The device watch's side of the handler steps: posts to the frame (read
// anew each time, as exit drops it), the tray icon, the browser.
class FrameOutlet : public IWatchOutlet {
public:
    explicit FrameOutlet(HWND volatile &frame) : m_frame(frame) {}
    bool FrameAlive() const override { return m_frame != NULL; }
    void Pause(unsigned ms) override { Sleep(ms); }
    void Trace(const std::string &line) override { DebugTrace("%s", line.c_str()); }
    void PostInsertedNotice(const char *reader) override
    {
        PostReaderNotice(m_frame, WM_ZV_NOTICE, NOTICE_INSERTED, reader, "");
    }
    void PostCertificateNotice(const char *reader, const char *text) override
    {
        PostReaderNotice(m_frame, WM_ZV_NOTICE, NOTICE_CERTIFICATE, reader, text);
    }
    void PostRemovedNotice(const char *reader) override
    {
        PostReaderNotice(m_frame, WM_ZV_NOTICE, NOTICE_REMOVED, reader, "");
    }
    void PostRefresh() override { Post(WM_ZV_REFRESH, 0); }
    void OpenWebPages() override { Post(WM_ZV_WEBPAGES, WEBPAGES_OPEN); }
    void CloseWebPages() override { Post(WM_ZV_WEBPAGES, WEBPAGES_CLOSE); }
    void RequestCertificate() override { Post(WM_ZV_REQUEST_CERT, 1); }
    void RemoveTokenIcon() override
    {
        HWND frame = m_frame;
        if (frame)
            TrayIconDelete(frame, TRAY_ID_TOKEN);
    }
    void ClearSslState() override { ClearBrowserSslState(); }
    void ReadWebSettings(FrameWebSettings &settings) override { ReadFrameWebSettings(settings); }

private:
    void Post(UINT msg, WPARAM wParam)
    {
        HWND frame = m_frame;
        if (frame)
            PostMessageA(frame, msg, wParam, 0);
    }

    HWND volatile &m_frame;
};

} // namespace

DeviceWatch &DeviceWatch::Instance()
{
    static DeviceWatch watch;
    return watch;
}

DeviceWatch::DeviceWatch() : m_frame(NULL), m_started(false), m_changes(0)
{
    InitializeCriticalSection(&m_deviceLock);
}

int DeviceWatch::ListReaders(ReaderList &out)
{
    return static_cast<int>(ReadReaderList(out));
}

bool DeviceWatch::AnyTokenPresent() const
{
    return ::AnyTokenPresent(m_readers);
}

int DeviceWatch::Start(HWND frame)
{
    m_frame = frame;
    PopupEnsure();
    {
        CCriticalSectionHold hold(m_deviceLock);
        m_certText.Allocate();
    }

    Tok::CSPUnAllIECert();

    int rc = ListReaders(m_readers);
    if (rc != 0) {
        CCriticalSectionHold hold(m_deviceLock);
        m_certText.Release();
        return rc;
    }
    m_started = true;
    m_watched.WatchNew(m_readers, &DeviceWatch::OnInserted, &DeviceWatch::OnRemoved,
                       &DeviceWatch::HandlePresentAtStart);
    return 0;
}

int DeviceWatch::Relist()
{
    if (!m_started)
        return 0;
    ReaderList fresh;
    int rc = ListReaders(fresh);
    if (rc != 0)
        return rc;
    // Outside the device lock, as at start: a library may wait for its own
    // handler threads while it registers.
    m_watched.WatchNew(fresh, &DeviceWatch::OnInserted, &DeviceWatch::OnRemoved, &DeviceWatch::HandlePresentAtStart);
    if (!fresh.SameNames(m_readers)) {
        CCriticalSectionHold hold(m_deviceLock);
        m_readers = fresh;
        InterlockedIncrement(&m_changes);
    }
    return 0;
}

bool DeviceWatch::Shutdown(unsigned timeoutMs)
{
    // Closed first, so that a handler the library starts from now on
    // returns at once. The readers stay registered: the library lists no
    // way to unregister, and a late call finds the gate closed.
    LibraryGate().CloseAndWait(0);
    bool idle = LibraryGate().CloseAndWait(timeoutMs);
    // Not under the device lock: a run that did not end may hold it.
    m_frame = NULL;
    if (!idle)
        DebugTrace("exit: a handler is still inside the token library");
    return idle;
}

bool DeviceWatch::MayReleaseLibraries()
{
    return LibraryGate().CloseAndWait(0);
}

void DeviceWatch::Stop()
{
    m_frame = NULL;
}

void DeviceWatch::HandlePresentAtStart(const char *reader)
{
    InterlockedIncrement(&Instance().m_changes);
    HandlerGateRun run(LibraryGate());
    if (run.Entered())
        Instance().HandleInsertion(reader);
}

int TOKAPI DeviceWatch::OnInserted(void *reader)
{
    InterlockedIncrement(&Instance().m_changes);
    HandlerGateRun run(LibraryGate());
    if (run.Entered() && reader)
        Instance().HandleInsertion(static_cast<const char *>(reader));
    return 0;
}

int TOKAPI DeviceWatch::OnRemoved(void *reader)
{
    InterlockedIncrement(&Instance().m_changes);
    HandlerGateRun run(LibraryGate());
    if (run.Entered() && reader)
        Instance().HandleRemoval(static_cast<const char *>(reader));
    return 0;
}

void DeviceWatch::RegisterCertificates(const char *reader)
{
    if (!ReaderNameUsable(reader))
        return;
    // The refresh button runs this on the window thread; the buffer is shared
    // with the library threads.
    CCriticalSectionHold hold(m_deviceLock);
    FrameOutlet out(m_frame);
    RunCertificateSteps(out, reader, m_certText);
}

void DeviceWatch::HandleInsertion(const char *reader)
{
    HWND frame = Frame();
    if (frame)
        TrayIconAdd(frame, TRAY_ID_TOKEN, UserTitle);
    CCriticalSectionHold hold(m_deviceLock);
    try {
        FrameOutlet out(m_frame);
        RunInsertionSteps(out, reader, m_certText);
    } catch (...) {
    }
}

void DeviceWatch::HandleRemoval(const char *reader)
{
    CCriticalSectionHold hold(m_deviceLock);
    try {
        FrameOutlet out(m_frame);
        RunRemovalSteps(out, reader, m_readers);
    } catch (...) {
    }
}
