// Writes registry values for one test and puts everything back afterwards:
// keys it had to create are deleted, values it replaced are restored.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class RegistrySeed {
public:
    ~RegistrySeed()
    {
        for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it) {
            if (it->deleteKey) {
                RegDeleteTreeA(it->root, it->path.c_str());
                RegDeleteKeyA(it->root, it->path.c_str());
            } else {
                HKEY key;
                if (RegOpenKeyExA(it->root, it->path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
                    continue;
                if (it->hadValue)
                    RegSetValueExA(key, it->name.c_str(), 0, it->type, it->data.data(), static_cast<DWORD>(it->data.size()));
                else
                    RegDeleteValueA(key, it->name.c_str());
                RegCloseKey(key);
            }
        }
    }

    void Key(HKEY root, const std::string &path)
    {
        // The first missing level is the one to delete afterwards.
        for (size_t end = 0; end != std::string::npos;) {
            end = path.find('\\', end + 1);
            std::string prefix = path.substr(0, end);
            HKEY probe;
            if (RegOpenKeyExA(root, prefix.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
                RegCloseKey(probe);
                continue;
            }
            Undo undo;
            undo.root = root;
            undo.path = prefix;
            undo.deleteKey = true;
            m_undo.push_back(undo);
            break;
        }
        HKEY key;
        if (RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) == ERROR_SUCCESS)
            RegCloseKey(key);
    }
    void Dword(HKEY root, const std::string &path, const char *name, DWORD value)
    {
        Set(root, path, name, REG_DWORD, &value, sizeof(value));
    }
    void String(HKEY root, const std::string &path, const char *name, const std::string &value)
    {
        Set(root, path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
    }
    void Remove(HKEY root, const std::string &path, const char *name) { Set(root, path, name, REG_NONE, NULL, 0); }

private:
    struct Undo {
        HKEY root = NULL;
        std::string path;
        bool deleteKey = false;
        std::string name;
        bool hadValue = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };

    // type REG_NONE with no data removes the value.
    void Set(HKEY root, const std::string &path, const char *name, DWORD type, const void *data, DWORD size)
    {
        Key(root, path);
        HKEY key;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        Undo undo;
        undo.root = root;
        undo.path = path;
        undo.name = name;
        DWORD oldSize = 0;
        if (RegQueryValueExA(key, name, NULL, &undo.type, NULL, &oldSize) == ERROR_SUCCESS) {
            undo.data.resize(oldSize);
            undo.hadValue = RegQueryValueExA(key, name, NULL, &undo.type, undo.data.data(), &oldSize) == ERROR_SUCCESS;
        }
        m_undo.push_back(undo);
        if (type == REG_NONE && !data)
            RegDeleteValueA(key, name);
        else
            RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
        RegCloseKey(key);
    }

    std::vector<Undo> m_undo;
};
