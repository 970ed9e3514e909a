// Clearing the browser's SSL session state after a token is removed.
#pragma once

enum { SSL_CLEARED_SCHANNEL = 1, SSL_CLEARED_WININET = 2 };

// Loads the two libraries by name, calls SslEmptyCacheW(NULL, 0) and
// IncrementUrlCacheHeaderData(14, &out), and frees them. A library or
// function that is missing is skipped. Returns the SSL_CLEARED_* bits of the
// calls made.
unsigned EmptySslState(const char *schannel = "SCHANNEL.DLL", const char *wininet = "WININET.DLL");
