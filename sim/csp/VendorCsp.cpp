// vendor_csp_sim.dll: stand-in for both vendors' CSPs. Registered in the test
// prefix under each provider name; answers CryptAcquireContext and the
// container list from the simulated token (the first reader holding one).
// Every other entry point is there because the platform loads a provider
// only when all of them are exported; they refuse.
#include "sim/win32/SimStore.h"

#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#define EXPORT extern "C"

namespace {

struct Provider {
    std::vector<std::string> containers;
    size_t next = 0;
};

const Reader *PresentToken(const SimState &state)
{
    for (const Reader &r : state.readers)
        if (r.present)
            return &r;
    return nullptr;
}

BOOL Refuse()
{
    SetLastError(NTE_BAD_TYPE);
    return FALSE;
}

}  // namespace

EXPORT BOOL WINAPI CPAcquireContext(HCRYPTPROV *prov, LPCSTR container, DWORD flags, void *table)
{
    if (!prov) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Provider *p = new Provider();
    {
        SimStore::Lock lock;
        const Reader *token = PresentToken(SimStore::Instance().Current());
        if (!token) {
            delete p;
            SetLastError(SCARD_E_NO_SMARTCARD);
            return FALSE;
        }
        for (const Container &c : token->containers)
            if (c.inUse && !c.name.empty())
                p->containers.push_back(c.name);
        bool verifyOnly = (flags & CRYPT_VERIFYCONTEXT) != 0;
        bool named = container && *container;
        bool hasDefault = token->containers[0].inUse && !token->containers[0].name.empty();
        bool found = !named ? hasDefault : false;
        for (const std::string &n : p->containers)
            if (named && n == container)
                found = true;
        if (!verifyOnly && !found) {
            delete p;
            SetLastError(NTE_BAD_KEYSET);
            return FALSE;
        }
    }
    *prov = reinterpret_cast<HCRYPTPROV>(p);
    return TRUE;
}

EXPORT BOOL WINAPI CPReleaseContext(HCRYPTPROV prov, DWORD flags)
{
    delete reinterpret_cast<Provider *>(prov);
    return TRUE;
}

EXPORT BOOL WINAPI CPGetProvParam(HCRYPTPROV prov, DWORD param, BYTE *data, DWORD *size, DWORD flags)
{
    Provider *p = reinterpret_cast<Provider *>(prov);
    if (!p || !size || param != PP_ENUMCONTAINERS)
        return Refuse();
    if (flags & CRYPT_FIRST)
        p->next = 0;
    if (p->next >= p->containers.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    const std::string &name = p->containers[p->next];
    DWORD need = static_cast<DWORD>(name.size() + 1);
    if (!data) {
        *size = need;
        return TRUE;
    }
    if (*size < need) {
        *size = need;
        SetLastError(ERROR_MORE_DATA);
        return FALSE;
    }
    memcpy(data, name.c_str(), need);
    *size = need;
    ++p->next;
    return TRUE;
}

#define REFUSED(name, ...) \
    EXPORT BOOL WINAPI name(__VA_ARGS__) { return Refuse(); }

REFUSED(CPGenKey, HCRYPTPROV, ALG_ID, DWORD, HCRYPTKEY *)
REFUSED(CPDeriveKey, HCRYPTPROV, ALG_ID, HCRYPTHASH, DWORD, HCRYPTKEY *)
REFUSED(CPDestroyKey, HCRYPTPROV, HCRYPTKEY)
REFUSED(CPSetKeyParam, HCRYPTPROV, HCRYPTKEY, DWORD, BYTE *, DWORD)
REFUSED(CPGetKeyParam, HCRYPTPROV, HCRYPTKEY, DWORD, BYTE *, DWORD *, DWORD)
REFUSED(CPExportKey, HCRYPTPROV, HCRYPTKEY, HCRYPTKEY, DWORD, DWORD, BYTE *, DWORD *)
REFUSED(CPImportKey, HCRYPTPROV, const BYTE *, DWORD, HCRYPTKEY, DWORD, HCRYPTKEY *)
REFUSED(CPEncrypt, HCRYPTPROV, HCRYPTKEY, HCRYPTHASH, BOOL, DWORD, BYTE *, DWORD *, DWORD)
REFUSED(CPDecrypt, HCRYPTPROV, HCRYPTKEY, HCRYPTHASH, BOOL, DWORD, BYTE *, DWORD *)
REFUSED(CPCreateHash, HCRYPTPROV, ALG_ID, HCRYPTKEY, DWORD, HCRYPTHASH *)
REFUSED(CPHashData, HCRYPTPROV, HCRYPTHASH, const BYTE *, DWORD, DWORD)
REFUSED(CPHashSessionKey, HCRYPTPROV, HCRYPTHASH, HCRYPTKEY, DWORD)
REFUSED(CPDestroyHash, HCRYPTPROV, HCRYPTHASH)
REFUSED(CPSignHash, HCRYPTPROV, HCRYPTHASH, DWORD, LPCWSTR, DWORD, BYTE *, DWORD *)
REFUSED(CPVerifySignature, HCRYPTPROV, HCRYPTHASH, const BYTE *, DWORD, HCRYPTKEY, LPCWSTR, DWORD)
REFUSED(CPGenRandom, HCRYPTPROV, DWORD, BYTE *)
REFUSED(CPGetUserKey, HCRYPTPROV, DWORD, HCRYPTKEY *)
REFUSED(CPSetProvParam, HCRYPTPROV, DWORD, const BYTE *, DWORD)
REFUSED(CPSetHashParam, HCRYPTPROV, HCRYPTHASH, DWORD, const BYTE *, DWORD)
REFUSED(CPGetHashParam, HCRYPTPROV, HCRYPTHASH, DWORD, BYTE *, DWORD *, DWORD)
REFUSED(CPDuplicateHash, HCRYPTPROV, HCRYPTHASH, DWORD *, DWORD, HCRYPTHASH *)
REFUSED(CPDuplicateKey, HCRYPTPROV, HCRYPTKEY, DWORD *, DWORD, HCRYPTKEY *)
