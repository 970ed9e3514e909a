// The certificate notice's expiry warning: the first certificate of the
// token that expires within the configured number of days.
#pragma once

#include <stddef.h>

enum {
    IDS_NO_MEMORY = 61204,
    EXPIRY_CERT_BUFFER_SIZE = 131072,
};

// Reads the reader's CSP control block and the certificates of its in-use
// containers, takes "now" from the time server (or the clock), and writes
// the warning text for the first expiring certificate into out. False, out
// untouched, when none expires or anything could not be read: a failed
// read, a certificate that does not decode or a container name not
// terminated inside its record ends the walk. A failed certificate-buffer
// allocation shows string 61204 in a message box.
bool ComposeExpiryWarning(const char *reader, char *out, size_t size);
