// What the frame and the device watch use of the pop-up, the web settings,
// the browser and the expiry check: one narrow seam over those pieces.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

struct FrameWebSettings {
    bool setEvent = false;          // open the addresses at insertion, close them at removal
    std::vector<std::string> urls;  // the non-empty configured addresses, in file order
    int request = 0;                // open the request page for a token without containers
    std::string requestAddress;
    int iePrompt = 0;               // the browser-closed prompt
};

// Reads URLSet.ini of the program folder (defaults when absent).
void ReadFrameWebSettings(FrameWebSettings &settings);

// The pop-up: made once by the device watch; Exists is false before that.
void PopupEnsure();
bool PopupExists();
// Replaces the pop-up's text, shows and paints it.
void PopupShow(const char *text);

// Posts WM_CLOSE to the top-level window with that title, if any, without
// waiting: a hung window of another process must not hold up the frame.
bool RequestCloseWindowTitled(const char *title);

void OpenInBrowser(const char *address);
void CloseBrowserWindowsShowing(const std::vector<std::string> &addresses);
void ClearBrowserSslState();

// Replaces text by the expiry warning when a certificate of the reader's
// token expires soon; returns whether it did.
bool BuildExpiryWarning(const char *reader, char *text, size_t size);
