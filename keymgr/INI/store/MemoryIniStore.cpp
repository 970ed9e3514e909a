#include "keymgr/INI/store/MemoryIniStore.h"

#include "keymgr/INI/store/IniName.h"

#include <string.h>

namespace {

std::string FileKey(const char *file)
{
    return file ? file : "";
}

bool IsComment(const std::string &key)
{
    return !key.empty() && key[0] == ';';
}

// What a read of a stored value gives: quotes around it are not part of it.
std::string ReadForm(const std::string &value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value[value.size() - 1] == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

// The platform's list copy: a list that does not fit is cut, ended by two
// NULs and reported as size-2.
size_t CopyPlatformList(const std::vector<std::string> &items, char *buffer, size_t size)
{
    if (!buffer || size == 0)
        return 0;
    std::string list;
    for (size_t i = 0; i < items.size(); ++i) {
        list += items[i];
        list += '\0';
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    if (list.size() + 2 <= size) {
        memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        if (list.empty())
            buffer[1] = '\0';
        return list.size();
    }
    memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

// Trailing blanks of a default are not part of it.
std::string DefaultForm(const char *def)
{
    std::string d = def ? def : "";
    while (!d.empty() && d[d.size() - 1] == ' ')
        d.erase(d.size() - 1);
    return d;
}

} // namespace

CMemoryIniStore::File *CMemoryIniStore::FindFile(const char *file)
{
    std::map<std::string, File>::iterator it = m_files.find(FileKey(file));
    return it == m_files.end() ? NULL : &it->second;
}

CMemoryIniStore::Section *CMemoryIniStore::FindSection(File *f, const char *section)
{
    if (!f || !section)
        return NULL;
    std::string name = IniTrim(section);
    for (size_t i = 0; i < f->size(); ++i) {
        if (IniNameEquals((*f)[i].name.c_str(), name.c_str()))
            return &(*f)[i];
    }
    return NULL;
}

CMemoryIniStore::Entry *CMemoryIniStore::FindEntry(Section *s, const char *key)
{
    if (!s || !key)
        return NULL;
    std::string name = IniTrim(key);
    for (size_t i = 0; i < s->entries.size(); ++i) {
        if (IniNameEquals(s->entries[i].key.c_str(), name.c_str()))
            return &s->entries[i];
    }
    return NULL;
}

size_t CMemoryIniStore::GetString(const char *section, const char *key, const char *def, char *buffer, size_t size,
                                  const char *file)
{
    if (!buffer || size == 0)
        return 0;
    File *f = FindFile(file);
    if (!section) {
        std::vector<std::string> names;
        if (f) {
            for (size_t i = 0; i < f->size(); ++i)
                names.push_back((*f)[i].name);
        }
        return CopyPlatformList(names, buffer, size);
    }
    Section *s = FindSection(f, section);
    if (!key) {
        std::vector<std::string> keys;
        if (s) {
            for (size_t i = 0; i < s->entries.size(); ++i) {
                if (!s->entries[i].key.empty() && !IsComment(s->entries[i].key))
                    keys.push_back(s->entries[i].key);
            }
        }
        return CopyPlatformList(keys, buffer, size);
    }
    Entry *e = FindEntry(s, key);
    std::string value = (e && e->hasValue) ? ReadForm(e->value) : DefaultForm(def);
    size_t n = value.size() < size - 1 ? value.size() : size - 1;
    memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return n;
}

size_t CMemoryIniStore::GetSection(const char *section, char *buffer, size_t size, const char *file)
{
    std::vector<std::string> lines;
    Section *s = FindSection(FindFile(file), section);
    if (s) {
        for (size_t i = 0; i < s->entries.size(); ++i) {
            const Entry &e = s->entries[i];
            if (e.key.empty() || IsComment(e.key))
                continue;
            lines.push_back(e.hasValue ? e.key + "=" + e.value : e.key);
        }
    }
    return CopyPlatformList(lines, buffer, size);
}

size_t CMemoryIniStore::GetSectionNames(char *buffer, size_t size, const char *file)
{
    return GetString(NULL, NULL, NULL, buffer, size, file);
}

bool CMemoryIniStore::WriteString(const char *section, const char *key, const char *value, const char *file)
{
    if (!section)
        return false;
    File *f = FindFile(file);
    Section *s = FindSection(f, section);
    if (!key) {
        if (s)
            f->erase(f->begin() + (s - &(*f)[0]));
        return true;
    }
    if (!value) {
        if (Entry *e = FindEntry(s, key))
            s->entries.erase(s->entries.begin() + (e - &s->entries[0]));
        return true;
    }
    if (!f)
        f = &m_files[FileKey(file)];
    if (!s) {
        Section fresh;
        fresh.name = IniTrim(section);
        f->push_back(fresh);
        s = &f->back();
    }
    Entry *e = FindEntry(s, key);
    if (!e) {
        Entry fresh;
        fresh.key = IniTrim(key);
        s->entries.push_back(fresh);
        e = &s->entries.back();
    }
    e->value = IniTrim(value);
    e->hasValue = true;
    return true;
}

bool CMemoryIniStore::WriteSection(const char *section, const char *lines, const char *file)
{
    if (!section)
        return false;
    if (!lines)
        return WriteString(section, NULL, NULL, file);
    File *f = &m_files[FileKey(file)];
    Section *s = FindSection(f, section);
    if (!s) {
        Section fresh;
        fresh.name = IniTrim(section);
        f->push_back(fresh);
        s = &f->back();
    }
    s->entries.clear();
    for (const char *line = lines; *line; line += strlen(line) + 1) {
        std::string text = line;
        size_t eq = text.find('=');
        Entry e;
        e.key = IniTrim(text.substr(0, eq));
        e.hasValue = eq != std::string::npos;
        e.value = e.hasValue ? IniTrim(text.substr(eq + 1)) : std::string();
        if (e.key.empty() && !e.hasValue)
            continue;
        s->entries.push_back(e);
    }
    return true;
}
