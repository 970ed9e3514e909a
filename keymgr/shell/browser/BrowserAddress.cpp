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

bool IsAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "host.name[:port][/...|?...|#...]": labels of letters, digits and inner
// hyphens, at least two of them, an optional decimal port. Anything with a
// scheme ("about:", "file:", "javascript:") or an option ("-x") is not one.
bool IsBareHostAddress(const std::string &address)
{
    size_t end = address.find_first_of("/?#");
    std::string authority = address.substr(0, end);
    size_t colon = authority.find(':');
    std::string host = authority.substr(0, colon);
    if (colon != std::string::npos) {
        std::string port = authority.substr(colon + 1);
        if (port.empty() || port.size() > 5)
            return false;
        for (char c : port)
            if (!IsDigit(c))
                return false;
    }
    int labels = 0;
    size_t start = 0;
    while (start <= host.size()) {
        size_t dot = host.find('.', start);
        std::string label = host.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (label.empty() || label.size() > 63 || !IsAlnum(label[0]) || !IsAlnum(label[label.size() - 1]))
            return false;
        for (char c : label)
            if (!IsAlnum(c) && c != '-')
                return false;
        ++labels;
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return labels >= 2;
}

// The address as the browser gets it, or "" when it could not open it.
std::string WebAddress(const std::string &address)
{
    for (size_t i = 0; i < address.size(); ++i) {
        unsigned char c = (unsigned char)address[i];
        // A quote would end the argument early; line breaks and the like
        // have no place in an address.
        if (c == '"' || c < 0x20 || c == 0x7F)
            return std::string();
    }
    for (const char *scheme : {"http://", "https://"})
        if (StartsWithNoCase(address, scheme))
            return address.size() > strlen(scheme) ? address : std::string();
    return IsBareHostAddress(address) ? "http://" + address : std::string();
}

} // namespace

bool BrowserArgumentFor(const std::string &address, std::string *argument)
{
    std::string web = WebAddress(address);
    if (web.empty())
        return false;
    std::string quoted = "\"" + web;
    // Backslashes before the closing quote are doubled, so that they stay
    // backslashes and the quote still closes the argument.
    size_t trailing = 0;
    while (trailing < web.size() && web[web.size() - 1 - trailing] == '\\')
        ++trailing;
    quoted.append(trailing, '\\');
    quoted += "\"";
    *argument = quoted;
    return true;
}

bool BrowserCanOpen(const std::string &address)
{
    return !WebAddress(address).empty();
}
