// What of an address from URLSet.ini may reach the browser's command line:
// http and https addresses, and bare host names opened as http, as one
// quoted argument.
#pragma once

#include <string>

// The command-line argument for address: the address in double quotes. False
// (nothing to open) unless it starts with "http://" or "https://" (any case)
// followed by something, or is a bare host name ("www.bank.example/path",
// which is opened as "http://www.bank.example/path"); false too when it holds
// a double quote or a control character.
bool BrowserArgumentFor(const std::string &address, std::string *argument);

// Whether the browser could ever be given address (what the web settings
// accept from the user).
bool BrowserCanOpen(const std::string &address);
