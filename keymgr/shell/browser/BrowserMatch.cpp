#include "keymgr/shell/browser/BrowserMatch.h"

#include <algorithm>

namespace {

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

std::string Folded(const std::string &text)
{
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = FoldAscii(out[i]);
    return out;
}

} // namespace

bool LocationMatchesAny(const std::string &location, const std::vector<std::string> &addresses)
{
    std::string where = Folded(location);
    for (size_t i = 0; i < addresses.size(); ++i) {
        if (addresses[i].empty())
            continue;
        if (where.find(Folded(addresses[i])) != std::string::npos)
            return true;
    }
    return false;
}

std::vector<uintptr_t> BrowserWindowsToClose(const std::vector<BrowserWindowInfo> &windows,
                                             const std::vector<std::string> &addresses)
{
    std::vector<uintptr_t> out;
    for (size_t i = 0; i < windows.size(); ++i) {
        if (!windows[i].window || !LocationMatchesAny(windows[i].location, addresses))
            continue;
        if (std::find(out.begin(), out.end(), windows[i].window) == out.end())
            out.push_back(windows[i].window);
    }
    return out;
}
