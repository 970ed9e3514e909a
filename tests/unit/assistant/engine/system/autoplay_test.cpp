#include "assistant/engine/system/Autoplay.h"
#include "assistant/engine/system/OsVersion.h"
#include "tests/unit/assistant/EngineFakes.h"

#include <gtest/gtest.h>

namespace {

const char kPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

struct AutoplayCase {
    int versionClass;
    uint32_t machine;  // 0: value absent
    uint32_t user;
    int expected;
};

class AutoplayPolicy : public ::testing::TestWithParam<AutoplayCase> {};

TEST_P(AutoplayPolicy, DecidesFromBothPolicyKeys)
{
    const AutoplayCase &c = GetParam();
    FakeRegistry reg;
    reg.AddKey(kRootLocalMachine, kPolicies);
    reg.AddKey(kRootCurrentUser, kPolicies);
    if (c.machine)
        reg.SetDword(kRootLocalMachine, kPolicies, "NoDriveTypeAutoRun", c.machine);
    if (c.user)
        reg.SetDword(kRootCurrentUser, kPolicies, "NoDriveTypeAutoRun", c.user);
    EXPECT_EQ(c.expected, GetAutoplayState(reg, c.versionClass));
}

INSTANTIATE_TEST_SUITE_P(XpAndSeven, AutoplayPolicy,
                         ::testing::Values(AutoplayCase{kOsWinXp, 0x91, 0x91, kAutoplayOn},
                                           AutoplayCase{kOsWinXp, 0xFF, 0x91, kAutoplayOff},
                                           AutoplayCase{kOsWinXp, 0x91, 0xB5, kAutoplayOff},
                                           AutoplayCase{kOsWinXp, 0xB4, 0xFE, kAutoplayOn},
                                           AutoplayCase{kOsWin7, 0x91, 0x91, kAutoplayOn},
                                           AutoplayCase{kOsWin7, 0xFF, 0x91, kAutoplayOffVistaOrLater},
                                           AutoplayCase{kOsWin7, 0, 0xFF, kAutoplayOffVistaOrLater},
                                           AutoplayCase{kOsWin2003, 0, 0, kAutoplayOn}));

TEST(Autoplay, MissingUserPolicyKeyMeansOffButMissingMachineKeyDoesNot)
{
    FakeRegistry reg;
    EXPECT_EQ(kAutoplayOff, GetAutoplayState(reg, kOsWinXp));
    reg.AddKey(kRootCurrentUser, kPolicies);
    EXPECT_EQ(kAutoplayOn, GetAutoplayState(reg, kOsWinXp));
    EXPECT_EQ(kAutoplayOn, GetAutoplayState(reg, kOsWin7));
    // Four binary bytes are the little-endian number; other lengths are none.
    reg.SetBinary(kRootCurrentUser, kPolicies, "NoDriveTypeAutoRun", {0xFF, 0, 0, 0});
    EXPECT_EQ(kAutoplayOffVistaOrLater, GetAutoplayState(reg, kOsWin7));
    reg.SetBinary(kRootLocalMachine, kPolicies, "NoDriveTypeAutoRun", {0xB5, 0, 0, 0});
    reg.SetBinary(kRootCurrentUser, kPolicies, "NoDriveTypeAutoRun", {0x91, 0, 0, 0});
    EXPECT_EQ(kAutoplayOff, GetAutoplayState(reg, kOsWinXp));
    reg.SetBinary(kRootLocalMachine, kPolicies, "NoDriveTypeAutoRun", {0, 0, 0, 0xFF});
    EXPECT_EQ(kAutoplayOn, GetAutoplayState(reg, kOsWinXp));
    reg.SetBinary(kRootCurrentUser, kPolicies, "NoDriveTypeAutoRun", {0xFF, 0, 0});
    EXPECT_EQ(kAutoplayOn, GetAutoplayState(reg, kOsWin7));
}

TEST(Autoplay, Windows98LooksOnlyAtTheUserKey)
{
    FakeRegistry reg;
    reg.SetDword(kRootLocalMachine, kPolicies, "NoDriveTypeAutoRun", 0xFF);
    reg.SetDword(kRootCurrentUser, kPolicies, "NoDriveTypeAutoRun", 0x95);
    EXPECT_EQ(kAutoplayOn, GetAutoplayState(reg, kOsWin98));
    reg.SetDword(kRootCurrentUser, kPolicies, "NoDriveTypeAutoRun", 0xB5);
    EXPECT_EQ(kAutoplayOff, GetAutoplayState(reg, kOsWin98Se));
}

TEST(Autoplay, VistaUsesHandlersAndCdromService)
{
    const char handlers[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers";
    const char cdrom[] = "SYSTEM\\CurrentControlSet\\Services\\Cdrom";
    FakeRegistry reg;
    EXPECT_EQ(kAutoplayOffVistaOrLater, GetAutoplayState(reg, kOsVista));  // no handlers key
    reg.AddKey(kRootCurrentUser, handlers);
    EXPECT_EQ(kAutoplayOn, GetAutoplayState(reg, kOsVista));  // DisableAutoplay unreadable
    reg.SetDword(kRootCurrentUser, handlers, "DisableAutoplay", 1);
    EXPECT_EQ(kAutoplayOffVistaOrLater, GetAutoplayState(reg, kOsVista));
    reg.SetDword(kRootCurrentUser, handlers, "DisableAutoplay", 0);
    EXPECT_EQ(kAutoplayOffVistaOrLater, GetAutoplayState(reg, kOsVista));  // no Cdrom key
    reg.SetDword(kRootLocalMachine, cdrom, "AutoRun", 0);
    EXPECT_EQ(kAutoplayOffVistaOrLater, GetAutoplayState(reg, kOsVista));
    reg.SetDword(kRootLocalMachine, cdrom, "AutoRun", 1);
    EXPECT_EQ(kAutoplayOn, GetAutoplayState(reg, kOsVista));
}

}  // namespace
