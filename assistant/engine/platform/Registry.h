// The registry as the checks see it: open a key, read one value.
#pragma once

#include <stdint.h>

#include <memory>

enum : uint32_t {
    kRootClassesRoot = 0x80000000u,
    kRootCurrentUser = 0x80000001u,
    kRootLocalMachine = 0x80000002u,
};

enum : uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
};

enum class RegStatus { Ok, NotFound, MoreData, Failed };

class IRegistryKey {
public:
    virtual ~IRegistryKey() {}
    // Reads at most *size bytes into data; on return *size is the number of
    // bytes stored (or needed, for MoreData) and *type the type read.
    virtual RegStatus QueryValue(const char *name, uint32_t *type, unsigned char *data, uint32_t *size) = 0;
};

class IRegistry {
public:
    virtual ~IRegistry() {}
    // Opens the key for reading only, so a key the user may read but not
    // write still opens; null when it cannot be opened.
    virtual std::unique_ptr<IRegistryKey> OpenKey(uint32_t root, const char *subKey) = 0;
};

// Whether a value read is a 32-bit number: a DWORD, or binary of 4 bytes
// (little-endian, as a DWORD is stored).
bool IsNumberValue(uint32_t type, uint32_t size);
// Reads a DWORD with a 4-byte buffer; false when the value cannot be read
// or is no number.
bool ReadRegistryDword(IRegistryKey &key, const char *name, uint32_t *value);
// Reads a string value with a buffer of size bytes (its NUL included); text
// is always terminated. A value of another type is not read (false, "").
bool ReadRegistryString(IRegistryKey &key, const char *name, char *text, uint32_t size);
