// How an installed dotted version is compared with a published one.
#pragma once

#include <stdint.h>

#include <string>

// The dotted registry text (A.B.C.D) as the 8 digits the version file
// publishes (A B CC DDDD), padded with '0' to 8 characters.
std::string NormaliseInstalledVersion(const std::string &dotted);

// The first 8 characters as 4 bytes of hexadecimal pairs; any character
// that is not a hexadecimal digit (or a short text) gives 4 zero bytes.
void DecodeVersionBytes(const std::string &text, uint8_t (&bytes)[4]);

// Whether a published text is exactly the 8 hexadecimal digits of a
// version; anything else (a cut-off, broken or padded file) is no version
// to compare with or to keep.
bool IsPublishedVersion(const std::string &published);

// -1, 0 or 1 as version a (8 digits) is older than, equal to or newer than b.
int CompareVersionForms(const std::string &a, const std::string &b);

// 1 when the installed version (dotted) is at least the published one.
int InstalledIsCurrent(const std::string &installedDotted, const std::string &published);
