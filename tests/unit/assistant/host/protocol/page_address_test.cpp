#include "assistant/host/protocol/PageAddress.h"

#include <gtest/gtest.h>

namespace {

const std::string kProgramPath = "C:\\Program Files\\Orvane_Assistant\\Orvane_Assistant.exe";
const ModulePath kProgram = {kProgramPath, kProgramPath};

TEST(PageAddress, OnlyTheProgramsOwnResourcesAreOurs)
{
    const std::string res = "res://" + kProgramPath;
    EXPECT_TRUE(IsOwnResourceAddress(res + "/index.htm", kProgram));
    EXPECT_TRUE(IsOwnResourceAddress("RES://c:/program files/orvane_assistant/ORVANE_ASSISTANT.EXE/NX_detectAll.htm",
                                     kProgram));
    EXPECT_TRUE(IsOwnResourceAddress("res://C:\\Program%20Files\\Orvane_Assistant\\Orvane_Assistant.exe/help.htm",
                                     kProgram));
    const std::string others[] = {
        // Another program's resources, a look-alike file, no resource name.
        "res://C:\\Windows\\system32\\shdoclc.dll/index.htm", res + ".evil.dll/index.htm",
        "res://C:\\Program Files\\Orvane_Assistant\\Orvane_Assistant.ex/x", res + "/", res,
        // Climbing out of the program's path, raw, escaped, or escaped twice.
        res + "\\..\\..\\..\\Users\\Public\\Downloads\\evil.dll/page.htm",
        res + "%5c..%5c..%5c..%5cUsers%5cPublic%5cevil.dll/x.htm", res + "/%2e%2e/%2E%2E/evil.dll/x.htm",
        res + "%5c%252e%252e%5cevil.dll/x.htm", res + "/..",
        "res://C:\\Program Files\\Orvane_Assistant\\.\\Orvane_Assistant.exe/index.htm",
        // A second address inside the first.
        res + "/res://C:\\evil.dll/x.htm", res + "%2fres:%2f%2fC:%5cevil.dll/x.htm",
        // Other schemes, even when the path follows.
        "file://" + kProgramPath + "/index.htm", "https://bank.example/" + res + "/x",
        "res%3a//" + kProgramPath + "/index.htm", "about:blank",
    };
    for (const std::string &url : others)
        EXPECT_FALSE(IsOwnResourceAddress(url, kProgram)) << url;
    EXPECT_FALSE(IsOwnResourceAddress("res://x/index.htm", ModulePath()));
}

TEST(PageAddress, AChinesePathIsOursInEveryFormAnEngineReportsIt)
{
    // C:\Users\张三\Downloads\Orvane_Assistant.exe: UTF-8 and GBK bytes.
    const ModulePath own = {"C:\\Users\\\xE5\xBC\xA0\xE4\xB8\x89\\Downloads\\Orvane_Assistant.exe",
                            "C:\\Users\\\xD5\xC5\xC8\xFD\\Downloads\\Orvane_Assistant.exe"};
    const char *forms[] = {
        "res://C:\\Users\\\xE5\xBC\xA0\xE4\xB8\x89\\Downloads\\Orvane_Assistant.exe/index.htm",
        "res://C:/users/%E5%BC%A0%E4%B8%89/downloads/orvane_assistant.exe/NX.js",
        "res://C:\\Users\\%D5%C5%C8%FD\\Downloads\\Orvane_Assistant.exe/index.htm",
        "res://C:\\Users\\\xD5\xC5\xC8\xFD\\Downloads\\Orvane_Assistant.exe/index.htm",
    };
    for (const char *url : forms)
        EXPECT_TRUE(IsOwnResourceAddress(url, own)) << url;
    // Where the ANSI code page has no form of the path, only Unicode matches.
    const ModulePath wideOnly = {own.unicode, ""};
    EXPECT_TRUE(IsOwnResourceAddress(forms[1], wideOnly));
    EXPECT_FALSE(IsOwnResourceAddress(forms[2], wideOnly));
    EXPECT_FALSE(IsOwnResourceAddress("res://C:\\Users\\??\\Downloads\\Orvane_Assistant.exe/index.htm", wideOnly));

    // GBK compares by character: trail bytes differing only in letter case
    // (0x41 'A' against 0x61 'a') are different folders, and a trail byte
    // 0x5C is not a folder separator.
    const ModulePath upperTrail = {"", "C:\\\x81\x41\\a.exe"};
    EXPECT_FALSE(IsOwnResourceAddress("res://C:\\\x81\x61\\a.exe/index.htm", upperTrail));
    EXPECT_TRUE(IsOwnResourceAddress("res://C:\\\x81\x41\\A.EXE/index.htm", upperTrail));
    const ModulePath trail5c = {"", "C:\\\x95\x5C.exe"};
    EXPECT_FALSE(IsOwnResourceAddress("res://C:\\\x95/.exe/index.htm", trail5c));
    EXPECT_TRUE(IsOwnResourceAddress("res://C:\\\x95\x5C.exe/index.htm", trail5c));
}

TEST(PageAddress, OnlyPlainWebAddressesGoToTheUsersBrowser)
{
    EXPECT_TRUE(IsWebAddress("https://www.lccb-bank.example/"));
    EXPECT_TRUE(IsWebAddress("HTTP://cs.lccb-ca.example/certdownload.htm?a=1&b=%20"));
    EXPECT_FALSE(IsWebAddress("file:///C:/Windows/system32/calc.exe"));
    EXPECT_FALSE(IsWebAddress("javascript:alert(1)"));
    EXPECT_FALSE(IsWebAddress("res://C:\\x.exe/index.htm"));
    EXPECT_FALSE(IsWebAddress("https://"));
    EXPECT_FALSE(IsWebAddress("https:///etc"));
    EXPECT_FALSE(IsWebAddress("https://a.example/\" --switch"));
    EXPECT_FALSE(IsWebAddress("https://a.example/ -x"));
    EXPECT_FALSE(IsWebAddress("https://a.example/\x01"));
    EXPECT_FALSE(IsWebAddress("https://a.example/\xB9\xA4"));
}

TEST(PageAddress, TopDocumentNeverLeavesOurResourcesFramesOnlyWhileIdle)
{
    const std::string own = "res://" + kProgramPath + "/kuaijie.htm";
    const std::string ca = "https://cs.lccb-ca.example/cgi-bin/certapply";
    EXPECT_EQ(NavigationVerdict::Allow, DecideNavigation(true, own, kProgram, false));
    EXPECT_EQ(NavigationVerdict::RefuseBusy, DecideNavigation(true, own, kProgram, true));
    EXPECT_EQ(NavigationVerdict::RefuseForeign, DecideNavigation(true, ca, kProgram, false));
    EXPECT_EQ(NavigationVerdict::RefuseForeign, DecideNavigation(true, ca, kProgram, true));
    EXPECT_EQ(NavigationVerdict::Allow, DecideNavigation(false, ca, kProgram, false));
    EXPECT_EQ(NavigationVerdict::RefuseBusy, DecideNavigation(false, ca, kProgram, true));
    EXPECT_EQ(NavigationVerdict::RefuseBusy, DecideNavigation(false, own, kProgram, true));
}

TEST(PageAddress, BridgeOnlyWhileEveryDocumentShownIsOurs)
{
    PageDocuments docs;
    int frameA = 0, frameB = 0;
    EXPECT_FALSE(docs.BridgeAllowed(kProgram));  // nothing shown yet
    docs.Navigated(nullptr, true, "res://" + kProgramPath + "/index.htm");
    docs.Navigated(&frameA, false, "res://" + kProgramPath + "/NX_detectAll.htm");
    docs.Navigated(&frameB, false, "res://" + kProgramPath + "/about.htm");
    EXPECT_TRUE(docs.BridgeAllowed(kProgram));
    // The certificate form's answer from the CA is shown in a frame.
    docs.Navigated(&frameB, false, "https://cs.lccb-ca.example/cgi-bin/certapply");
    EXPECT_FALSE(docs.BridgeAllowed(kProgram));
    docs.Navigated(&frameB, false, "res://" + kProgramPath + "/about.htm");
    EXPECT_TRUE(docs.BridgeAllowed(kProgram));
    docs.Navigated(&frameA, false, "https://cs.lccb-ca.example/");
    // A new top document drops the old frames.
    docs.Navigated(nullptr, true, "res://" + kProgramPath + "/index.htm");
    EXPECT_TRUE(docs.BridgeAllowed(kProgram));
    docs.Navigated(nullptr, true, "https://evil.example/");
    EXPECT_FALSE(docs.BridgeAllowed(kProgram));
}

}  // namespace
