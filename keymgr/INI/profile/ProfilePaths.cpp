#include "keymgr/INI/profile/ProfilePaths.h"

#include "common/BoundedCopy.h"
#include "common/Gbk.h"

#include <string>

namespace {

const size_t NONE = (size_t)-1;

// Positions of the last separator and of the last "." after it.
void Scan(const char *path, size_t &lastSlash, size_t &lastDot)
{
    lastSlash = NONE;
    lastDot = NONE;
    for (size_t i = 0; path[i] != '\0';) {
        if (GbkIsLeadByte((unsigned char)path[i]) && path[i + 1] != '\0') {
            i += 2;
            continue;
        }
        if (path[i] == '\\') {
            lastSlash = i;
            lastDot = NONE;
        } else if (path[i] == '.') {
            lastDot = i;
        }
        ++i;
    }
}

int Put(const std::string &result, char *buffer, size_t size)
{
    if (result.size() + 1 > size) {
        buffer[0] = '\0';
        return 1;
    }
    CopyBounded(buffer, size, result.c_str());
    return 0;
}

} // namespace

int ProgramIniPathFrom(const char *programPath, char *buffer, size_t size)
{
    if (!buffer || size == 0)
        return 1;
    if (!programPath || !*programPath) {
        buffer[0] = '\0';
        return 1;
    }
    const char *path = programPath;
    size_t lastSlash, lastDot;
    Scan(path, lastSlash, lastDot);
    std::string result(path);
    if (lastDot != NONE)
        result.erase(lastDot);
    result += ".ini";
    return Put(result, buffer, size);
}

int ProgramFolderFrom(const char *programPath, char *buffer, size_t size)
{
    if (!buffer || size == 0)
        return 1;
    const char *path = programPath ? programPath : "";
    size_t lastSlash, lastDot;
    Scan(path, lastSlash, lastDot);
    std::string result = lastSlash == NONE ? std::string() : std::string(path, lastSlash);
    return Put(result, buffer, size);
}
