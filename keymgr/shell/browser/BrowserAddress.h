// What of an address from URLSet.ini may reach the browser's command line:
// http and https addresses only, as one quoted argument.
#pragma once

#include <string>

// The command-line argument for address: the address in double quotes. False
// (nothing to open) unless it starts with "http://" or "https://" (any case),
// or when it holds a double quote or a control character.
bool BrowserArgumentFor(const std::string &address, std::string *argument);
