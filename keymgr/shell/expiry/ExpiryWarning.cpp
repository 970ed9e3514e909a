#include "keymgr/shell/expiry/ExpiryWarning.h"

#include "common/BoundedCopy.h"
#include "common/win32/Module.h"
#include "keymgr/library/CspControlBlock.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/StartupNames.h"
#include "keymgr/shell/expiry/CertExpiry.h"
#include "keymgr/shell/expiry/TimeQuery.h"

#include <windows.h>
#include <wincrypt.h>

#include <new>
#include <stdio.h>
#include <vector>

namespace {

uint64_t FromFileTime(const FILETIME &t)
{
    return ((uint64_t)t.dwHighDateTime << 32) | t.dwLowDateTime;
}

void ShowOutOfMemory()
{
    char text[64] = "";
    LoadStringA(AppInstance(), IDS_NO_MEMORY, text, sizeof(text));
    MessageBoxA(NULL, text, UserTitle, MB_OK | MB_ICONSTOP);
}

// "Now", asked for once per warning and only when a certificate needs it.
class ExpiryClock {
public:
    ExpiryClock() : m_known(false), m_now(0) {}
    uint64_t Now()
    {
        if (!m_known) {
            uint64_t server = 0;
            bool fromServer = QueryTimeServer(&server);
            FILETIME system;
            GetSystemTimeAsFileTime(&system);
            m_now = ExpiryNow(fromServer, server, FromFileTime(system));
            m_known = true;
        }
        return m_now;
    }

private:
    bool m_known;
    uint64_t m_now;
};

// NotAfter of a certificate in local time, or false when it does not decode.
bool CertificateNotAfter(const uint8_t *der, uint32_t length, FILETIME *localNotAfter)
{
    PCCERT_CONTEXT cert = CertCreateCertificateContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, der, length);
    if (!cert)
        return false;
    bool ok = cert->pCertInfo && FileTimeToLocalFileTime(&cert->pCertInfo->NotAfter, localNotAfter);
    CertFreeCertificateContext(cert);
    return ok;
}

} // namespace

bool ComposeExpiryWarning(const char *reader, char *out, size_t size)
{
    if (!reader || !out || size == 0)
        return false;
    std::vector<uint8_t> block;
    try {
        block.assign(CSP_CTRL_SIZE, 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    uint32_t blockLength = CSP_CTRL_SIZE;
    if (Tok::OC_ReadCSPCtrl(0, reader, &block[0], &blockLength) != 0)
        return false;

    int days = 0;
    Tok::ZRGetCertExpiredDays(&days);
    ExpiryClock clock;
    for (int i = 0; i < CSP_RECORD_COUNT; ++i) {
        CspContainerRecord record;
        if (!DecodeCspRecord(&block[0], block.size(), i, &record))
            return false;
        if (record.inUse == 0)
            continue;
        if (!record.nameTerminated)
            return false;

        uint8_t *cert = new (std::nothrow) uint8_t[EXPIRY_CERT_BUFFER_SIZE];
        if (!cert) {
            ShowOutOfMemory();
            return false;
        }
        uint32_t certLength = EXPIRY_CERT_BUFFER_SIZE;
        FILETIME notAfter;
        bool read = Tok::OC_ReadCert(0, reader, record.name.c_str(), ExpiryKeySpec(record), cert, &certLength) == 0 &&
                    certLength > 0 && certLength <= EXPIRY_CERT_BUFFER_SIZE &&
                    CertificateNotAfter(cert, certLength, &notAfter);
        delete[] cert;
        if (!read)
            return false;

        if (CertificateExpiring(FromFileTime(notAfter), clock.Now(), days)) {
            SYSTEMTIME date;
            if (!FileTimeToSystemTime(&notAfter, &date))
                return false;
            char text[256];
            snprintf(text, sizeof(text), "KEY插入，您证书的快要到期。\n截止日期为%d年%d月%d日。", date.wYear, date.wMonth,
                     date.wDay);
            CopyBounded(out, size, text);
            return true;
        }
    }
    return false;
}
