// X.509 certificates for the stand-in tokens. The signature is filler: the
// programs decode certificates but never verify them.
#pragma once

#include "sim/core/Der.h"
#include "sim/core/SimState.h"

// Converts a text from the state (ANSI bytes) to UTF-8 for the certificate's
// names; the Win32 side passes a code-page conversion, tests pass identity.
typedef std::string (*TextToUtf8Fn)(const std::string &ansi);

std::string IdentityUtf8(const std::string &text);

// DER of a certificate as the description says. CERT_NONE gives no bytes,
// CERT_GARBAGE bytes that do not decode, CERT_TRUNCATED the first half of
// the built certificate.
Bytes BuildCertificate(const CertSpec &params, TextToUtf8Fn toUtf8);
