#include "keymgr/INI/Ini.h"

#include "common/BoundedCopy.h"
#include "keymgr/INI/IniHex.h"
#include "keymgr/INI/IniList.h"
#include "keymgr/INI/IniNumber.h"
#include "keymgr/INI/store/IniName.h"

#include <string.h>

const char INI_KEY_SENTINEL[] = "{63788286-AE30-4D6B-95DF-3B451C1C79F9}";

namespace {

const size_t GROW_STEP = 512;
// A store that never stops reporting a cut value must not make a read loop
// for ever; no INI value of this program comes near this.
const size_t GROW_LIMIT = 1u << 20;
// Numbers are read from at most this many characters.
const size_t NUMBER_CHARS = 64;

void PutLE32(uint8_t *p, int32_t value)
{
    uint32_t v = (uint32_t)value;
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

int32_t GetLE32(const uint8_t *p)
{
    return (int32_t)((uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24));
}

void TerminateList(char *buffer, size_t size)
{
    if (buffer && size)
        buffer[0] = '\0';
    if (buffer && size > 1)
        buffer[1] = '\0';
}

} // namespace

std::string CIni::ReadWhole(const char *section, const char *key, const char *def) const
{
    if (!section || !key)
        return def ? def : "";
    size_t size = GROW_STEP;
    std::vector<char> buffer(size + 1, '\0');
    size_t length = m_store.GetString(section, key, def, &buffer[0], size, m_path.c_str());
    // A value that filled the buffer may have been cut: read again, larger.
    while (length + 1 >= size && size < GROW_LIMIT) {
        size += GROW_STEP;
        buffer.assign(size + 1, '\0');
        length = m_store.GetString(section, key, def, &buffer[0], size, m_path.c_str());
    }
    return std::string(&buffer[0], strnlen(&buffer[0], length < size ? length : size));
}

std::string CIni::ReadShort(const char *section, const char *key) const
{
    if (!section || !key)
        return std::string();
    char buffer[NUMBER_CHARS + 1] = "";
    size_t length = m_store.GetString(section, key, NULL, buffer, sizeof(buffer), m_path.c_str());
    buffer[NUMBER_CHARS] = '\0';
    return std::string(buffer, strnlen(buffer, length < NUMBER_CHARS ? length : NUMBER_CHARS));
}

size_t CIni::ReadList(const char *section, std::vector<char> &list) const
{
    size_t size = GROW_STEP;
    size_t length = 0;
    for (;;) {
        list.assign(size, '\0');
        length = section ? m_store.GetSection(section, &list[0], size, m_path.c_str())
                         : m_store.GetSectionNames(&list[0], size, m_path.c_str());
        if (length + 2 < size || size >= GROW_LIMIT)
            break;
        size += GROW_STEP;
    }
    return length < size ? length : size;
}

// ---- strings ----

size_t CIni::GetString(const char *section, const char *key, char *buffer, size_t size, const char *def) const
{
    std::string value = ReadWhole(section, key, def);
    if (!buffer)
        return value.size();
    return CopyBounded(buffer, size, value.c_str());
}

std::string CIni::GetString(const char *section, const char *key, const char *def) const
{
    return ReadWhole(section, key, def);
}

bool CIni::WriteString(const char *section, const char *key, const char *value)
{
    if (!section || !key)
        return false;
    return m_store.WriteString(section, key, value ? value : "", m_path.c_str());
}

bool CIni::AppendString(const char *section, const char *key, const char *text)
{
    if (!section || !key)
        return false;
    std::string value = ReadWhole(section, key, NULL) + (text ? text : "");
    return WriteString(section, key, value.c_str());
}

// ---- lists ----

size_t CIni::GetArray(const char *section, const char *key, char *buffer, size_t size, const char *delimiter,
                      bool trim) const
{
    if (!section || !key) {
        TerminateList(buffer, size);
        return 0;
    }
    return PackIniList(SplitIniList(ReadWhole(section, key, NULL), delimiter, trim), buffer, size);
}

size_t CIni::GetArray(const char *section, const char *key, std::vector<std::string> &array,
                      const char *delimiter) const
{
    if (!section || !key)
        return 0;
    std::vector<std::string> items = SplitIniList(ReadWhole(section, key, NULL), delimiter, true);
    array.insert(array.end(), items.begin(), items.end());
    return items.size();
}

bool CIni::WriteArray(const char *section, const char *key, const std::vector<std::string> &array, int count,
                      const char *delimiter)
{
    return WriteString(section, key, JoinIniList(array, count, delimiter).c_str());
}

// ---- numbers ----

int CIni::GetProfileInt(const char *section, const char *key, int def) const
{
    return m_store.GetInt(section, key, def, m_path.c_str());
}

int CIni::GetInt(const char *section, const char *key, int def, int base) const
{
    std::string value = ReadShort(section, key);
    return value.empty() ? def : ParseIniInt(value, base);
}

unsigned CIni::GetUInt(const char *section, const char *key, unsigned def, int base) const
{
    std::string value = ReadShort(section, key);
    return value.empty() ? def : ParseIniUInt(value, base);
}

bool CIni::GetBool(const char *section, const char *key, bool def) const
{
    std::string value = ReadWhole(section, key, NULL);
    return value.empty() ? def : ParseIniBool(value);
}

double CIni::GetDouble(const char *section, const char *key, double def) const
{
    std::string value = ReadShort(section, key);
    return value.empty() ? def : ParseIniDouble(value);
}

bool CIni::WriteInt(const char *section, const char *key, int value, int base)
{
    return WriteString(section, key, FormatIniInt(value, base).c_str());
}

bool CIni::WriteUInt(const char *section, const char *key, unsigned value, int base)
{
    return WriteString(section, key, FormatIniUInt(value, base).c_str());
}

bool CIni::WriteBool(const char *section, const char *key, bool value)
{
    return WriteString(section, key, value ? "1" : "0");
}

bool CIni::WriteDouble(const char *section, const char *key, double value, int precision)
{
    std::string text = FormatIniDouble(value, precision);
    if (text.empty())
        return false;
    return WriteString(section, key, text.c_str());
}

bool CIni::IncreaseInt(const char *section, const char *key, int increase, int base)
{
    if (!section || !key)
        return false;
    // Wraps like the 32-bit register it models instead of overflowing.
    unsigned sum = (unsigned)GetInt(section, key, 0, base) + (unsigned)increase;
    return WriteInt(section, key, (int)sum, base);
}

bool CIni::IncreaseDouble(const char *section, const char *key, double increase, int precision)
{
    if (!section || !key)
        return false;
    return WriteDouble(section, key, GetDouble(section, key, 0.0) + increase, precision);
}

bool CIni::FlipBool(const char *section, const char *key, bool def)
{
    if (!section || !key)
        return false;
    return WriteBool(section, key, !GetBool(section, key, def));
}

// ---- data blocks ----

bool CIni::ReadBlock(const char *section, const char *key, std::vector<uint8_t> &bytes) const
{
    bytes.clear();
    if (!section || !key)
        return false;
    return DecodeIniHex(ReadWhole(section, key, NULL), bytes);
}

size_t CIni::GetDataBlock(const char *section, const char *key, void *buffer, size_t size, size_t offset) const
{
    std::vector<uint8_t> bytes;
    if (!buffer || size == 0 || !ReadBlock(section, key, bytes) || bytes.size() <= offset)
        return 0;
    size_t n = bytes.size() - offset;
    if (n > size)
        n = size;
    memcpy(buffer, &bytes[offset], n);
    return n;
}

bool CIni::WriteDataBlock(const char *section, const char *key, const void *data, size_t length)
{
    if (!data && length)
        return false;
    return WriteString(section, key, EncodeIniHex(data, length).c_str());
}

bool CIni::AppendDataBlock(const char *section, const char *key, const void *data, size_t length)
{
    if (!data && length)
        return false;
    return AppendString(section, key, EncodeIniHex(data, length).c_str());
}

IniPoint CIni::GetPoint(const char *section, const char *key, IniPoint def) const
{
    std::vector<uint8_t> bytes;
    if (!ReadBlock(section, key, bytes) || bytes.size() != 8)
        return def;
    IniPoint pt = {GetLE32(&bytes[0]), GetLE32(&bytes[4])};
    return pt;
}

IniRect CIni::GetRect(const char *section, const char *key, IniRect def) const
{
    std::vector<uint8_t> bytes;
    if (!ReadBlock(section, key, bytes) || bytes.size() != 16)
        return def;
    IniRect rc = {GetLE32(&bytes[0]), GetLE32(&bytes[4]), GetLE32(&bytes[8]), GetLE32(&bytes[12])};
    return rc;
}

bool CIni::WritePoint(const char *section, const char *key, IniPoint pt)
{
    uint8_t bytes[8];
    PutLE32(bytes, pt.x);
    PutLE32(bytes + 4, pt.y);
    return WriteDataBlock(section, key, bytes, sizeof(bytes));
}

bool CIni::WriteRect(const char *section, const char *key, IniRect rect)
{
    uint8_t bytes[16];
    PutLE32(bytes, rect.left);
    PutLE32(bytes + 4, rect.top);
    PutLE32(bytes + 8, rect.right);
    PutLE32(bytes + 12, rect.bottom);
    return WriteDataBlock(section, key, bytes, sizeof(bytes));
}

// ---- sections ----

size_t CIni::GetKeyLines(const char *section, char *buffer, size_t size) const
{
    if (!section) {
        TerminateList(buffer, size);
        return 0;
    }
    if (!buffer) {
        std::vector<char> list;
        return ReadList(section, list) + 2;
    }
    return m_store.GetSection(section, buffer, size, m_path.c_str());
}

size_t CIni::GetSectionNames(char *buffer, size_t size) const
{
    if (!buffer) {
        std::vector<char> list;
        return ReadList(NULL, list) + 2;
    }
    return m_store.GetSectionNames(buffer, size, m_path.c_str());
}

size_t CIni::GetKeyLines(const char *section, std::vector<std::string> &array) const
{
    if (!section)
        return 0;
    std::vector<char> list;
    size_t length = ReadList(section, list);
    std::vector<std::string> items = UnpackIniList(&list[0], length);
    array.insert(array.end(), items.begin(), items.end());
    return items.size();
}

size_t CIni::GetSectionNames(std::vector<std::string> &array) const
{
    std::vector<char> list;
    size_t length = ReadList(NULL, list);
    std::vector<std::string> items = UnpackIniList(&list[0], length);
    array.insert(array.end(), items.begin(), items.end());
    return items.size();
}

size_t CIni::GetKeyNames(const char *section, std::vector<std::string> &array) const
{
    std::vector<std::string> lines;
    GetKeyLines(section, lines);
    size_t added = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        size_t eq = lines[i].find('=');
        if (eq == std::string::npos)
            continue;
        std::string name = IniTrim(lines[i].substr(0, eq));
        if (name.empty())
            continue;
        array.push_back(name);
        ++added;
    }
    return added;
}

size_t CIni::GetKeyNames(const char *section, char *buffer, size_t size) const
{
    if (!section) {
        TerminateList(buffer, size);
        return 0;
    }
    std::vector<std::string> names;
    GetKeyNames(section, names);
    return PackIniList(names, buffer, size);
}

bool CIni::DeleteSection(const char *section)
{
    if (!section)
        return false;
    return m_store.WriteString(section, NULL, NULL, m_path.c_str());
}

bool CIni::DeleteKey(const char *section, const char *key)
{
    if (!section || !key)
        return false;
    return m_store.WriteString(section, key, NULL, m_path.c_str());
}

bool CIni::IsSectionExist(const char *section) const
{
    if (!section)
        return false;
    std::string wanted = IniTrim(section);
    std::vector<std::string> names;
    GetSectionNames(names);
    for (size_t i = 0; i < names.size(); ++i) {
        if (IniNameEquals(names[i].c_str(), wanted.c_str()))
            return true;
    }
    return false;
}

bool CIni::IsKeyExist(const char *section, const char *key) const
{
    if (!section || !key)
        return false;
    return ReadWhole(section, key, INI_KEY_SENTINEL) != INI_KEY_SENTINEL;
}

bool CIni::CopySection(const char *from, const char *to, bool failIfExist)
{
    if (!from || !to || IniNameEquals(IniTrim(from).c_str(), IniTrim(to).c_str()))
        return false;
    if (!IsSectionExist(from) || (failIfExist && IsSectionExist(to)))
        return false;
    std::vector<char> list;
    size_t length = ReadList(from, list);
    std::string lines(&list[0], length);
    lines.append(2, '\0');
    return m_store.WriteSection(to, lines.data(), m_path.c_str());
}

bool CIni::MoveSection(const char *from, const char *to, bool failIfExist)
{
    return CopySection(from, to, failIfExist) && DeleteSection(from);
}

bool CIni::CopyKey(const char *section, const char *key, const char *toSection, const char *toKey, bool failIfExist)
{
    if (!section || !key || !toSection || !toKey)
        return false;
    if (IniNameEquals(IniTrim(section).c_str(), IniTrim(toSection).c_str()) &&
        IniNameEquals(IniTrim(key).c_str(), IniTrim(toKey).c_str()))
        return false;
    if (!IsKeyExist(section, key) || (failIfExist && IsKeyExist(toSection, toKey)))
        return false;
    return WriteString(toSection, toKey, ReadWhole(section, key, NULL).c_str());
}

bool CIni::MoveKey(const char *section, const char *key, const char *toSection, const char *toKey, bool failIfExist)
{
    return CopyKey(section, key, toSection, toKey, failIfExist) && DeleteKey(section, key);
}
