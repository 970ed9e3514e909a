#include "keymgr/INI/IniList.h"

#include "keymgr/INI/store/IniName.h"

#include <string.h>

std::vector<std::string> SplitIniList(const std::string &value, const char *delimiter, bool trim)
{
    if (!delimiter)
        delimiter = ",";
    std::vector<std::string> items;
    const size_t delimiterLength = strlen(delimiter);
    size_t begin = 0;
    for (;;) {
        size_t end = delimiterLength ? value.find(delimiter, begin) : std::string::npos;
        std::string item = value.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        if (trim)
            item = IniTrim(item);
        if (!item.empty())
            items.push_back(item);
        if (end == std::string::npos)
            break;
        begin = end + delimiterLength;
    }
    return items;
}

std::string JoinIniList(const std::vector<std::string> &items, int count, const char *delimiter)
{
    if (!delimiter)
        delimiter = ",";
    size_t n = (count < 0 || (size_t)count > items.size()) ? items.size() : (size_t)count;
    std::string joined;
    for (size_t i = 0; i < n; ++i) {
        if (i)
            joined += delimiter;
        joined += items[i];
    }
    return joined;
}

size_t PackIniList(const std::vector<std::string> &items, char *buffer, size_t size)
{
    if (!buffer) {
        size_t needed = 1;
        for (size_t i = 0; i < items.size(); ++i)
            needed += items[i].size() + 1;
        return needed;
    }
    if (size == 0)
        return 0;
    size_t used = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string &item = items[i];
        // The item, its NUL and the final empty item must fit.
        if (item.empty() || used + item.size() + 2 > size)
            break;
        memcpy(buffer + used, item.data(), item.size());
        used += item.size();
        buffer[used++] = '\0';
    }
    buffer[used] = '\0';
    return used;
}

std::vector<std::string> UnpackIniList(const char *data, size_t length)
{
    std::vector<std::string> items;
    if (!data)
        return items;
    size_t i = 0;
    while (i < length && data[i] != '\0') {
        size_t n = strnlen(data + i, length - i);
        items.push_back(std::string(data + i, n));
        i += n + 1;
    }
    return items;
}
