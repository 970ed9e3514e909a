#include "assistant/host/protocol/PageAddress.h"

#include "common/Gbk.h"
#include "common/HexDigit.h"

namespace {

std::string Unescape(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        int high = i + 2 < text.size() && text[i] == '%' ? HexDigitValue(text[i + 1]) : -1;
        int low = high >= 0 ? HexDigitValue(text[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Folds case and slashes of single-byte characters only: a GBK trail byte
// may look like a letter or a backslash and must stay what it is.
std::string Fold(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (GbkIsLeadByte(c) && i + 1 < text.size()) {
            out += text[i];
            out += text[++i];
        } else if (c == '/') {
            out += '\\';
        } else if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c - 'A' + 'a');
        } else {
            out += text[i];
        }
    }
    return out;
}

bool StartsWithFolded(const std::string &text, const std::string &prefix)
{
    std::string folded = Fold(text);
    return folded.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool IsOwnResourceAddress(const std::string &url, const std::string &programPath)
{
    if (programPath.empty())
        return false;
    std::string prefix = Fold("res://" + programPath + "/");
    // A resource name must follow.
    if (url.size() <= prefix.size())
        return false;
    return StartsWithFolded(url, prefix) || StartsWithFolded(Unescape(url), prefix);
}

bool IsWebAddress(const std::string &url)
{
    std::string lower = Fold(url.substr(0, 8));
    size_t host;
    if (lower.compare(0, 7, "http:\\\\") == 0)
        host = 7;
    else if (lower.compare(0, 8, "https:\\\\") == 0)
        host = 8;
    else
        return false;
    if (url.size() <= host || url[host] == '/' || url[host] == '\\')
        return false;
    for (char ch : url) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F || c == '"')
            return false;
    }
    return true;
}

NavigationVerdict DecideNavigation(bool topLevel, const std::string &url, const std::string &programPath,
                                   bool runInProgress)
{
    if (topLevel && !IsOwnResourceAddress(url, programPath))
        return NavigationVerdict::RefuseForeign;
    return runInProgress ? NavigationVerdict::RefuseBusy : NavigationVerdict::Allow;
}

void PageDocuments::Navigated(const void *frame, bool topLevel, const std::string &url)
{
    if (topLevel) {
        m_top = url;
        m_frames.clear();
    } else {
        m_frames[frame] = url;
    }
}

bool PageDocuments::BridgeAllowed(const std::string &programPath) const
{
    if (!IsOwnResourceAddress(m_top, programPath))
        return false;
    for (const auto &frame : m_frames) {
        if (!IsOwnResourceAddress(frame.second, programPath))
            return false;
    }
    return true;
}
