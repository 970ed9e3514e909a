#include "assistant/engine/win32/install/HeldFile.h"
#include "assistant/engine/win32/install/SignatureGate.h"
#include "assistant/engine/win32/install/UrlDownloader.h"
#include "tests/win32/assistant/LoopbackServer.h"

#include <gtest/gtest.h>

#include <stdio.h>
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

std::string ReadAll(const std::string &path)
{
    std::string bytes;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return "<none>";
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(f, buf, sizeof(buf), &n, NULL) && n > 0)
        bytes.append(buf, n);
    CloseHandle(f);
    return bytes;
}

std::string LastLine(const std::string &path)
{
    std::string text = ReadAll(path);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text.substr(text.rfind('\n') + 1);
}

TEST(HeldFile, WhatWasCheckedIsWhatRunsAndNobodyChangesItMeanwhile)
{
    // The installer's environment is none of ours: it does not see this.
    SetEnvironmentVariableA("TOKENSIM_DIR", "C:\\gate-state");
    CreateDirectoryA("C:\\tokensim", NULL);
    WritePrivateProfileStringA("ExitCode", "gate-run.exe", "0xC0000005", "C:\\tokensim\\installer.ini");
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string path = std::string(temp) + "gate-run.exe";
    DeleteFileA(path.c_str());
    std::string bytes = ReadAll(Signed("installer_signed.exe"));
    ASSERT_NE("<none>", bytes);

    std::unique_ptr<CHeldFile> held =
        CHeldFile::WriteNew(path, bytes.data(), static_cast<DWORD>(bytes.size()), BuiltInSignerPin());
    ASSERT_TRUE(held);
    // Never over an existing file.
    EXPECT_FALSE(CHeldFile::WriteNew(path, "x", 1, BuiltInSignerPin()));
    // Held: others may read, but not write, delete or rename it.
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                                FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL));
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(MoveFileA(path.c_str(), (path + ".aside").c_str()));
    EXPECT_EQ(bytes, ReadAll(path));
    EXPECT_TRUE(held->IsTrustedSigned());
    uint16_t version[4] = {};
    ASSERT_TRUE(held->ReadFileVersion(version));
    EXPECT_EQ(13, version[2]);
    int seamRuns = 0;
    held->SetStartSeam([&](const std::string &p) {
        ++seamRuns;
        EXPECT_EQ(path, p);
    });
    ProcessOutcome outcome = held->RunAndWait();
    EXPECT_EQ(1, seamRuns);
    EXPECT_TRUE(outcome.started);
    EXPECT_TRUE(outcome.exitKnown);
    EXPECT_EQ(0xC0000005u, outcome.exitCode);
    EXPECT_FALSE(outcome.Succeeded());
    // It started in its own folder, with that folder as TEMP.
    std::string folder = std::string(temp).substr(0, strlen(temp) - 1);
    std::string line = LastLine("C:\\tokensim\\installs.log");
    EXPECT_NE(std::string::npos, line.find("\t" + path + "\t" + folder + "\t" + folder)) << line;
    // Let go once started: the file can be removed.
    EXPECT_TRUE(DeleteFileA(path.c_str()));

    // A file somebody still writes is not held (nor run).
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_NEW, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_FALSE(CHeldFile::Open(path, BuiltInSignerPin()));
    CloseHandle(writer);
    DeleteFileA(path.c_str());
}

TEST(UrlDownloader, SilentServerEndsAtTheBound)
{
    LoopbackServer silent(LoopbackServer::Silent);
    CUrlDownloader downloader(1500, 1500);
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    DWORD start = GetTickCount();
    EXPECT_EQ(DownloadStatus::TimedOut,
              downloader.Download(silent.Url(), std::string(temp) + "gate-silent.ini", DownloadKind::VersionFile));
    EXPECT_LT(GetTickCount() - start, 5000u);
}

}  // namespace
