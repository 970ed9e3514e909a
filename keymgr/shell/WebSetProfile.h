// The private-profile calls that the web settings are read and written with,
// over one file (URLSet.ini). Semantics are the platform's.
#pragma once

#include <stddef.h>

class IWebSetProfile {
public:
    virtual ~IWebSetProfile() {}
    // The value as a decimal number; def when the key is absent.
    virtual int GetInt(const char *section, const char *key, int def) = 0;
    // The value, cut to size-1 and terminated; returns its length. A NULL key
    // gives the section's key names as a NUL-separated list ended by an
    // empty name (cut lists return size-2).
    virtual size_t GetString(const char *section, const char *key, const char *def, char *buffer,
                             size_t size) = 0;
    // A NULL value deletes the key, a NULL key the whole section.
    virtual bool WriteString(const char *section, const char *key, const char *value) = 0;
};
