// The expiry warning over stand-in token entries and CryptoAPI-made
// certificates; "now" from a loopback time server or the clock.
#include "keymgr/shell/expiry/ExpiryWarning.h"

#include "keymgr/library/CspControlBlock.h"
#include "keymgr/library/TokenCalls.h"
#include "keymgr/shell/expiry/CertExpiry.h"
#include "keymgr/shell/expiry/TimeReply.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>

#include <map>
#include <string>
#include <vector>

#include "LoopbackTimeServer.h"

namespace {

// Set before anything reads it: the time server of this test program.
const uint16_t kTimePort = 37037;
struct SetTimeServer {
    SetTimeServer() { SetEnvironmentVariableA(TIME_SERVER_ENV, "127.0.0.1:37037"); }
} g_setTimeServer;

std::vector<uint8_t> g_block;
int g_blockResult = 0;
std::map<std::string, std::vector<uint8_t>> g_certs; // "name/kind"
std::vector<std::string> g_certReads;
int g_days = 0;
uint32_t g_claimedLength = 0; // when non-zero, the length the reader reports

int TOKAPI FakeReadCSPCtrl(int, const char *reader, uint8_t *buffer, uint32_t *length)
{
    if (g_blockResult)
        return g_blockResult;
    size_t n = g_block.size() < *length ? g_block.size() : *length;
    memcpy(buffer, g_block.data(), n);
    *length = (uint32_t)n;
    return 0;
}

int TOKAPI FakeReadCert(int, const char *reader, const char *container, int keySpec, uint8_t *buffer,
                        uint32_t *length)
{
    std::string key = std::string(container) + "/" + std::to_string(keySpec);
    g_certReads.push_back(key);
    auto it = g_certs.find(key);
    if (it == g_certs.end())
        return 0x88000037;
    if (it->second.size() > *length)
        return 1;
    memcpy(buffer, it->second.data(), it->second.size());
    *length = g_claimedLength ? g_claimedLength : (uint32_t)it->second.size();
    return 0;
}

int TOKAPI FakeExpiredDays(int *days)
{
    *days = g_days;
    return 0;
}

uint64_t NowTicks()
{
    FILETIME f;
    GetSystemTimeAsFileTime(&f);
    return ((uint64_t)f.dwHighDateTime << 32) | f.dwLowDateTime;
}

FILETIME ToFileTime(uint64_t t)
{
    FILETIME f = {(DWORD)t, (DWORD)(t >> 32)};
    return f;
}

// A self-signed certificate valid until notAfter (UTC ticks).
std::vector<uint8_t> MakeCert(uint64_t notAfter)
{
    BYTE name[256];
    DWORD nameLength = sizeof(name);
    if (!CertStrToNameA(X509_ASN_ENCODING, "CN=expiry test", CERT_X500_NAME_STR, NULL, name, &nameLength, NULL))
        return {};
    CERT_NAME_BLOB subject = {nameLength, name};
    SYSTEMTIME start, end;
    FILETIME s = ToFileTime(notAfter - 400 * kExpiryUnitTicks), e = ToFileTime(notAfter);
    FileTimeToSystemTime(&s, &start);
    FileTimeToSystemTime(&e, &end);
    PCCERT_CONTEXT c = CertCreateSelfSignCertificate(0, &subject, 0, NULL, NULL, &start, &end, NULL);
    if (!c)
        return {};
    std::vector<uint8_t> der(c->pbCertEncoded, c->pbCertEncoded + c->cbCertEncoded);
    CertFreeCertificateContext(c);
    return der;
}

void SetRecord(int index, uint32_t flags, uint32_t inUse, const char *name)
{
    size_t at = (size_t)index * CSP_RECORD_STRIDE;
    memcpy(&g_block[at + CSP_OFF_KEY_FLAGS], &flags, 4);
    memcpy(&g_block[at + CSP_OFF_IN_USE], &inUse, 4);
    strcpy(reinterpret_cast<char *>(&g_block[at + CSP_OFF_NAME]), name);
}

std::string ExpectedText(uint64_t notAfterUtc)
{
    FILETIME utc = ToFileTime(notAfterUtc), local;
    SYSTEMTIME d;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &d);
    char text[256];
    snprintf(text, sizeof(text), "KEY插入，您证书的快要到期。\n截止日期为%d年%d月%d日。", d.wYear, d.wMonth, d.wDay);
    return text;
}

class ExpiryWarningTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TokenBinding &t = ProcessTokenTable();
        saved[0] = t.slots[TE_OC_ReadCSPCtrl];
        saved[1] = t.slots[TE_OC_ReadCert];
        saved[2] = t.slots[TE_ZRGetCertExpiredDays];
        t.slots[TE_OC_ReadCSPCtrl] = (void *)&FakeReadCSPCtrl;
        t.slots[TE_OC_ReadCert] = (void *)&FakeReadCert;
        t.slots[TE_ZRGetCertExpiredDays] = (void *)&FakeExpiredDays;
        g_block.assign(CSP_CTRL_SIZE, 0);
        g_blockResult = 0;
        g_certs.clear();
        g_certReads.clear();
        g_days = 7;
        g_claimedLength = 0;
        now = NowTicks();
        strcpy(out, "unchanged");
    }
    void TearDown() override
    {
        TokenBinding &t = ProcessTokenTable();
        t.slots[TE_OC_ReadCSPCtrl] = saved[0];
        t.slots[TE_OC_ReadCert] = saved[1];
        t.slots[TE_ZRGetCertExpiredDays] = saved[2];
    }
    void AddCert(const char *name, int keyKind, uint64_t notAfter)
    {
        std::vector<uint8_t> der = MakeCert(notAfter);
        ASSERT_FALSE(der.empty()) << "CertCreateSelfSignCertificate failed: " << GetLastError();
        g_certs[std::string(name) + "/" + std::to_string(keyKind)] = der;
    }
    void *saved[3];
    uint64_t now;
    char out[512];
};

TEST_F(ExpiryWarningTest, ThreeUnitsAheadWarnsWithSevenDaysNotWithTwo)
{
    uint64_t notAfter = now + 3 * kExpiryUnitTicks + kExpiryUnitTicks / 2;
    SetRecord(0, 1, 1, "ctr0");
    AddCert("ctr0", 1, notAfter);
    g_days = 7;
    ASSERT_TRUE(ComposeExpiryWarning("Reader 0", out, sizeof(out)));
    EXPECT_EQ(ExpectedText(notAfter), out);

    g_days = 2;
    strcpy(out, "unchanged");
    EXPECT_FALSE(ComposeExpiryWarning("Reader 0", out, sizeof(out)));
    EXPECT_STREQ("unchanged", out);
}

TEST_F(ExpiryWarningTest, FirstExpiringInUseRecordWithItsKeySpec)
{
    uint64_t later = now + 100 * kExpiryUnitTicks;
    uint64_t soon = now + kExpiryUnitTicks + kExpiryUnitTicks / 2;
    SetRecord(0, 2, 0, "unused"); // not in use: never read
    SetRecord(1, 3, 1, "far");    // signature bit set: key spec 2
    SetRecord(2, 1, 1, "near");
    AddCert("far", 2, later);
    AddCert("near", 1, soon);
    g_days = 5;
    ASSERT_TRUE(ComposeExpiryWarning("R", out, sizeof(out)));
    EXPECT_EQ(ExpectedText(soon), out);
    ASSERT_EQ(2u, g_certReads.size());
    EXPECT_EQ("far/2", g_certReads[0]);
    EXPECT_EQ("near/1", g_certReads[1]);
}

TEST_F(ExpiryWarningTest, AlreadyExpiredAlwaysWarns)
{
    SetRecord(0, 1, 1, "old");
    AddCert("old", 1, now - 2 * kExpiryUnitTicks);
    g_days = 0;
    EXPECT_TRUE(ComposeExpiryWarning("R", out, sizeof(out)));
}

TEST_F(ExpiryWarningTest, FailuresEndTheWalkWithoutAWarning)
{
    uint64_t soon = now + kExpiryUnitTicks / 2;
    // A certificate that cannot be read stops the walk: the later one is not tried.
    SetRecord(0, 1, 1, "missing");
    SetRecord(1, 1, 1, "good");
    AddCert("good", 1, soon);
    EXPECT_FALSE(ComposeExpiryWarning("R", out, sizeof(out)));
    EXPECT_EQ(1u, g_certReads.size());

    // Bytes that are no certificate.
    g_certReads.clear();
    g_certs["missing/1"] = std::vector<uint8_t>(300, 0x30);
    EXPECT_FALSE(ComposeExpiryWarning("R", out, sizeof(out)));
    EXPECT_EQ(1u, g_certReads.size());

    // A length claimed beyond the buffer.
    g_certs["missing/1"] = g_certs["good/1"];
    g_claimedLength = EXPIRY_CERT_BUFFER_SIZE + 1;
    EXPECT_FALSE(ComposeExpiryWarning("R", out, sizeof(out)));
    g_claimedLength = 0;
    EXPECT_TRUE(ComposeExpiryWarning("R", out, sizeof(out)));

    // The control block cannot be read.
    strcpy(out, "unchanged");
    g_blockResult = 0x88000001;
    EXPECT_FALSE(ComposeExpiryWarning("R", out, sizeof(out)));
    EXPECT_STREQ("unchanged", out);
}

TEST_F(ExpiryWarningTest, NameNotTerminatedInItsRecordIsNeverUsed)
{
    SetRecord(0, 1, 1, "");
    memset(&g_block[CSP_OFF_NAME], 'N', CSP_RECORD_STRIDE - CSP_OFF_NAME);
    SetRecord(1, 1, 1, "good");
    AddCert("good", 1, now);
    EXPECT_FALSE(ComposeExpiryWarning("R", out, sizeof(out)));
    EXPECT_TRUE(g_certReads.empty());
}

TEST_F(ExpiryWarningTest, MissingEntriesGiveNoWarning)
{
    ProcessTokenTable().slots[TE_OC_ReadCSPCtrl] = NULL;
    EXPECT_FALSE(ComposeExpiryWarning("R", out, sizeof(out)));
    EXPECT_FALSE(ComposeExpiryWarning(NULL, out, sizeof(out)));
}

TEST_F(ExpiryWarningTest, TimeComesFromTheServerWhenOneAnswers)
{
    // By the clock 3.5 units remain (no warning with 2 days); the server
    // says it is 10 units later, so the certificate has expired.
    uint64_t notAfter = now + 3 * kExpiryUnitTicks + kExpiryUnitTicks / 2;
    SetRecord(0, 1, 1, "ctr0");
    AddCert("ctr0", 1, notAfter);
    g_days = 2;
    EXPECT_FALSE(ComposeExpiryWarning("R", out, sizeof(out))) << "no server: the clock";

    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
    Server s;
    uint64_t serverTime = now + 10 * kExpiryUnitTicks - kServerZoneTicks;
    s.seconds = (uint32_t)((serverTime - kTicks1601To1900) / kTicksPerSecond);
    ASSERT_TRUE(StartServer(&s, ANSWER, kTimePort));
    EXPECT_TRUE(ComposeExpiryWarning("R", out, sizeof(out)));
    EXPECT_EQ(1, s.accepted);
    StopServer(&s);
    WSACleanup();
}

} // namespace
