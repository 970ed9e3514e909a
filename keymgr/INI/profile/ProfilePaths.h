// Paths derived from the program's own full path. GBK-aware: a trail byte
// that happens to be '\\' is not a separator.
#pragma once

#include <stddef.h>

// 260, the size of every path buffer of the program.
enum { PROFILE_PATH_SIZE = 260 };

// The program path with everything from the last "." of its file name
// replaced by ".ini"; a file name without "." gets ".ini" appended.
// Returns 0, or 1 with an empty buffer when the program path is empty or
// the result does not fit (and 1 when there is no buffer).
int ProgramIniPathFrom(const char *programPath, char *buffer, size_t size);

// The program path up to, not including, the last "\\"; empty when there is
// none. Returns 0, or 1 when there is no buffer.
int ProgramFolderFrom(const char *programPath, char *buffer, size_t size);
