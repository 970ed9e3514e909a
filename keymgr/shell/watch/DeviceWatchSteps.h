// What the two device-change handlers do for one reader, step by step. The
// token library is called here, in the handlers' order; whatever touches a
// window, the tray or the browser goes through the outlet the device watch
// gives, so that the steps run natively against a fake library.
#pragma once

#include "keymgr/shell/services/FrameServices.h"
#include "keymgr/shell/token/ReaderList.h"
#include "keymgr/shell/watch/RegisteredCertText.h"

#include <string>

// The pause a handler makes between its steps (the library's threads settle).
enum { HANDLER_STEP_PAUSE_MS = 200 };

class IWatchOutlet {
public:
    virtual ~IWatchOutlet() {}
    // False once the frame is gone; every post is then dropped.
    virtual bool FrameAlive() const = 0;
    virtual void Pause(unsigned ms) = 0;
    virtual void Trace(const std::string &line) = 0;
    virtual void PostInsertedNotice(const char *reader) = 0;
    virtual void PostCertificateNotice(const char *reader, const char *text) = 0;
    virtual void PostRemovedNotice(const char *reader) = 0;
    virtual void PostRefresh() = 0;
    virtual void OpenWebPages() = 0;
    virtual void CloseWebPages() = 0;
    virtual void RequestCertificate() = 0;
    virtual void RemoveTokenIcon() = 0;
    virtual void ClearSslState() = 0;
    virtual void ReadWebSettings(FrameWebSettings &settings) = 0;
};

// Long reader names skip the certificate and web steps.
bool ReaderNameUsable(const char *reader);

// The insertion handler once the token icon is shown: the reader becomes the
// current one; with the PIN-code check on, a token that is not this user's
// is ignored until removed (false); else the default-PIN try is armed, the
// certificate step runs and the view is told to refresh.
bool RunInsertionSteps(IWatchOutlet &out, const char *reader, RegisteredCertText &certText);

// The certificate step (also the view's refresh button): the pop-up notices
// the library's pop-up type asks for, each carrying this reader's own
// registered-certificate text; then the bank's pages, or the request page
// for a token without containers.
void RunCertificateSteps(IWatchOutlet &out, const char *reader, RegisteredCertText &certText);

// The removal handler: the view refreshes first; a removal that counts (with
// the PIN-code check on, only a token verified at insertion) is announced,
// refreshes the libraries' caches, empties the SSL state and closes the
// bank's pages. The token icon goes when no listed reader holds a token.
// Returns whether the removal counted.
bool RunRemovalSteps(IWatchOutlet &out, const char *reader, const ReaderList &readers);
