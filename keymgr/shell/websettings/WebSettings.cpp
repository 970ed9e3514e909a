#include "keymgr/shell/websettings/WebSettings.h"

#include <algorithm>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

namespace {

// A file that could not be named (the program folder is unknown) gives the
// defaults and takes no write.
bool Named(const CIni &ini)
{
    return ini.GetPathName()[0] != '\0';
}

int ReadInt(const CIni &ini, const char *section, const char *key)
{
    return Named(ini) ? ini.GetProfileInt(section, key, 0) : 0;
}

// The value as a buffer of bufferSize bytes holds it: cut to bufferSize-1.
std::string ReadValue(const CIni &ini, const char *section, const char *key, size_t bufferSize)
{
    if (bufferSize == 0 || !Named(ini))
        return std::string();
    std::string value = ini.GetString(section, key, "");
    if (value.size() >= bufferSize)
        value.resize(bufferSize - 1);
    return value;
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

bool WebPagesEnabled(const CIni &ini)
{
    return ReadInt(ini, WEBSET_SECTION_SETTING, "SetEvent") > 0;
}

std::vector<std::string> ReadWebAddresses(const CIni &ini)
{
    std::vector<std::string> addresses;
    int total = ReadInt(ini, WEBSET_SECTION_SETTING, "TotalNum");
    if (total <= 0)
        return addresses;
    std::vector<std::string> keys;
    ini.GetKeyNames(WEBSET_SECTION_SETTING, keys);
    std::string names;
    for (const std::string &key : keys)
        names.append(key).push_back('\0');
    names.push_back('\0');
    std::vector<unsigned long> indices = UrlKeyIndices(names.data(), names.size(), total);
    for (size_t i = 0; i < indices.size(); ++i) {
        char key[32];
        snprintf(key, sizeof(key), "URL%lu", indices[i]);
        std::string value = ReadValue(ini, WEBSET_SECTION_SETTING, key, WEBSET_VALUE_SIZE);
        if (!value.empty())
            addresses.push_back(value);
    }
    return addresses;
}

bool CertRequestEnabled(const CIni &ini)
{
    return ReadInt(ini, WEBSET_SECTION_REQUEST, "REQUEST") > 0;
}

std::string ReadCertRequestAddress(const CIni &ini, size_t bufferSize)
{
    return ReadValue(ini, WEBSET_SECTION_REQUEST, "REQUEST_ADDR", bufferSize);
}

bool ClosedPromptEnabled(const CIni &ini)
{
    return ReadInt(ini, WEBSET_SECTION_PROMPT, "Prompt") > 0;
}

bool WriteWebPageSettings(CIni &ini, bool enabled, const std::vector<std::string> &addresses)
{
    if (!Named(ini) || !ini.DeleteSection(WEBSET_SECTION_SETTING) ||
        !ini.WriteString(WEBSET_SECTION_SETTING, "SetEvent", enabled ? "1" : "0"))
        return false;
    if (addresses.empty())
        return true;
    char number[32];
    snprintf(number, sizeof(number), "%d", (int)addresses.size());
    if (!ini.WriteString(WEBSET_SECTION_SETTING, "TotalNum", number))
        return false;
    for (size_t i = 0; i < addresses.size(); ++i) {
        char key[32];
        snprintf(key, sizeof(key), "URL%d", (int)i);
        if (!ini.WriteString(WEBSET_SECTION_SETTING, key, addresses[i].c_str()))
            return false;
    }
    return true;
}

bool WriteCertRequestFlag(CIni &ini, bool enabled)
{
    return Named(ini) && ini.WriteString(WEBSET_SECTION_REQUEST, "REQUEST", enabled ? "1" : "0");
}

bool WriteCertRequestAddress(CIni &ini, const char *address)
{
    return Named(ini) && ini.WriteString(WEBSET_SECTION_REQUEST, "REQUEST_ADDR", address ? address : "");
}
