#include "keymgr/shell/token/ReaderList.h"

#include <string.h>

void ReaderList::Assign(const char *multiString, size_t size, uint32_t count)
{
    Clear();
    m_count = count;
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
    m_count = 0;
}
