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

// Case of ASCII letters and slashes only: every byte of a UTF-8 sequence
// is 0x80 or above and stays what it is.
std::string FoldUtf8(const std::string &text)
{
    std::string out(text);
    for (char &c : out) {
        if (c == '/')
            c = '\\';
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool StartsWithNoCase(const std::string &text, const char *prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i) {
        char c = i < text.size() ? text[i] : '\0';
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

// Whether text is well-formed UTF-8 (plain ASCII is).
bool IsUtf8(const std::string &text)
{
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t more = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
        if (more == 9 || (more && (c < 0xC2 || i + more >= text.size())))
            return false;
        for (size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += more + 1;
    }
    return true;
}

// Folded text holding a "." or ".." segment or another "res:"; in GBK text
// a trail byte is never a separator.
bool HasDotSegmentOrSecondScheme(const std::string &folded, bool gbk)
{
    size_t segment = 0;
    for (size_t i = 0; i <= folded.size(); ++i) {
        unsigned char c = i < folded.size() ? static_cast<unsigned char>(folded[i]) : '\\';
        if (gbk && GbkIsLeadByte(c) && i + 1 < folded.size()) {
            ++i;
            continue;
        }
        if (c == '\\') {
            std::string part = folded.substr(segment, i - segment);
            if (part == "." || part == "..")
                return true;
            segment = i + 1;
        }
    }
    return folded.find("res:") != std::string::npos;
}

}  // namespace

bool IsOwnResourceAddress(const std::string &url, const ModulePath &own)
{
    if (!StartsWithNoCase(url, "res://"))
        return false;
    std::string rest = Unescape(url.substr(6));
    // The resource name follows the last '/', a byte no GBK character holds.
    size_t slash = rest.find_last_of('/');
    if (slash == std::string::npos || slash + 1 >= rest.size())
        return false;
    std::string name = rest.substr(slash + 1);
    if (name.find('\\') != std::string::npos || name == "." || name == "..")
        return false;
    bool utf8 = IsUtf8(rest);
    if (HasDotSegmentOrSecondScheme(utf8 ? FoldUtf8(rest) : Fold(rest), !utf8))
        return false;
    std::string path = rest.substr(0, slash);
    if (!own.unicode.empty() && FoldUtf8(path) == FoldUtf8(own.unicode))
        return true;
    return !own.ansi.empty() && Fold(path) == Fold(own.ansi);
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

NavigationVerdict DecideNavigation(bool topLevel, const std::string &url, const ModulePath &own,
                                   bool runInProgress)
{
    if (topLevel && !IsOwnResourceAddress(url, own))
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

bool PageDocuments::BridgeAllowed(const ModulePath &own) const
{
    if (!IsOwnResourceAddress(m_top, own))
        return false;
    for (const auto &frame : m_frames) {
        if (!IsOwnResourceAddress(frame.second, own))
            return false;
    }
    return true;
}
