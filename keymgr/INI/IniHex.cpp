#include "keymgr/INI/IniHex.h"

#include "common/HexDigit.h"

bool DecodeIniHex(const std::string &text, std::vector<uint8_t> &bytes)
{
    bytes.clear();
    if (text.size() % 2)
        return false;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = HexDigitValue(text[i]);
        int lo = HexDigitValue(text[i + 1]);
        if (hi < 0 || lo < 0) {
            bytes.clear();
            return false;
        }
        bytes.push_back((uint8_t)(hi * 16 + lo));
    }
    return true;
}

std::string EncodeIniHex(const void *data, size_t length)
{
    static const char digits[] = "0123456789ABCDEF";
    const uint8_t *p = static_cast<const uint8_t *>(data);
    std::string text;
    if (!p)
        return text;
    text.reserve(length * 2);
    for (size_t i = 0; i < length; ++i) {
        text += digits[p[i] >> 4];
        text += digits[p[i] & 0x0F];
    }
    return text;
}
