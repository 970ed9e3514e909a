#include "assistant/engine/win32/install/SignatureGate.h"

#include <windows.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <ctype.h>

#ifndef ORVANE_SIGNER_SHA1
#define ORVANE_SIGNER_SHA1 ""
#endif

const char *BuiltInSignerPin()
{
    return ORVANE_SIGNER_SHA1;
}

static std::string HexOf(const BYTE *bytes, DWORD size)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

static std::string Lower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// The signer's chain and certificate, as the verification built them. A
// verification result of 0 alone is not enough: some platforms skip the
// chain policy for SHA-256 signatures and pass any root.
static bool SignerTrustedAndPinned(HANDLE state, const std::string &pin)
{
    CRYPT_PROVIDER_DATA *data = WTHelperProvDataFromStateData(state);
    if (!data)
        return false;
    CRYPT_PROVIDER_SGNR *signer = WTHelperGetProvSignerFromChain(data, 0, FALSE, 0);
    if (!signer || !signer->pChainContext || signer->pChainContext->TrustStatus.dwErrorStatus != 0)
        return false;
    CRYPT_PROVIDER_CERT *leaf = WTHelperGetProvCertFromChain(signer, 0);
    if (!leaf || !leaf->pCert)
        return false;
    BYTE hash[20];
    DWORD size = sizeof(hash);
    if (!CertGetCertificateContextProperty(leaf->pCert, CERT_SHA1_HASH_PROP_ID, hash, &size) || size != sizeof(hash))
        return false;
    return HexOf(hash, size) == pin;
}

bool IsSignedByPinnedSigner(const std::string &path, const std::string &pinnedSha1)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = IsSignedByPinnedSigner(file, path, pinnedSha1);
    CloseHandle(file);
    return ok;
}

bool IsSignedByPinnedSigner(void *handle, const std::string &path, const std::string &pinnedSha1)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return false;
    std::string pin = Lower(pinnedSha1);
    if (pin.size() != 40)
        return false;
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH) == 0)
        return false;

    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = widePath;
    file.hFile = static_cast<HANDLE>(handle);
    WINTRUST_DATA trust = {};
    trust.cbStruct = sizeof(trust);
    trust.dwUIChoice = WTD_UI_NONE;
    trust.fdwRevocationChecks = WTD_REVOKE_NONE;
    trust.dwUnionChoice = WTD_CHOICE_FILE;
    trust.pFile = &file;
    trust.dwStateAction = WTD_STATEACTION_VERIFY;
    trust.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;

    LONG rc = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &trust);
    bool ok = rc == 0 && SignerTrustedAndPinned(trust.hWVTStateData, pin);
    trust.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &trust);
    return ok;
}
