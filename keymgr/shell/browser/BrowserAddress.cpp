#include "keymgr/shell/browser/BrowserAddress.h"

#include <string.h>

namespace {

bool StartsWithNoCase(const std::string &text, const char *prefix)
{
    size_t n = strlen(prefix);
    if (text.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

} // namespace

bool BrowserArgumentFor(const std::string &address, std::string *argument)
{
    if (!StartsWithNoCase(address, "http://") && !StartsWithNoCase(address, "https://"))
        return false;
    for (size_t i = 0; i < address.size(); ++i) {
        unsigned char c = (unsigned char)address[i];
        // A quote would end the argument early; line breaks and the like
        // have no place in an address.
        if (c == '"' || c < 0x20 || c == 0x7F)
            return false;
    }
    std::string quoted = "\"" + address;
    // Backslashes before the closing quote are doubled, so that they stay
    // backslashes and the quote still closes the argument.
    size_t trailing = 0;
    while (trailing < address.size() && address[address.size() - 1 - trailing] == '\\')
        ++trailing;
    quoted.append(trailing, '\\');
    quoted += "\"";
    *argument = quoted;
    return true;
}
