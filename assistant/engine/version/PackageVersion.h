// The file version a package's own version resource gives, read from its
// bytes (the signed file as it is held, not from its name).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

// The four parts (major, minor, build, revision) of the fixed file version
// of a Windows program's version resource; false when the bytes are no
// program or it has none.
bool ReadPackageFileVersion(const unsigned char *data, size_t size, uint16_t (&version)[4]);

// The version in the version file's form (8 digits, A B CC DDDD).
std::string PackageVersionForm(const uint16_t (&version)[4]);
