#include "assistant/engine/win32/system/Win32Registry.h"

#include <windows.h>

namespace {
class CWin32Key : public IRegistryKey {
public:
    explicit CWin32Key(HKEY key) : m_key(key) {}
    ~CWin32Key() override { RegCloseKey(m_key); }

    RegStatus QueryValue(const char *name, uint32_t *type, unsigned char *data, uint32_t *size) override
    {
        DWORD valueType = REG_NONE;
        DWORD bytes = *size;
        LONG rc = RegQueryValueExA(m_key, name, NULL, &valueType, data, &bytes);
        *type = valueType;
        *size = bytes;
        if (rc == ERROR_SUCCESS)
            return RegStatus::Ok;
        if (rc == ERROR_MORE_DATA)
            return RegStatus::MoreData;
        if (rc == ERROR_FILE_NOT_FOUND)
            return RegStatus::NotFound;
        return RegStatus::Failed;
    }

private:
    HKEY m_key;
};
}

std::unique_ptr<IRegistryKey> CWin32Registry::OpenKey(uint32_t root, const char *subKey)
{
    if (root != kRootClassesRoot && root != kRootCurrentUser && root != kRootLocalMachine)
        return nullptr;
    HKEY key = NULL;
    HKEY rootKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root));
    if (RegOpenKeyExA(rootKey, subKey ? subKey : "", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::unique_ptr<IRegistryKey>(new CWin32Key(key));
}
