#include "assistant/engine/version/VersionRules.h"

#include "common/HexDigit.h"

static void RemoveAt(std::string &s, size_t pos)
{
    if (pos < s.size())
        s.erase(pos, 1);
}

static void DotsToZero(std::string &s)
{
    for (char &c : s)
        if (c == '.')
            c = '0';
}

std::string NormaliseInstalledVersion(const std::string &dotted)
{
    std::string s = dotted;
    size_t first = s.find('.');
    if (first != std::string::npos) {
        RemoveAt(s, first);
        size_t p = s.find('.');
        if (p != std::string::npos) {
            size_t q = s.find('.', p + 1);
            if (q == std::string::npos) {
                s[p] = '0';
            } else {
                size_t after = s.size() - q - 1;
                if (q - p == 2) {
                    if (after != 3)
                        RemoveAt(s, q);
                    DotsToZero(s);
                } else if (q - p == 3) {
                    RemoveAt(s, p);
                    if (after == 3)
                        DotsToZero(s);
                    else
                        RemoveAt(s, q - 1);
                }
            }
        }
    }
    if (s.size() < 8)
        s.append(8 - s.size(), '0');
    return s;
}

void DecodeVersionBytes(const std::string &text, uint8_t (&bytes)[4])
{
    uint8_t out[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        int hi = text.size() > size_t(2 * i) ? HexDigitValue(text[2 * i]) : -1;
        int lo = text.size() > size_t(2 * i + 1) ? HexDigitValue(text[2 * i + 1]) : -1;
        if (hi < 0 || lo < 0) {
            for (uint8_t &b : bytes)
                b = 0;
            return;
        }
        out[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    for (int i = 0; i < 4; ++i)
        bytes[i] = out[i];
}

bool IsPublishedVersion(const std::string &published)
{
    if (published.size() != 8)
        return false;
    for (size_t i = 0; i < 8; ++i)
        if (HexDigitValue(published[i]) < 0)
            return false;
    return true;
}

int CompareVersionForms(const std::string &a, const std::string &b)
{
    uint8_t x[4], y[4];
    DecodeVersionBytes(a, x);
    DecodeVersionBytes(b, y);
    for (int i = 0; i < 4; ++i) {
        if (x[i] != y[i])
            return x[i] > y[i] ? 1 : -1;
    }
    return 0;
}

int InstalledIsCurrent(const std::string &installedDotted, const std::string &published)
{
    return CompareVersionForms(NormaliseInstalledVersion(installedDotted), published) >= 0 ? 1 : 0;
}
