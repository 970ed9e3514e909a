#include "keymgr/shell/token/ReaderList.h"

#include <string.h>

#include <string>

void ReaderList::Assign(const char *multiString, size_t size, uint32_t count)
{
    Clear();
    if (!multiString)
        size = 0;
    m_buffer.assign(multiString, multiString + size);
    m_buffer.push_back('\0');
    m_buffer.push_back('\0');
    size_t pos = 0;
    while (pos < size && m_buffer[pos] != '\0') {
        // More names than the library counted: the rest is not trusted.
        if (m_names.size() >= count)
            break;
        m_names.push_back(pos);
        pos += strlen(&m_buffer[pos]) + 1;
    }
}

void ReaderList::Clear()
{
    m_buffer.clear();
    m_names.clear();
}

bool ReaderList::Contains(const char *name) const
{
    for (size_t i = 0; i < Size(); ++i)
        if (strcmp(Name(i), name) == 0)
            return true;
    return false;
}

ReaderList ReaderList::Without(const ReaderList &other) const
{
    std::string names;
    uint32_t count = 0;
    for (size_t i = 0; i < Size(); ++i)
        if (!other.Contains(Name(i))) {
            names.append(Name(i)).push_back('\0');
            ++count;
        }
    ReaderList rest;
    rest.Assign(names.data(), names.size(), count);
    return rest;
}

bool ReaderList::SameNames(const ReaderList &other) const
{
    if (Size() != other.Size())
        return false;
    for (size_t i = 0; i < Size(); ++i)
        if (strcmp(Name(i), other.Name(i)) != 0)
            return false;
    return true;
}
