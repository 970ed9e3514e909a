// Drives tokcsp_sim.dll and tokcmd_sim.dll through GetProcAddress, as the
// program does, against a state folder of its own. The DLLs are taken from
// %TOKENSIM_BIN%, else from ..\bin next to this program.
#include "keymgr/library/TokenEntries.h"
#include "sim/core/SimKeys.h"
#include "sim/core/StateFile.h"
#include "sim/win32/SimStore.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <atomic>
#include <string>

namespace {

struct Api {
    HMODULE csp = NULL, cmd = NULL;
    void *slot[TE_COUNT] = {};
};
Api g_api;

#define CALL(name) ((PFN_TOK_##name)g_api.slot[TE_##name])

std::string BinFolder()
{
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("TOKENSIM_BIN", buf, sizeof buf);
    if (n > 0 && n < sizeof buf)
        return buf;
    return ModuleFolder(NULL) + "\\..\\bin";
}

class SimDlls : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char tmp[MAX_PATH];
        GetTempPathA(sizeof tmp, tmp);
        folder_ = std::string(tmp) + "simdll-" + std::to_string(GetCurrentProcessId());
        CreateFolderTree(folder_);
        SetEnvironmentVariableA("TOKENSIM_DIR", folder_.c_str());
        std::string bin = BinFolder();
        g_api.cmd = LoadLibraryA((bin + "\\tokcmd_sim.dll").c_str());
        g_api.csp = LoadLibraryA((bin + "\\tokcsp_sim.dll").c_str());
#define LOAD(row, name, lib, ret, params) \
    g_api.slot[TE_##name] = (void *)GetProcAddress(#lib[0] == 'K' ? g_api.csp : g_api.cmd, #name);
        TOKEN_ENTRY_TABLE(LOAD)
#undef LOAD
    }

    static void TearDownTestSuite()
    {
        const char *files[] = {"state.ini", "calls.log", "lang.ini"};
        for (const char *f : files)
            DeleteFileA((folder_ + "\\" + f).c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    void SetUp() override
    {
        ASSERT_TRUE(g_api.csp && g_api.cmd) << "DLLs not found in " << BinFolder();
        state_ = FreshState(2, SimStore::Now());
        state_.readers[0].present = true;
        Write();
        SimStore::Lock lock;
        SimStore::Instance().ClearLog();
    }

    void Write()
    {
        SimStore::Lock lock;
        ASSERT_TRUE(SimStore::Instance().Save(state_));
    }

    static SimState Read()
    {
        SimStore::Lock lock;
        return SimStore::Instance().Current();
    }

    static std::string Log()
    {
        std::string text;
        ReadWholeFile(folder_ + "\\calls.log", &text, 1 << 20);
        return text;
    }

    static std::string folder_;
    SimState state_;
};
std::string SimDlls::folder_;

const char *R0 = "ZV Reader 0";
const char *R1 = "ZV Reader 1";

TEST_F(SimDlls, EveryEntryIsExportedByItsLibraryOnly)
{
#define CHECK(row, name, lib, ret, params)                                                                    \
    EXPECT_NE(nullptr, g_api.slot[TE_##name]) << #name;                                                    \
    EXPECT_EQ(nullptr, (void *)GetProcAddress(#lib[0] == 'K' ? g_api.cmd : g_api.csp, #name)) << #name;
    TOKEN_ENTRY_TABLE(CHECK)
#undef CHECK
}

TEST_F(SimDlls, ReadersAndDeviceState)
{
    uint32_t size = 0, count = 0;
    ASSERT_EQ(0, CALL(QKListReaders)(NULL, &size, &count));
    EXPECT_EQ(25u, size);
    EXPECT_EQ(2u, count);
    char buf[64];
    memset(buf, 'x', sizeof buf);
    uint32_t small = size - 1;
    EXPECT_NE(0, CALL(QKListReaders)(buf, &small, &count));
    EXPECT_EQ('x', buf[0]);
    ASSERT_EQ(0, CALL(QKListReaders)(buf, &size, &count));
    EXPECT_EQ(std::string("ZV Reader 0\0ZV Reader 1\0\0", 25), std::string(buf, size));
    uint32_t state = 99;
    EXPECT_EQ(0, CALL(QKGetDevState)(R0, &state));
    EXPECT_EQ(32u, state);
    EXPECT_EQ(0, CALL(QKGetDevState)(R1, &state));
    EXPECT_EQ(0u, state);
    EXPECT_NE(0, CALL(QKGetDevState)("No Such Reader", &state));
    EXPECT_NE(0, CALL(QKGetDevState)(NULL, NULL));
    uint32_t app = 0;
    EXPECT_EQ((int)SIM_ERR_NO_TOKEN, CALL(OC_GetHWApp)(0, R1, &app));
}

struct Watch {
    std::atomic<int> inserted{0}, removed{0};
    std::atomic<DWORD> thread{0};
};
Watch g_watch;

int TOKAPI OnInserted(void *context)
{
    if (context == &g_watch) {
        g_watch.thread = GetCurrentThreadId();
        ++g_watch.inserted;
    }
    return 0;
}

int TOKAPI OnRemoved(void *context)
{
    if (context == &g_watch)
        ++g_watch.removed;
    return 0;
}

bool WaitFor(const std::atomic<int> &value, int expected)
{
    for (int i = 0; i < 100 && value < expected; ++i)
        Sleep(30);
    return value >= expected;
}

bool RunTokensim(const std::string &args)
{
    std::string cmd = "\"" + BinFolder() + "\\tokensim.exe\" " + args;
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 20000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code == 0;
}

TEST_F(SimDlls, WatcherCallsBackOnItsOwnThreadWhenAnotherProcessInserts)
{
    ASSERT_EQ(0, CALL(QKSetDevChgFunc)(R1, OnInserted, OnRemoved, &g_watch, 0));
    EXPECT_NE(0, CALL(QKSetDevChgFunc)("No Such Reader", OnInserted, OnRemoved, &g_watch, 0));
    ASSERT_TRUE(RunTokensim("insert \"ZV Reader 1\""));
    ASSERT_TRUE(WaitFor(g_watch.inserted, 1));
    EXPECT_NE(GetCurrentThreadId(), g_watch.thread.load());
    EXPECT_EQ(0, g_watch.removed.load());
    ASSERT_TRUE(RunTokensim("remove 1"));
    ASSERT_TRUE(WaitFor(g_watch.removed, 1));
    EXPECT_EQ(1, g_watch.inserted.load());
    // Changes to other readers call nothing.
    ASSERT_TRUE(RunTokensim("remove 0"));
    Sleep(300);
    EXPECT_EQ(1, g_watch.inserted.load());
    EXPECT_EQ(1, g_watch.removed.load());
    ASSERT_EQ(0, CALL(QKSetDevChgFunc)(R1, NULL, NULL, NULL, 0));
    std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("QKSetDevChgFunc\tZV Reader 1\tcb\tcb\tptr\t0\t=> 0x0\n"));
    EXPECT_NE(std::string::npos, log.find("QKDevChg\tinserted\tZV Reader 1\t=> 0x0\n"));
    EXPECT_NE(std::string::npos, log.find("QKDevChg\tremoved\tZV Reader 1\t=> 0x0\n"));
}

TEST_F(SimDlls, WrongPinsCountDownAndLockInEveryPinCall)
{
    uint8_t left = 0xEE;
    EXPECT_EQ((int)TOK_ERR_WRONG_PIN, CALL(OC_VerifyUserPin)(0, R0, "000000", &left));
    EXPECT_EQ(5, left);
    EXPECT_EQ((int)TOK_ERR_WRONG_PIN, CALL(OC_ChangeUserPin)(0, R0, "000000", "111111", &left));
    EXPECT_EQ(4, left);
    EXPECT_EQ((int)TOK_ERR_WRONG_PIN, CALL(OC_WriteLabel)(0, R0, "000000", "new", &left));
    EXPECT_EQ(3, left);
    uint32_t retries = 0;
    EXPECT_EQ(0, CALL(OC_GetUserPinRetryNum)(0, R0, &retries));
    EXPECT_EQ(3u, retries);
    EXPECT_EQ(3u, Read().readers[0].retries); // kept in the state file
    EXPECT_EQ(0, CALL(OC_WriteLabel)(0, R0, "123456", "新名字", &left));
    char label[36] = {0};
    uint32_t len = 34;
    EXPECT_EQ(0, CALL(OC_ReadLabel)(0, R0, label, &len));
    EXPECT_STREQ("新名字", label);
    EXPECT_EQ(0, CALL(OC_GetUserPinRetryNum)(0, R0, &retries));
    EXPECT_EQ(6u, retries);
    for (int i = 5; i >= 1; --i) {
        EXPECT_EQ((int)TOK_ERR_WRONG_PIN, CALL(OC_VerifyUserPin)(0, R0, "bad", &left));
        EXPECT_EQ(i, left);
    }
    EXPECT_EQ((int)TOK_ERR_PIN_LOCKED, CALL(OC_VerifyUserPin)(0, R0, "bad", &left));
    EXPECT_EQ((int)TOK_ERR_PIN_LOCKED, CALL(OC_ChangeUserPin)(0, R0, "123456", "654321", NULL));
    EXPECT_TRUE(Read().readers[0].locked);
}

DWORD WINAPI WrongPins(void *)
{
    uint8_t left;
    for (int i = 0; i < 40; ++i)
        CALL(OC_VerifyUserPin)(0, "ZV Reader 0", "bad", &left);
    return 0;
}

TEST_F(SimDlls, ConcurrentCallsLoseNoUpdate)
{
    state_.readers[0].retries = state_.readers[0].maxRetries = 200;
    Write();
    HANDLE threads[4];
    for (HANDLE &t : threads)
        t = CreateThread(NULL, 0, WrongPins, NULL, 0, NULL);
    // Another process writes the same file meanwhile.
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(RunTokensim("set 1 label=L" + std::to_string(i)));
    WaitForMultipleObjects(4, threads, TRUE, 60000);
    for (HANDLE t : threads)
        CloseHandle(t);
    SimState s = Read();
    EXPECT_EQ(40u, s.readers[0].retries);
    EXPECT_EQ("L2", s.readers[1].label);
    EXPECT_TRUE(s.warnings.empty());
}

TEST_F(SimDlls, PinTagFileAbsentCreateWriteRead)
{
    state_.readers[0].pinTagPresent = false;
    Write();
    uint8_t buf[255];
    uint32_t len = sizeof buf, out = 7;
    EXPECT_EQ((int)TOK_ERR_NO_FILE, CALL(OC_ReadFile)(0, R0, NULL, 0, 0, buf, &len, &out));
    EXPECT_EQ(0, CALL(OC_CreateFile)(0, R0, NULL, 0, 0, 260));
    len = sizeof buf;
    EXPECT_EQ(0, CALL(OC_ReadFile)(0, R0, NULL, 0, 0, buf, &len, &out));
    EXPECT_EQ(0u, len);
    const uint8_t tag = 1;
    EXPECT_EQ(0, CALL(OC_WriteFile)(0, R0, NULL, 0, 0, &tag, 1, &out));
    len = sizeof buf;
    buf[0] = 0;
    EXPECT_EQ(0, CALL(OC_ReadFile)(0, R0, NULL, 0, 0, buf, &len, NULL));
    EXPECT_EQ(1u, len);
    EXPECT_EQ(1, buf[0]);
    EXPECT_EQ("01", HexEncode(Read().readers[0].pinTag));
    std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("OC_ReadFile\t0\tZV Reader 0\tNULL\t0\t0\tbuf\t255\tout\t=> 0x88000037\n"));
    EXPECT_NE(std::string::npos, log.find("OC_CreateFile\t0\tZV Reader 0\tNULL\t0\t0\t260\t=> 0x0\n"));
    EXPECT_NE(std::string::npos, log.find("OC_WriteFile\t0\tZV Reader 0\tNULL\t0\t0\t01\t1\tout\t=> 0x0\n"));
}

uint32_t Get32(const uint8_t *p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

int64_t FileTimeToUnix(const FILETIME &ft)
{
    uint64_t t = ((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return (int64_t)(t / 10000000ull) - 11644473600ll;
}

TEST_F(SimDlls, ControlBlockAndCertificatesDecodeWithCryptoApi)
{
    Reader &r = state_.readers[0];
    std::string err;
    ASSERT_TRUE(SetReaderKey(r, "c1.exch.notafter", "2051-06-01T00:00:00", SimStore::Now(), &err)) << err;
    ASSERT_TRUE(SetReaderKey(r, "c1.name", "second", 0, &err));
    ASSERT_TRUE(SetReaderKey(r, "c2.sig", "garbage", SimStore::Now(), &err));
    ASSERT_TRUE(SetReaderKey(r, "c2.name", "broken", 0, &err));
    Write();

    std::vector<uint8_t> block(0xC0130);
    uint32_t len = 0xC0130 - 4;
    EXPECT_NE(0, CALL(OC_ReadCSPCtrl)(0, R0, block.data(), &len));
    len = 0xC0130;
    ASSERT_EQ(0, CALL(OC_ReadCSPCtrl)(0, R0, block.data(), &len));
    const uint8_t *rec[3] = {&block[0], &block[0x4005C], &block[2 * 0x4005C]};
    EXPECT_EQ(2u, Get32(rec[0] + 0x1C));
    EXPECT_EQ(1u, Get32(rec[0] + 0x28));
    EXPECT_STREQ("ZVKey-Container-0", (const char *)rec[0] + 0x2C);
    EXPECT_EQ(1u, Get32(rec[1] + 0x1C));
    EXPECT_STREQ("second", (const char *)rec[1] + 0x2C);
    EXPECT_EQ(2u, Get32(rec[2] + 0x1C));

    std::vector<uint8_t> cert(0x20000);
    struct Case {
        const char *container;
        int keyKind;
        uint32_t lengthInBlock;
        int64_t notAfter;
    } cases[] = {{"ZVKey-Container-0", 2, Get32(rec[0] + 0x24), r.containers[0].signature.notAfter},
                 {"second", 1, Get32(rec[1] + 0x20), r.containers[1].exchange.notAfter}};
    for (const Case &c : cases) {
        len = 0x20000;
        ASSERT_EQ(0, CALL(OC_ReadCert)(0, R0, c.container, c.keyKind, cert.data(), &len)) << c.container;
        EXPECT_EQ(c.lengthInBlock, len);
        // Under code page 936 the GBK name must reach the certificate as UTF-8.
        static const char utf8Name[] = "\xE5\xBC\xA0\xE4\xB8\x89";
        if (GetACP() == 936)
            EXPECT_NE(std::string::npos, std::string(cert.begin(), cert.begin() + len).find(utf8Name));
        else
            printf("note: ANSI code page is %u, not 936: names are not checked as GBK\n", GetACP());
        PCCERT_CONTEXT ctx = CertCreateCertificateContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, cert.data(), len);
        ASSERT_NE(nullptr, ctx) << c.container << " error " << GetLastError();
        EXPECT_EQ(c.notAfter, FileTimeToUnix(ctx->pCertInfo->NotAfter));
        char name[128] = {0};
        CertGetNameStringA(ctx, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, NULL, name, sizeof name);
        EXPECT_STREQ("张三", name);
        CertGetNameStringA(ctx, CERT_NAME_SIMPLE_DISPLAY_TYPE, CERT_NAME_ISSUER_FLAG, NULL, name, sizeof name);
        EXPECT_STREQ("岚川银行CA", name);
        CertFreeCertificateContext(ctx);
    }
    len = 0x20000;
    ASSERT_EQ(0, CALL(OC_ReadCert)(0, R0, "broken", 2, cert.data(), &len));
    EXPECT_EQ(nullptr, CertCreateCertificateContext(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, cert.data(), len));
    len = 10;
    EXPECT_NE(0, CALL(OC_ReadCert)(0, R0, "ZVKey-Container-0", 2, cert.data(), &len));
    EXPECT_EQ(cases[0].lengthInBlock, len);

    char info[64];
    uint32_t infoLen = sizeof info, n1 = 0, n2 = 9, n3 = 9;
    ASSERT_EQ(0, CALL(CSPLoadCertToIE)(R0, &n1, &n2, &n3, info, &infoLen));
    EXPECT_STREQ("已将证书注册到浏览器：张三、张三", info);
    EXPECT_EQ(2u, n1);
    infoLen = 8;
    ASSERT_EQ(0, CALL(CSPLoadCertToIE)(R0, NULL, NULL, NULL, info, &infoLen));
    EXPECT_EQ(6u, strlen(info)); // three characters, cut whole
}

TEST_F(SimDlls, CustomerIdThroughADeviceHandle)
{
    state_.readers[0].customerId = std::string(300, 'C');
    Write();
    TokHandle h = NULL;
    ASSERT_EQ(0, CALL(QKConnectDev)(R0, &h));
    ASSERT_EQ(0, CALL(QKBeginTransaction)(h));
    uint8_t buf[256 + 16];
    memset(buf, 0xEE, sizeof buf);
    memset(buf, 0, 256);
    uint32_t len = 4;
    ASSERT_EQ(0, CALL(HWReadCID)(h, buf, &len));
    EXPECT_EQ(255u, strlen((const char *)buf));
    EXPECT_EQ(0xEE, buf[256]);
    EXPECT_EQ(0, CALL(QKEndTransaction)(h));
    EXPECT_EQ(0, CALL(QKDisconnectDev)(h));
    EXPECT_NE(0, CALL(QKConnectDev)(R1, &h)); // no token there
    EXPECT_NE(0, CALL(QKBeginTransaction)((TokHandle)0x1234));
}

TEST_F(SimDlls, LanguageTextsWholeAndMissing)
{
    std::string longText(5000, 'a');
    longText[4999] = 'Z';
    std::string file = "[MainFrm]\r\nIDS_LONG=" + longText + "\r\nIDS_TWO=one\\ntwo\r\n";
    HANDLE f = CreateFileA((folder_ + "\\lang.ini").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD put;
    WriteFile(f, file.data(), (DWORD)file.size(), &put, NULL);
    CloseHandle(f);
    const char *t = CALL(LngLoadString)("MainFrm", "IDS_LONG");
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(longText, t);
    const char *two = CALL(LngLoadString)("mainfrm", "IDS_TWO");
    EXPECT_STREQ("one\ntwo", two);
    EXPECT_EQ(longText, t); // the earlier text is still intact
    const char *missing = CALL(LngLoadString)("MainFrm", "IDS_NONE");
    ASSERT_NE(nullptr, missing);
    EXPECT_STREQ("", missing);
    EXPECT_STREQ("", CALL(LngLoadString)(NULL, NULL));
    EXPECT_STREQ("0804", CALL(LngGetDefaultItem)());
    EXPECT_EQ(0, CALL(LngSetDefaultItem)("0409"));
    EXPECT_STREQ("0409", CALL(LngGetDefaultItem)());
    DeleteFileA((folder_ + "\\lang.ini").c_str());
}

TEST_F(SimDlls, HooksForceResultsAndDelay)
{
    state_.readers[0].fail["OC_GetHWApp"] = "0x88000001";
    state_.config.fail["ZVCreateCachedPin"] = "5";
    state_.config.fail["ZRGetPWSGrade"] = "0";
    state_.config.delay["QKGetDevState"] = "300";
    Write();
    uint32_t app = 77;
    EXPECT_EQ((int)0x88000001, CALL(OC_GetHWApp)(0, R0, &app));
    EXPECT_EQ(77u, app);
    EXPECT_EQ(5, CALL(ZVCreateCachedPin)());
    EXPECT_EQ(0u, CALL(ZRGetPWSGrade)("Abcd1234", 2000));
    DWORD start = GetTickCount();
    uint32_t st;
    EXPECT_EQ(0, CALL(QKGetDevState)(R0, &st));
    EXPECT_GE(GetTickCount() - start, 280u);
    state_ = FreshState(1, SimStore::Now());
    Write();
    EXPECT_EQ(5u, CALL(ZRGetPWSGrade)("Abcd1234", 2000));
    EXPECT_EQ(1, CALL(ZRIsInputNumber)("ab1"));
    EXPECT_EQ(0, CALL(ZRIsInputNumber)("abc"));
}

TEST_F(SimDlls, ConfigQueriesAndNullOutPointers)
{
    char text[64];
    EXPECT_EQ(0, CALL(ZRGetUserTitle)(text));
    EXPECT_STREQ("朔岩USBKey管理工具", text);
    int lo = 0, hi = 0;
    EXPECT_EQ(0, CALL(ZRGetPinLen)(&lo, &hi));
    EXPECT_EQ(6, lo);
    EXPECT_EQ(16, hi);
    EXPECT_EQ(0, CALL(ZRGetPinLen)(NULL, NULL));
    EXPECT_EQ(0, CALL(ZRGetVerifyPINTime)(NULL));
    EXPECT_EQ(0, CALL(OC_GetFreeSize)(0, R0, NULL));
    EXPECT_EQ(0, CALL(CSPLoadCertToIE)(R0, NULL, NULL, NULL, NULL, NULL));
    EXPECT_EQ(0, CALL(ZRSetSoftKeyBoardMode)(2));
    int mode = 0;
    EXPECT_EQ(0, CALL(ZRGetSoftKeyBoardMode)(&mode));
    EXPECT_EQ(2, mode);
    char serial[20];
    memset(serial, 'x', sizeof serial);
    EXPECT_EQ(0, CALL(OC_GetSerial)(0, R0, serial));
    EXPECT_EQ(std::string("ZV2026000000000"), std::string(serial, 15));
    EXPECT_EQ('x', serial[17]);
}

TEST_F(SimDlls, GarbageStateFileGivesDefaults)
{
    HANDLE f = CreateFileA((folder_ + "\\state.ini").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    std::string junk(3000, '\x01');
    junk += "\r\n[reader0]\r\nname=Half"; // cut off: no [end]
    DWORD put;
    WriteFile(f, junk.data(), (DWORD)junk.size(), &put, NULL);
    CloseHandle(f);
    uint32_t size = 0, count = 0;
    ASSERT_EQ(0, CALL(QKListReaders)(NULL, &size, &count));
    EXPECT_EQ(1u, count);
    uint32_t st = 9;
    EXPECT_EQ(0, CALL(QKGetDevState)("Half", &st));
    EXPECT_EQ(0u, st);
    EXPECT_FALSE(Read().warnings.empty());
}

} // namespace
