#include "assistant/engine/win32/install/HeldFile.h"
#include "assistant/engine/win32/install/SignatureGate.h"
#include "assistant/engine/win32/install/UrlDownloader.h"
#include "assistant/engine/win32/install/WorkFolder.h"
#include "tests/win32/assistant/LoopbackServer.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
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

// The folder's access list as descriptor text ("" when unreadable).
std::string FolderSecurity(const std::string &path)
{
    PSECURITY_DESCRIPTOR sd = NULL;
    PSID owner = NULL;
    PACL dacl = NULL;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, NULL, &dacl, NULL, &sd) != ERROR_SUCCESS)
        return "";
    LPSTR text = NULL;
    std::string out;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1,
                                                             OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                                             &text, NULL)) {
        out = text;
        LocalFree(text);
    }
    LocalFree(sd);
    return out;
}

// Owned by the administrators, not inheriting, two entries: full access for
// the administrators and for SYSTEM (flags such as "AI" may come with it).
bool AdminsAndSystemOnly(const std::string &sddl)
{
    size_t dacl = sddl.find("D:P");
    return sddl.compare(0, 4, "O:BA") == 0 && dacl != std::string::npos &&
           std::count(sddl.begin(), sddl.end(), '(') == 2 && sddl.find("(A;OICI;FA;;;BA)") != std::string::npos &&
           sddl.find("(A;OICI;FA;;;SY)") != std::string::npos;
}

// Whether this platform keeps a folder's access list as set (this Wine
// does not: it reads back one made from the Unix mode).
bool KeepsAccessLists(const std::string &probe)
{
    CreateDirectoryA(probe.c_str(), NULL);
    PSECURITY_DESCRIPTOR sd = NULL;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;OICI;FA;;;BA)", SDDL_REVISION_1, &sd, NULL))
        return false;
    bool set = SetFileSecurityA(probe.c_str(), DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
    std::string back = FolderSecurity(probe);
    RemoveDirectoryA(probe.c_str());
    return set && back.find("(A;OICI;FA;;;BA)") != std::string::npos && std::count(back.begin(), back.end(), '(') == 1;
}

TEST(WorkFolder, OnlyAdministratorsAndSystemWriteAndLeftoversGo)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string base = std::string(temp) + "work-base";
    CreateDirectoryA(base.c_str(), NULL);
    bool keeps = KeepsAccessLists(base + "\\probe");
    if (!keeps)
        printf("# this platform does not keep folder access lists: they are not read back\n");
    std::string work = PrepareWorkFolderUnder(base);
    ASSERT_EQ(base + "\\Orvane_Assistant\\Work\\", work);
    if (keeps) {
        EXPECT_TRUE(AdminsAndSystemOnly(FolderSecurity(base + "\\Orvane_Assistant"))) << FolderSecurity(base);
        EXPECT_TRUE(AdminsAndSystemOnly(FolderSecurity(work))) << FolderSecurity(work);
    }

    // Opened to everyone meanwhile, with a file planted beside the installers:
    // the next preparation takes the folder back and empties it.
    PSECURITY_DESCRIPTOR open = NULL;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &open, NULL));
    ASSERT_TRUE(SetFileSecurityA(work.c_str(), DACL_SECURITY_INFORMATION, open));
    LocalFree(open);
    HANDLE planted = CreateFileA((work + "version.dll").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, planted);
    CloseHandle(planted);
    EXPECT_EQ(work, PrepareWorkFolderUnder(base));
    if (keeps)
        EXPECT_TRUE(AdminsAndSystemOnly(FolderSecurity(work))) << FolderSecurity(work);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((work + "version.dll").c_str()));

    // A file that cannot be removed makes the folder unusable.
    planted = CreateFileA((work + "version.dll").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    EXPECT_EQ("", PrepareWorkFolderUnder(base));
    CloseHandle(planted);
    EXPECT_EQ(work, PrepareWorkFolderUnder(base));
}

TEST(HeldFile, WhatWasCheckedIsWhatRunsAndNobodyChangesItMeanwhile)
{
    SetEnvironmentVariableA("TOKENSIM_DIR", "C:\\gate-state");
    CreateDirectoryA("C:\\gate-state", NULL);
    WritePrivateProfileStringA("ExitCode", "gate-run.exe", "0xC0000005", "C:\\gate-state\\installer.ini");
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
