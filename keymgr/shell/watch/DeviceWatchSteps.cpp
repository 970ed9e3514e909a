#include "keymgr/shell/watch/DeviceWatchSteps.h"

#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/defaultpin/DefaultPinTries.h"
#include "keymgr/shell/token/CurrentToken.h"
#include "keymgr/shell/token/ReaderEvents.h"
#include "keymgr/shell/token/ReaderSlots.h"
#include "keymgr/shell/watch/ReaderWatch.h"

#include <string.h>

namespace {

bool PinCodeCheckEnabled()
{
    int enabled = 0;
    return Tok::PCODE_IsCheck(&enabled) == 0 && enabled != 0;
}

// Pop-up type 1 announces insertions; 1 and 2 announce certificates and removals.
int PopupType()
{
    int type = 0;
    Tok::ZRGetMsnType(&type);
    return type;
}

bool RemovalCounts(const char *reader)
{
    if (!PinCodeCheckEnabled())
        return true;
    // Not verified at insertion, nor by the view's listing since: ignored.
    return VerifiedReaders().TakeVerified(reader);
}

} // namespace

bool ReaderNameUsable(const char *reader)
{
    return strnlen(reader, READER_NAME_SIZE) <= READER_NAME_SIZE - 1;
}

bool RunInsertionSteps(IWatchOutlet &out, const char *reader, RegisteredCertText &certText)
{
    NoteReaderEvent(reader);
    out.Pause(HANDLER_STEP_PAUSE_MS);
    SetCurrentReader(reader);
    if (PinCodeCheckEnabled()) {
        int matches = 0;
        if (Tok::PCODE_Compare(reader, &matches) != 0 || !matches)
            return false;
        if (!VerifiedReaders().Store(reader, 1))
            out.Trace(std::string("verified-reader table full: ") + reader);
    }
    PendingDefaultPinTries().Arm(reader);
    RunCertificateSteps(out, reader, certText);
    out.Pause(HANDLER_STEP_PAUSE_MS);
    out.PostRefresh();
    return true;
}

void RunCertificateSteps(IWatchOutlet &out, const char *reader, RegisteredCertText &certText)
{
    if (!ReaderNameUsable(reader))
        return;
    int type = PopupType();
    if (type == 1)
        out.PostInsertedNotice(reader);
    // The notice carries this reader's text: a later token's load cannot
    // change what this one announces.
    std::string text = certText.Load(reader);
    if (type == 1 || type == 2)
        out.PostCertificateNotice(reader, text.c_str());

    FrameWebSettings web;
    out.ReadWebSettings(web);
    uint32_t containers = 0;
    int rc = Tok::OC_GetContainerNum(0, reader, &containers);
    // A count that cannot be read still opens the pages.
    if (web.setEvent && (rc != 0 || containers != 0))
        out.OpenWebPages();
    if (rc == 0 && containers == 0 && web.request > 0)
        out.RequestCertificate();
}

bool RunRemovalSteps(IWatchOutlet &out, const char *reader, const ReaderList &readers)
{
    // First: a dialog open for this token must know it left, whatever follows.
    NoteReaderEvent(reader);
    out.Pause(HANDLER_STEP_PAUSE_MS);
    out.PostRefresh();
    out.Pause(HANDLER_STEP_PAUSE_MS);
    bool counted = ReaderNameUsable(reader) && RemovalCounts(reader);
    if (counted) {
        int type = PopupType();
        if (type == 1 || type == 2)
            out.PostRemovedNotice(reader);
        Tok::CSPRefreshIECert(readers.MultiString());
        Tok::ZVRefreshCachedPin(readers.MultiString());
        Tok::ZVClearCachedCSP();
        out.ClearSslState();
        FrameWebSettings web;
        out.ReadWebSettings(web);
        if (web.setEvent)
            out.CloseWebPages();
    }
    // Also for a token ignored at insertion, which got the icon too; kept
    // while another token is still in its reader.
    if (out.FrameAlive() && !AnyTokenPresent(readers))
        out.RemoveTokenIcon();
    if (counted)
        out.ClearSslState();
    return counted;
}
