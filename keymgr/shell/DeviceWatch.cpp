#include "keymgr/shell/DeviceWatch.h"

#include "common/BoundedCopy.h"
#include "common/CriticalSectionHold.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/CurrentToken.h"
#include "keymgr/shell/FrameMessages.h"
#include "keymgr/shell/FrameServices.h"
#include "keymgr/shell/ReaderSlots.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/TrayIcon.h"

#include <stdlib.h>
#include <string.h>

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

bool PostReaderNotice(HWND frame, UINT msg, WPARAM kind, const char *reader)
{
    if (!frame)
        return false;
    char *copy = static_cast<char *>(malloc(READER_NAME_SIZE));
    if (!copy)
        return false;
    CopyBounded(copy, READER_NAME_SIZE, reader);
    if (!PostMessageA(frame, msg, kind, reinterpret_cast<LPARAM>(copy))) {
        free(copy);
        return false;
    }
    return true;
}

DeviceWatch &DeviceWatch::Instance()
{
    static DeviceWatch watch;
    return watch;
}

DeviceWatch::DeviceWatch() : m_frame(NULL), m_certText(NULL), m_certTextSize(0)
{
    InitializeCriticalSection(&m_deviceLock);
}

int DeviceWatch::ListReaders(ReaderList &out)
{
    uint32_t size = 0, count = 0;
    int rc = Tok::QKListReaders(static_cast<char *>(NULL), &size, &count);
    if (rc != 0)
        return rc;
    if (size == 0) {
        out.Clear();
        return 0;
    }
    char *buffer = static_cast<char *>(calloc(size + 2, 1));
    if (!buffer)
        return -1;
    uint32_t filled = size;
    rc = Tok::QKListReaders(buffer, &filled, &count);
    if (rc == 0)
        out.Assign(buffer, filled < size ? filled : size, count);
    free(buffer);
    return rc;
}

int DeviceWatch::Start(HWND frame)
{
    m_frame = frame;
    PopupEnsure();

    uint32_t length = 0;
    Tok::ZRGetRegCertInfoLen(&length);
    {
        CCriticalSectionHold hold(m_deviceLock);
        free(m_certText);
        m_certText = static_cast<char *>(calloc(length + 1, 1));
        m_certTextSize = m_certText ? length : 0;
    }

    Tok::CSPUnAllIECert();

    int rc = ListReaders(m_readers);
    if (rc != 0)
        return rc;
    // The names handed to the library stay valid: m_readers is not
    // reassigned while the frame lives.
    for (size_t i = 0; i < m_readers.Size(); ++i) {
        const char *reader = m_readers.Name(i);
        uint32_t state = 0;
        rc = Tok::QKGetDevState(reader, &state);
        if (rc != 0)
            return rc;
        if (state == TOK_DEV_PRESENT)
            HandleInsertion(reader);
        rc = Tok::QKSetDevChgFunc(reader, &DeviceWatch::OnInserted, &DeviceWatch::OnRemoved,
                                  const_cast<char *>(reader), 0);
        if (rc != 0)
            return rc;
    }
    return 0;
}

void DeviceWatch::Stop()
{
    CCriticalSectionHold hold(m_deviceLock);
    m_frame = NULL;
}

void DeviceWatch::CopyRegisteredCertText(char *out, size_t size)
{
    CCriticalSectionHold hold(m_deviceLock);
    if (m_certText)
        CopyBoundedN(out, size, m_certText, m_certTextSize);
    else if (out && size)
        out[0] = '\0';
}

int TOKAPI DeviceWatch::OnInserted(void *reader)
{
    if (reader)
        Instance().HandleInsertion(static_cast<const char *>(reader));
    return 0;
}

int TOKAPI DeviceWatch::OnRemoved(void *reader)
{
    if (reader)
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
        PostReaderNotice(Frame(), WM_ZV_NOTIFY, NOTIFY_INSERTED, reader);

    uint32_t length = 0;
    Tok::ZRGetRegCertInfoLen(&length);
    uint32_t out1 = 0, out2 = 0, out3 = 0;
    if (m_certText) {
        // Never more than was allocated, whatever the library says now.
        uint32_t bounded = length < m_certTextSize ? length : m_certTextSize;
        Tok::CSPLoadCertToIE(reader, &out1, &out2, &out3, m_certText, &bounded);
        m_certText[m_certTextSize] = '\0';
    } else {
        char scratch[2] = "";
        uint32_t none = 0;
        Tok::CSPLoadCertToIE(reader, &out1, &out2, &out3, scratch, &none);
    }

    if (type == 1 || type == 2)
        PostReaderNotice(Frame(), WM_ZV_NOTIFY, NOTIFY_CERTIFICATE, reader);

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
        CopyBounded(SelReader, sizeof(SelReader), reader);
        if (PinCodeCheckEnabled()) {
            int matches = 0;
            if (Tok::PCODE_Compare(reader, &matches) != 0 || !matches)
                return; // not this user's token: ignored until removed
            VerifiedReaders().Store(reader, 1);
        }
        RegisterCertificates(reader);
        Sleep(200);
        if (Frame())
            PostMessageA(Frame(), WM_ZV_REFRESH, 0, 0);
    } catch (...) {
    }
}

void DeviceWatch::HandleRemoval(const char *reader)
{
    CCriticalSectionHold hold(m_deviceLock);
    try {
        Sleep(200);
        if (Frame())
            PostMessageA(Frame(), WM_ZV_REFRESH, 0, 0);
        Sleep(200);
        if (!ReaderNameUsable(reader))
            return;
        if (PinCodeCheckEnabled()) {
            const ReaderSlot *slot = VerifiedReaders().Find(reader);
            if (!slot || !slot->verified)
                return; // ignored at insertion
            VerifiedReaders().Store(reader, 0);
        }
        int type = 0;
        Tok::ZRGetMsnType(&type);
        if (type == 1 || type == 2)
            PostReaderNotice(Frame(), WM_ZV_NOTIFY, NOTIFY_REMOVED, reader);
        Tok::CSPRefreshIECert(m_readers.MultiString());
        Tok::ZVRefreshCachedPin(m_readers.MultiString());
        Tok::ZVClearCachedCSP();
        ClearBrowserSslState();
        FrameWebSettings web;
        ReadFrameWebSettings(web);
        if (web.setEvent && Frame())
            PostMessageA(Frame(), WM_ZV_WEBPAGES, WEBPAGES_CLOSE, 0);
        if (Frame())
            TrayIconDelete(Frame(), TRAY_ID_TOKEN);
        ClearBrowserSslState();
    } catch (...) {
    }
}
