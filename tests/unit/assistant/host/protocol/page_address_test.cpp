#include "assistant/host/protocol/PageAddress.h"

#include <gtest/gtest.h>

namespace {

const std::string kProgram = "C:\\Program Files\\Orvane_Assistant\\Orvane_Assistant.exe";

TEST(PageAddress, OnlyTheProgramsOwnResourcesAreOurs)
{
    EXPECT_TRUE(IsOwnResourceAddress("res://" + kProgram + "/index.htm", kProgram));
    EXPECT_TRUE(IsOwnResourceAddress("RES://c:/program files/orvane_assistant/ORVANE_ASSISTANT.EXE/NX_detectAll.htm",
                                     kProgram));
    EXPECT_TRUE(IsOwnResourceAddress("res://C:\\Program%20Files\\Orvane_Assistant\\Orvane_Assistant.exe/help.htm",
                                     kProgram));
    // Another program's resources, a look-alike file, the bare program.
    EXPECT_FALSE(IsOwnResourceAddress("res://C:\\Windows\\system32\\shdoclc.dll/index.htm", kProgram));
    EXPECT_FALSE(IsOwnResourceAddress("res://" + kProgram + ".evil.dll/index.htm", kProgram));
    EXPECT_FALSE(IsOwnResourceAddress("res://C:\\Program Files\\Orvane_Assistant\\Orvane_Assistant.ex/x", kProgram));
    EXPECT_FALSE(IsOwnResourceAddress("res://" + kProgram + "/", kProgram));
    EXPECT_FALSE(IsOwnResourceAddress("res://" + kProgram, kProgram));
    // Other schemes, even when the path follows.
    EXPECT_FALSE(IsOwnResourceAddress("file://" + kProgram + "/index.htm", kProgram));
    EXPECT_FALSE(IsOwnResourceAddress("https://bank.example/res://" + kProgram + "/x", kProgram));
    EXPECT_FALSE(IsOwnResourceAddress("about:blank", kProgram));
    EXPECT_FALSE(IsOwnResourceAddress("res://x/index.htm", ""));
}

TEST(PageAddress, GbkPathsCompareByCharacterNotByByte)
{
    // "工具" and a path whose trail bytes differ only in the letter case of
    // the byte (0x41 'A' against 0x61 'a') are different folders.
    const std::string chinese = "C:\\\xB9\xA4\xBE\xDF\\Orvane_Assistant.exe";
    EXPECT_TRUE(IsOwnResourceAddress("res://" + chinese + "/index.htm", chinese));
    const std::string upperTrail = "C:\\\x81\x41\\a.exe";
    const std::string lowerTrail = "C:\\\x81\x61\\a.exe";
    EXPECT_FALSE(IsOwnResourceAddress("res://" + lowerTrail + "/index.htm", upperTrail));
    // A trail byte 0x5C is not a folder separator.
    const std::string trail5c = "C:\\\x95\x5C.exe";
    EXPECT_FALSE(IsOwnResourceAddress("res://C:\\\x95/.exe/index.htm", trail5c));
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
    const std::string own = "res://" + kProgram + "/kuaijie.htm";
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
    docs.Navigated(nullptr, true, "res://" + kProgram + "/index.htm");
    docs.Navigated(&frameA, false, "res://" + kProgram + "/NX_detectAll.htm");
    docs.Navigated(&frameB, false, "res://" + kProgram + "/about.htm");
    EXPECT_TRUE(docs.BridgeAllowed(kProgram));
    // The certificate form's answer from the CA is shown in a frame.
    docs.Navigated(&frameB, false, "https://cs.lccb-ca.example/cgi-bin/certapply");
    EXPECT_FALSE(docs.BridgeAllowed(kProgram));
    docs.Navigated(&frameB, false, "res://" + kProgram + "/about.htm");
    EXPECT_TRUE(docs.BridgeAllowed(kProgram));
    docs.Navigated(&frameA, false, "https://cs.lccb-ca.example/");
    // A new top document drops the old frames.
    docs.Navigated(nullptr, true, "res://" + kProgram + "/index.htm");
    EXPECT_TRUE(docs.BridgeAllowed(kProgram));
    docs.Navigated(nullptr, true, "https://evil.example/");
    EXPECT_FALSE(docs.BridgeAllowed(kProgram));
}

}  // namespace
