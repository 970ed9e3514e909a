#include "keymgr/shell/WebSettings.h"

#include <algorithm>
#include <stdio.h>
#include <string.h>

namespace {

// A damaged file could be huge; the key list is never read beyond this.
const size_t kKeyListLimit = 16u << 20;

std::string ReadValue(IWebSetProfile &profile, const char *section, const char *key, size_t bufferSize)
{
    if (bufferSize == 0)
        return std::string();
    std::vector<char> buffer(bufferSize, '\0');
    size_t n = profile.GetString(section, key, "", &buffer[0], bufferSize);
    if (n >= bufferSize)
        n = bufferSize - 1;
    return std::string(&buffer[0], strnlen(&buffer[0], n));
}

// The key names of a section, grown until the list fits.
std::vector<char> ReadKeyNames(IWebSetProfile &profile, const char *section)
{
    std::vector<char> buffer;
    for (size_t size = 4096;; size *= 2) {
        buffer.assign(size, '\0');
        size_t n = profile.GetString(section, NULL, "", &buffer[0], size);
        if (n + 2 < size || size >= kKeyListLimit)
            return buffer;
    }
}

} // namespace

bool ParseUrlKeyIndex(const char *key, unsigned long *index)
{
    if (!key || (key[0] != 'U' && key[0] != 'u') || (key[1] != 'R' && key[1] != 'r') ||
        (key[2] != 'L' && key[2] != 'l'))
        return false;
    const char *digits = key + 3;
    if (*digits < '0' || *digits > '9')
        return false;
    // "%d" never writes a leading zero except for 0 itself.
    if (digits[0] == '0' && digits[1] != '\0')
        return false;
    unsigned long value = 0;
    for (const char *p = digits; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        unsigned long next = value * 10 + (unsigned long)(*p - '0');
        if (next / 10 != value || next > 0x7FFFFFFFul)
            return false;
        value = next;
    }
    *index = value;
    return true;
}

std::vector<unsigned long> UrlKeyIndices(const char *names, size_t size, long total)
{
    std::vector<unsigned long> indices;
    if (!names || total <= 0)
        return indices;
    size_t pos = 0;
    while (pos < size && names[pos] != '\0') {
        size_t len = strnlen(names + pos, size - pos);
        if (pos + len >= size)
            break; // a cut name at the end of the buffer
        std::string name(names + pos, len);
        unsigned long index;
        if (ParseUrlKeyIndex(name.c_str(), &index) && index < (unsigned long)total)
            indices.push_back(index);
        pos += len + 1;
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

bool WebPagesEnabled(IWebSetProfile &profile)
{
    return profile.GetInt(WEBSET_SECTION_SETTING, "SetEvent", 0) > 0;
}

std::vector<std::string> ReadWebAddresses(IWebSetProfile &profile)
{
    std::vector<std::string> addresses;
    int total = profile.GetInt(WEBSET_SECTION_SETTING, "TotalNum", 0);
    if (total <= 0)
        return addresses;
    std::vector<char> names = ReadKeyNames(profile, WEBSET_SECTION_SETTING);
    std::vector<unsigned long> indices = UrlKeyIndices(&names[0], names.size(), total);
    for (size_t i = 0; i < indices.size(); ++i) {
        char key[32];
        snprintf(key, sizeof(key), "URL%lu", indices[i]);
        std::string value = ReadValue(profile, WEBSET_SECTION_SETTING, key, WEBSET_VALUE_SIZE);
        if (!value.empty())
            addresses.push_back(value);
    }
    return addresses;
}

bool CertRequestEnabled(IWebSetProfile &profile)
{
    return profile.GetInt(WEBSET_SECTION_REQUEST, "REQUEST", 0) > 0;
}

std::string ReadCertRequestAddress(IWebSetProfile &profile, size_t bufferSize)
{
    return ReadValue(profile, WEBSET_SECTION_REQUEST, "REQUEST_ADDR", bufferSize);
}

bool ClosedPromptEnabled(IWebSetProfile &profile)
{
    return profile.GetInt(WEBSET_SECTION_PROMPT, "Prompt", 0) > 0;
}

bool WriteWebPageSettings(IWebSetProfile &profile, bool enabled, const std::vector<std::string> &addresses)
{
    if (!profile.WriteString(WEBSET_SECTION_SETTING, NULL, NULL) ||
        !profile.WriteString(WEBSET_SECTION_SETTING, "SetEvent", enabled ? "1" : "0"))
        return false;
    if (addresses.empty())
        return true;
    char number[32];
    snprintf(number, sizeof(number), "%d", (int)addresses.size());
    if (!profile.WriteString(WEBSET_SECTION_SETTING, "TotalNum", number))
        return false;
    for (size_t i = 0; i < addresses.size(); ++i) {
        char key[32];
        snprintf(key, sizeof(key), "URL%d", (int)i);
        if (!profile.WriteString(WEBSET_SECTION_SETTING, key, addresses[i].c_str()))
            return false;
    }
    return true;
}

bool WriteCertRequestFlag(IWebSetProfile &profile, bool enabled)
{
    return profile.WriteString(WEBSET_SECTION_REQUEST, "REQUEST", enabled ? "1" : "0");
}

bool WriteCertRequestAddress(IWebSetProfile &profile, const char *address)
{
    return profile.WriteString(WEBSET_SECTION_REQUEST, "REQUEST_ADDR", address ? address : "");
}
