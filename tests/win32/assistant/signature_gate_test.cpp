#include "assistant/engine/InstallerPlatform.h"
#include "assistant/engine/SignatureGate.h"
#include "assistant/engine/UrlDownloader.h"
#include "tests/win32/assistant/LoopbackServer.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

namespace {

// The signed copies of the installer stand-in that the build makes.
std::string Signed(const char *name)
{
    const char *bin = getenv("WINTEST_BIN_DIR");
    return std::string(bin ? bin : ".") + "\\signed\\" + name;
}

std::string TempCopy(const std::string &from, const char *name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string to = std::string(temp) + name;
    CopyFileA(from.c_str(), to.c_str(), FALSE);
    return to;
}

TEST(SignatureGate, OnlyThePinnedSignerUnderATrustedRootPasses)
{
    const char *pin = BuiltInSignerPin();
    ASSERT_EQ(40u, strlen(pin));
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Signed("installer_signed.exe").c_str()));
    EXPECT_TRUE(IsSignedByPinnedSigner(Signed("installer_signed.exe"), pin));
    // Upper-case pins name the same certificate.
    std::string upper = pin;
    for (char &c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(IsSignedByPinnedSigner(Signed("installer_signed.exe"), upper));

    EXPECT_FALSE(IsSignedByPinnedSigner(Signed("installer_unsigned.exe"), pin));
    // Same root, another signer.
    EXPECT_FALSE(IsSignedByPinnedSigner(Signed("installer_other.exe"), pin));
    // SHA-256 signature from a root nobody trusts (same subject as ours).
    EXPECT_FALSE(IsSignedByPinnedSigner(Signed("installer_stray.exe"), pin));
    EXPECT_FALSE(IsSignedByPinnedSigner(Signed("installer_signed.exe"), ""));
    EXPECT_FALSE(IsSignedByPinnedSigner(Signed("no-such-file.exe"), pin));
}

TEST(SignatureGate, TamperedFileIsRefused)
{
    std::string copy = TempCopy(Signed("installer_signed.exe"), "gate-tampered.exe");
    HANDLE f = CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    SetFilePointer(f, 0x200, NULL, FILE_BEGIN);
    BYTE b = 0;
    DWORD n = 0;
    ReadFile(f, &b, 1, &n, NULL);
    b ^= 0xff;
    SetFilePointer(f, 0x200, NULL, FILE_BEGIN);
    WriteFile(f, &b, 1, &n, NULL);
    CloseHandle(f);
    EXPECT_FALSE(IsSignedByPinnedSigner(copy, BuiltInSignerPin()));
    DeleteFileA(copy.c_str());
}

TEST(SignatureGate, PlatformRunsTheStandInAndReadsItsExitCode)
{
    SetEnvironmentVariableA("TOKENSIM_DIR", "C:\\gate-state");
    CreateDirectoryA("C:\\gate-state", NULL);
    WritePrivateProfileStringA("ExitCode", "gate-run.exe", "4", "C:\\gate-state\\installer.ini");
    std::string copy = TempCopy(Signed("installer_signed.exe"), "gate-run.exe");
    CMessageBoxPrompt prompt;
    CInstallerPlatform platform(prompt, BuiltInSignerPin());
    EXPECT_TRUE(platform.IsTrustedSigned(copy));
    ProcessOutcome outcome = platform.RunAndWait(copy);
    EXPECT_TRUE(outcome.started);
    EXPECT_TRUE(outcome.exitKnown);
    EXPECT_EQ(4u, outcome.exitCode);
    EXPECT_TRUE(platform.Remove(copy));
    EXPECT_FALSE(platform.RunAndWait(copy).started);
}

TEST(UrlDownloader, SilentServerEndsAtTheBound)
{
    LoopbackServer silent(LoopbackServer::Silent);
    CUrlDownloader downloader(1500);
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    DWORD start = GetTickCount();
    EXPECT_EQ(DownloadStatus::TimedOut, downloader.Download(silent.Url(), std::string(temp) + "gate-silent.ini"));
    EXPECT_LT(GetTickCount() - start, 5000u);
}

}  // namespace
