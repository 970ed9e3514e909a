// Lists inside one INI value ("a,b,c") and NUL-separated lists in buffers
// ("a\0b\0c\0\0").
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

// Splits at each occurrence of the delimiter (NULL = ","; "" = no split).
// Empty items are dropped; with trim, blanks, tabs, CR and LF are removed
// from each item first.
std::vector<std::string> SplitIniList(const std::string &value, const char *delimiter, bool trim);

// Joins the first count items (all when count is negative or too large)
// with the delimiter (NULL = ",").
std::string JoinIniList(const std::vector<std::string> &items, int count, const char *delimiter);

// Writes whole items as consecutive NUL-terminated strings ended by an empty
// item; an item that does not fit is left out with all that follow.
// Returns the bytes used, not counting the final empty item. With a NULL
// buffer, returns the bytes needed including the final empty item.
size_t PackIniList(const std::vector<std::string> &items, char *buffer, size_t size);

// Reads the items of a NUL-separated list of the given length (an empty item
// or the end of the length ends it).
std::vector<std::string> UnpackIniList(const char *data, size_t length);
