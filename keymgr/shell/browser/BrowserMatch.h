// Which browser windows belong to the bank: those whose address contains one
// of the configured addresses.
#pragma once

#include <stdint.h>
#include <string>
#include <vector>

struct BrowserWindowInfo {
    uintptr_t window; // the window handle, as a number
    std::string location;
};

// Case-insensitive (ASCII letters) substring test against every address; an
// empty address matches nothing, so an empty entry never closes every window.
bool LocationMatchesAny(const std::string &location, const std::vector<std::string> &addresses);

// The windows to close, in list order, each once.
std::vector<uintptr_t> BrowserWindowsToClose(const std::vector<BrowserWindowInfo> &windows,
                                             const std::vector<std::string> &addresses);
