#include "keymgr/shell/DeviceWatch.h"

#include "common/BoundedCopy.h"
#include "common/CriticalSectionHold.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/CurrentToken.h"
#include "keymgr/shell/DebugTrace.h"
#include "keymgr/shell/DefaultPinCheck.h"
#include "keymgr/shell/FrameMessages.h"
#include "keymgr/shell/FrameServices.h"
#include "keymgr/shell/HandedPointers.h"
#include "keymgr/shell/HandlerGate.h"
#include "keymgr/shell/ReaderListRead.h"
#include "keymgr/shell/ReaderSlots.h"
#include "keymgr/shell/ReaderWatch.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/TrayIcon.h"

#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

// Long reader names skip the certificate and web steps.
bool ReaderNameUsable(const char *reader)
{
    return strnlen(reader, READER_NAME_SIZE) <= READER_NAME_SIZE - 1;
}

bool PinCodeCheckEnabled()
{
    int enabled = 0;
    return Tok::PCODE_IsCheck(&enabled) == 0 && enabled != 0;
}

} // namespace

bool PostReaderNotice(HWND frame, UINT msg, WPARAM kind, const char *reader, const char *text)
{
    if (!frame)
        return false;
    ReaderNotice *notice = static_cast<ReaderNotice *>(calloc(1, sizeof(ReaderNotice)));
    if (!notice)
        return false;
    CopyBounded(notice->reader, sizeof(notice->reader), reader);
    CopyBounded(notice->text, sizeof(notice->text), text);
    FrameRecords().Hand(notice);
    if (!PostMessageA(frame, msg, kind, reinterpret_cast<LPARAM>(notice))) {
        if (FrameRecords().Take(notice)) // else a forged message took and freed it
            free(notice);
        return false;
    }
    return true;
}

ReaderNotice *TakeReaderNotice(LPARAM lParam)
{
    void *record = reinterpret_cast<void *>(lParam);
    return FrameRecords().Take(record) ? static_cast<ReaderNotice *>(record) : NULL;
}

DeviceWatch &DeviceWatch::Instance()
{
    static DeviceWatch watch;
    return watch;
}

DeviceWatch::DeviceWatch() : m_frame(NULL)
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
    // The names handed to the library stay valid: m_readers is not
    // reassigned while the frame lives.
    WatchReaders(m_readers, &DeviceWatch::OnInserted, &DeviceWatch::OnRemoved, &DeviceWatch::HandlePresentAtStart);
    return 0;
}

bool DeviceWatch::Shutdown(unsigned timeoutMs)
{
    // Closed first, so that a handler the library starts from now on
    // returns at once; then the library is told to stop calling.
    LibraryGate().CloseAndWait(0);
    UnwatchReaders(m_readers);
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
    HandlerGateRun run(LibraryGate());
    if (run.Entered())
        Instance().HandleInsertion(reader);
}

int TOKAPI DeviceWatch::OnInserted(void *reader)
{
    HandlerGateRun run(LibraryGate());
    if (run.Entered() && reader)
        Instance().HandleInsertion(static_cast<const char *>(reader));
    return 0;
}

int TOKAPI DeviceWatch::OnRemoved(void *reader)
{
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
    int type = 0;
    Tok::ZRGetMsnType(&type);
    if (type == 1)
        PostReaderNotice(Frame(), WM_ZV_NOTIFY, NOTIFY_INSERTED, reader, "");

    // The notice carries this reader's text: a later token's load cannot
    // change what this one announces.
    std::string text = m_certText.Load(reader);
    if (type == 1 || type == 2)
        PostReaderNotice(Frame(), WM_ZV_NOTIFY, NOTIFY_CERTIFICATE, reader, text.c_str());

    FrameWebSettings web;
    ReadFrameWebSettings(web);
    uint32_t containers = 0;
    int rc = Tok::OC_GetContainerNum(0, reader, &containers);
    if (web.setEvent && (rc != 0 || containers != 0) && Frame())
        PostMessageA(Frame(), WM_ZV_WEBPAGES, WEBPAGES_OPEN, 0);
    if (rc == 0 && containers == 0 && web.request > 0 && Frame())
        PostMessageA(Frame(), WM_ZV_REQUEST_CERT, 1, 0);
}

void DeviceWatch::HandleInsertion(const char *reader)
{
    HWND frame = Frame();
    if (frame)
        TrayIconAdd(frame, TRAY_ID_TOKEN, UserTitle);
    CCriticalSectionHold hold(m_deviceLock);
    try {
        Sleep(200);
        SetCurrentReader(reader);
        if (PinCodeCheckEnabled()) {
            int matches = 0;
            if (Tok::PCODE_Compare(reader, &matches) != 0 || !matches)
                return; // not this user's token: ignored until removed
            if (!VerifiedReaders().Store(reader, 1))
                DebugTrace("verified-reader table full: %s", reader);
        }
        PendingDefaultPinChecks().Arm(reader);
        RegisterCertificates(reader);
        Sleep(200);
        if (Frame())
            PostMessageA(Frame(), WM_ZV_REFRESH, 0, 0);
    } catch (...) {
    }
}

bool DeviceWatch::RemovalCounts(const char *reader)
{
    if (!PinCodeCheckEnabled())
        return true;
    // Not verified at insertion, nor by the view's listing since: ignored.
    return VerifiedReaders().TakeVerified(reader);
}

void DeviceWatch::HandleRemoval(const char *reader)
{
    CCriticalSectionHold hold(m_deviceLock);
    try {
        Sleep(200);
        if (Frame())
            PostMessageA(Frame(), WM_ZV_REFRESH, 0, 0);
        Sleep(200);
        bool counted = ReaderNameUsable(reader) && RemovalCounts(reader);
        if (counted) {
            int type = 0;
            Tok::ZRGetMsnType(&type);
            if (type == 1 || type == 2)
                PostReaderNotice(Frame(), WM_ZV_NOTIFY, NOTIFY_REMOVED, reader, "");
            Tok::CSPRefreshIECert(m_readers.MultiString());
            Tok::ZVRefreshCachedPin(m_readers.MultiString());
            Tok::ZVClearCachedCSP();
            ClearBrowserSslState();
            FrameWebSettings web;
            ReadFrameWebSettings(web);
            if (web.setEvent && Frame())
                PostMessageA(Frame(), WM_ZV_WEBPAGES, WEBPAGES_CLOSE, 0);
        }
        // Also for a token ignored at insertion, which got the icon too; kept
        // while another token is still in its reader.
        if (Frame() && !AnyTokenPresent())
            TrayIconDelete(Frame(), TRAY_ID_TOKEN);
        if (counted)
            ClearBrowserSslState();
    } catch (...) {
    }
}
