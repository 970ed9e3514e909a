// Whether a file may be run: its Authenticode signature verifies, its
// signer's chain is trusted, and the signer is the certificate we expect.
#pragma once

#include <string>

// pinnedSha1 is the signer certificate's SHA-1 thumbprint in hexadecimal
// (either case); an empty pin trusts nothing. The content is read through
// file (a handle with read access), the one the caller keeps until it uses
// the file; path names it.
bool IsSignedByPinnedSigner(void *file, const std::string &path, const std::string &pinnedSha1);
// The same through a handle of its own.
bool IsSignedByPinnedSigner(const std::string &path, const std::string &pinnedSha1);

// The pin this program was built with.
const char *BuiltInSignerPin();
