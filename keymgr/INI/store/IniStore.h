// The private-profile functions that CIni is written over. Every method has
// the platform's semantics, so the value rules can be exercised against an
// in-memory store and run unchanged against real files.
#pragma once

#include <stddef.h>

class IIniStore {
public:
    virtual ~IIniStore() {}

    // Value read. NULL section: the section names; NULL key: the key names of
    // the section; both as NUL-separated lists ended by an empty item, and a
    // list that does not fit is cut and ended by two NULs, returning size-2.
    // A value that does not fit is cut and terminated, returning size-1.
    // A missing key gives the default (NULL = ""). Returns 0 when size is 0.
    virtual size_t GetString(const char *section, const char *key, const char *def, char *buffer, size_t size,
                             const char *file) = 0;

    // "key=value" lines of a section, as a list; cut as above (size-2).
    virtual size_t GetSection(const char *section, char *buffer, size_t size, const char *file) = 0;

    // The section names, as a list; cut as above (size-2).
    virtual size_t GetSectionNames(char *buffer, size_t size, const char *file) = 0;

    // NULL value deletes the key, NULL key deletes the section.
    virtual bool WriteString(const char *section, const char *key, const char *value, const char *file) = 0;

    // A number as the platform's profile reads it (GetPrivateProfileInt in
    // the Win32 build); files that other programs keep are read this way.
    // Elsewhere: leading decimal digits with an optional sign, wrapped to int.
    virtual int GetInt(const char *section, const char *key, int def, const char *file);

    // Replaces every key of the section by the given "key=value" list;
    // NULL lines delete the section.
    virtual bool WriteSection(const char *section, const char *lines, const char *file) = 0;
};

// The store that CIni uses when none is given: the platform's profile
// functions in the Win32 build, a process-wide in-memory store in the native
// build. Portable code should take an IIniStore& instead of relying on it.
IIniStore &DefaultIniStore();
