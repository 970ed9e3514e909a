// The web-settings file URLSet.ini: the bank's addresses opened at insertion
// and closed at removal, the certificate-request page, the browser-closed
// prompt. Every read falls back to the file's defaults.
#pragma once

#include "keymgr/INI/Ini.h"

#include <string>
#include <vector>

#define WEBSET_FILE_NAME "URLSet.ini"
#define WEBSET_SECTION_SETTING "Setting"
#define WEBSET_SECTION_REQUEST "REQUEST_CERT"
#define WEBSET_SECTION_PROMPT "IECLOSED_PROMPT"

enum {
    WEBSET_VALUE_SIZE = 1024,      // addresses as the frame reads them
    WEBSET_PAGE_ADDRESS_SIZE = 512 // the request address as the page reads it
};

// "SetEvent" > 0.
bool WebPagesEnabled(const CIni &ini);

// The non-empty "URL<i>" values for 0 <= i < "TotalNum", in index order.
// Only keys that are present are read, so a damaged "TotalNum" costs nothing.
std::vector<std::string> ReadWebAddresses(const CIni &ini);

// "REQUEST" > 0.
bool CertRequestEnabled(const CIni &ini);

// "REQUEST_ADDR", read into a buffer of bufferSize bytes.
std::string ReadCertRequestAddress(const CIni &ini, size_t bufferSize = WEBSET_VALUE_SIZE);

// "Prompt" of "IECLOSED_PROMPT" > 0.
bool ClosedPromptEnabled(const CIni &ini);

// Rewrites section "Setting": deleted, then "SetEvent" "1"/"0", and with a
// non-empty list "TotalNum" and "URL0".."URL<N-1>". False at the first write
// that fails (the file then holds part of it: write a copy, see CWebSetFile).
bool WriteWebPageSettings(CIni &ini, bool enabled, const std::vector<std::string> &addresses);

bool WriteCertRequestFlag(CIni &ini, bool enabled);
bool WriteCertRequestAddress(CIni &ini, const char *address);

// The index of a key named "URL<i>" as the program builds them ("URL%d",
// compared without regard to case); false for any other name.
bool ParseUrlKeyIndex(const char *key, unsigned long *index);

// The distinct indices below total of the "URL<i>" names in a key-name list
// (NUL-separated, ended by an empty name, at most size bytes), ascending.
std::vector<unsigned long> UrlKeyIndices(const char *names, size_t size, long total);
