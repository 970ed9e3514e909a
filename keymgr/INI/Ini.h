// CIni: reads and writes one INI file through a profile store.
//   CIni ini(path); ini.GetString("Module", "Rel", buf, sizeof(buf), "KavelGeneralCSP.dll");
// A NULL section or key makes every read give 0 or the default and every
// write do nothing. Missing files and keys give the defaults.
#pragma once

#include "keymgr/INI/store/IniStore.h"

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

struct IniPoint {
    int32_t x, y;
};

struct IniRect {
    int32_t left, top, right, bottom;
};

// Read with this default, a key gives it back only when it is absent.
extern const char INI_KEY_SENTINEL[];

class CIni {
public:
    explicit CIni(const char *path = NULL) : m_store(DefaultIniStore()) { SetPathName(path); }
    CIni(const char *path, IIniStore &store) : m_store(store) { SetPathName(path); }

    // NULL empties the path.
    void SetPathName(const char *path) { m_path = path ? path : ""; }
    const char *GetPathName() const { return m_path.c_str(); }

    // Copies at most size-1 bytes of the whole value and terminates; returns
    // the bytes copied. A NULL buffer gives the length of the whole value.
    size_t GetString(const char *section, const char *key, char *buffer, size_t size, const char *def = NULL) const;
    // The whole value, however long.
    std::string GetString(const char *section, const char *key, const char *def = NULL) const;
    bool WriteString(const char *section, const char *key, const char *value);
    bool AppendString(const char *section, const char *key, const char *text);

    // Items as consecutive NUL-terminated strings ended by an empty item;
    // returns the bytes used, not counting the final empty item.
    size_t GetArray(const char *section, const char *key, char *buffer, size_t size, const char *delimiter = NULL,
                    bool trim = true) const;
    // Appends the trimmed items to the array; returns how many were added.
    size_t GetArray(const char *section, const char *key, std::vector<std::string> &array,
                    const char *delimiter = NULL) const;
    bool WriteArray(const char *section, const char *key, const std::vector<std::string> &array, int count = -1,
                    const char *delimiter = NULL);

    int GetInt(const char *section, const char *key, int def, int base = 10) const;
    // The platform's own reading of a number, for files other programs write.
    int GetProfileInt(const char *section, const char *key, int def) const;
    unsigned GetUInt(const char *section, const char *key, unsigned def, int base = 10) const;
    bool GetBool(const char *section, const char *key, bool def) const;
    double GetDouble(const char *section, const char *key, double def) const;
    bool WriteInt(const char *section, const char *key, int value, int base = 10);
    bool WriteUInt(const char *section, const char *key, unsigned value, int base = 10);
    // Written as "1" or "0".
    bool WriteBool(const char *section, const char *key, bool value);
    bool WriteDouble(const char *section, const char *key, double value, int precision = -1);
    bool IncreaseInt(const char *section, const char *key, int increase = 1, int base = 10);
    bool IncreaseDouble(const char *section, const char *key, double increase, int precision = -1);
    bool FlipBool(const char *section, const char *key, bool def = false);

    // The bytes from offset on, at most size; 0 unless the value is an
    // even-length hexadecimal string with more than offset bytes.
    size_t GetDataBlock(const char *section, const char *key, void *buffer, size_t size, size_t offset = 0) const;
    bool WriteDataBlock(const char *section, const char *key, const void *data, size_t length);
    bool AppendDataBlock(const char *section, const char *key, const void *data, size_t length);
    IniPoint GetPoint(const char *section, const char *key, IniPoint def) const;
    IniRect GetRect(const char *section, const char *key, IniRect def) const;
    bool WritePoint(const char *section, const char *key, IniPoint pt);
    bool WriteRect(const char *section, const char *key, IniRect rect);

    // The store's own lists. A NULL buffer gives the size needed.
    size_t GetKeyLines(const char *section, char *buffer, size_t size) const;
    size_t GetSectionNames(char *buffer, size_t size) const;
    // Key names taken from the section's lines; a NULL buffer gives the size
    // needed including the final empty item.
    size_t GetKeyNames(const char *section, char *buffer, size_t size) const;
    // Append to the array; return how many were added.
    size_t GetKeyLines(const char *section, std::vector<std::string> &array) const;
    size_t GetKeyNames(const char *section, std::vector<std::string> &array) const;
    size_t GetSectionNames(std::vector<std::string> &array) const;

    bool DeleteSection(const char *section);
    bool DeleteKey(const char *section, const char *key);
    bool IsSectionExist(const char *section) const;
    bool IsKeyExist(const char *section, const char *key) const;

    bool CopySection(const char *from, const char *to, bool failIfExist);
    bool MoveSection(const char *from, const char *to, bool failIfExist = true);
    bool CopyKey(const char *section, const char *key, const char *toSection, const char *toKey, bool failIfExist);
    bool MoveKey(const char *section, const char *key, const char *toSection, const char *toKey,
                 bool failIfExist = true);

private:
    std::string ReadWhole(const char *section, const char *key, const char *def) const;
    std::string ReadShort(const char *section, const char *key) const;
    bool ReadBlock(const char *section, const char *key, std::vector<uint8_t> &bytes) const;
    // Reads a list of the store's (section lines, or section names for a
    // NULL section) grown until it fits; returns its length.
    size_t ReadList(const char *section, std::vector<char> &list) const;

    IIniStore &m_store;
    std::string m_path;
};
