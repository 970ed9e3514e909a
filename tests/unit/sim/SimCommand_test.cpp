#include "sim/core/LangText.h"
#include "sim/core/SimCommand.h"
#include "sim/core/SimKeys.h"
#include "sim/core/SimTime.h"

#include <gtest/gtest.h>

static SimCommandResult Cmd(SimState &s, std::vector<std::string> args)
{
    return RunSimCommand(s, args, 1000000);
}

TEST(SimCommand, ReaderMayBeLeftOutOnlyWhenThereIsOne)
{
    SimState s = FreshState(1, 0);
    EXPECT_EQ(0, Cmd(s, {"insert"}).exitCode);
    EXPECT_TRUE(s.readers[0].present);
    EXPECT_EQ(0, Cmd(s, {"add-reader", "Second"}).exitCode);
    SimCommandResult r = Cmd(s, {"remove"});
    EXPECT_NE(0, r.exitCode);
    EXPECT_NE(std::string::npos, r.output.find("name the reader"));
    EXPECT_TRUE(s.readers[0].present);
    EXPECT_EQ(0, Cmd(s, {"insert", "Second"}).exitCode);
    EXPECT_TRUE(s.readers[1].present);
    EXPECT_EQ(0, Cmd(s, {"remove", "0"}).exitCode);
    EXPECT_FALSE(s.readers[0].present);
    EXPECT_NE(0, Cmd(s, {"insert", "Third"}).exitCode);
    EXPECT_NE(0, Cmd(s, {"add-reader", "Second"}).exitCode);
    EXPECT_EQ(0, Cmd(s, {"remove-reader", "0"}).exitCode);
    ASSERT_EQ(1u, s.readers.size());
    EXPECT_EQ("Second", s.readers[0].name);
    EXPECT_NE(0, Cmd(s, {"remove-reader", "Gone"}).exitCode);
    EXPECT_EQ(0, Cmd(s, {"add-reader", "Third"}).exitCode);
    // Config keys need no reader even with two.
    EXPECT_EQ(0, Cmd(s, {"set", "cfg.UserTitle=新标题", "cfg.fail.QKListReaders=0x88000001"}).exitCode);
    EXPECT_EQ("新标题", s.config.userTitle);
    EXPECT_EQ("0x88000001", s.config.fail["QKListReaders"]);
    // Length hooks are config-only and take the whole 32-bit range.
    EXPECT_EQ(0, Cmd(s, {"set", "cfg.len.ZRGetRegCertInfoLen=0xFFFFFFFF", "cfg.len.QKListReaders=0"}).exitCode);
    EXPECT_EQ("0xFFFFFFFF", s.config.len["ZRGetRegCertInfoLen"]);
    EXPECT_EQ("0x0", s.config.len["QKListReaders"]);
    EXPECT_NE(0, Cmd(s, {"set", "0", "len.QKListReaders=5"}).exitCode);
    EXPECT_NE(0, Cmd(s, {"set", "cfg.len.QKListReaders=0x100000000"}).exitCode);
}

TEST(SimCommand, SetIsAllOrNothing)
{
    SimState s = FreshState(1, 0);
    SimCommandResult r = Cmd(s, {"set", "label=abc", "retries=oops"});
    EXPECT_EQ(2, r.exitCode);
    EXPECT_EQ(DefaultConfig().defaultHwLabel, s.readers[0].label);
    EXPECT_NE(0, Cmd(s, {"set", "nosuchkey=1"}).exitCode);
    EXPECT_NE(0, Cmd(s, {"set"}).exitCode);
    EXPECT_NE(0, Cmd(s, {"bogus"}).exitCode);
    EXPECT_NE(0, Cmd(s, {"init", "x"}).exitCode);
    EXPECT_EQ(0, Cmd(s, {"set", "ZV Reader 0", "label=abc", "pintag=absent", "fail.OC_ReadFile=0x88000001",
                         "delay.QKGetDevState=250"})
                     .exitCode);
    EXPECT_EQ("abc", s.readers[0].label);
    EXPECT_FALSE(s.readers[0].pinTagPresent);
    EXPECT_EQ("250", s.readers[0].delay["QKGetDevState"]);
    EXPECT_EQ(0, Cmd(s, {"set", "fail.OC_ReadFile="}).exitCode);
    EXPECT_EQ(0u, s.readers[0].fail.count("OC_ReadFile"));
}

TEST(SimCommand, CertificateKeys)
{
    SimState s = FreshState(1, 0);
    EXPECT_EQ(0, Cmd(s, {"set", "c0.sig.notafter=+3d"}).exitCode);
    EXPECT_EQ(1000000 + 3 * 86400, s.readers[0].containers[0].signature.notAfter);
    EXPECT_EQ(0, Cmd(s, {"set", "c1.exch.cn=李四", "c1.name=second"}).exitCode);
    const Container &c1 = s.readers[0].containers[1];
    EXPECT_FALSE(c1.inUse); // a name alone does not make a certificate
    EXPECT_EQ(CERT_NONE, c1.exchange.kind);
    EXPECT_EQ(0, Cmd(s, {"set", "c1.exch=cert"}).exitCode);
    EXPECT_TRUE(c1.inUse);
    EXPECT_EQ(1u, c1.keyFlags);
    EXPECT_EQ(CERT_BUILT, c1.exchange.kind);
    EXPECT_EQ("李四", s.readers[0].containers[1].exchange.subjectCn);
    EXPECT_EQ(0, Cmd(s, {"set", "c0.sig=garbage"}).exitCode);
    EXPECT_EQ(CERT_GARBAGE, s.readers[0].containers[0].signature.kind);
    EXPECT_EQ(0, Cmd(s, {"set", "c0.sig.notafter=2051-01-01"}).exitCode);
    EXPECT_EQ(CivilToSeconds({2051, 1, 1, 0, 0, 0}), s.readers[0].containers[0].signature.notAfter);
    EXPECT_NE(0, Cmd(s, {"set", "c3.sig=cert"}).exitCode);
    EXPECT_NE(0, Cmd(s, {"set", "c0.sig=maybe"}).exitCode);
    EXPECT_NE(0, Cmd(s, {"set", "c0.sig.notafter=soon"}).exitCode);
}

TEST(SimCommand, InitAndShow)
{
    SimState s = FreshState(1, 0);
    SimCommandResult r = Cmd(s, {"init", "3"});
    EXPECT_EQ(SIM_ACT_INIT, r.action);
    ASSERT_EQ(3u, s.readers.size());
    EXPECT_FALSE(s.readers[2].present);
    s.warnings.push_back("line 3: broken");
    std::string shown = ShowState(s);
    EXPECT_NE(std::string::npos, shown.find("! line 3: broken"));
    EXPECT_NE(std::string::npos, shown.find("ZV Reader 2 (no token)"));
    EXPECT_NE(std::string::npos, shown.find("cfg.UserTitle="));
    EXPECT_EQ(SIM_ACT_SHOW_LOG, Cmd(s, {"log"}).action);
    EXPECT_EQ(SIM_ACT_CLEAR_LOG, Cmd(s, {"clear-log"}).action);
}

TEST(LangText, SectionsKeysAndEscapes)
{
    LangText t;
    // "\xD5\x5C" is a GBK character whose trail byte is a backslash.
    t.Parse("\xEF\xBB\xBF; comment\r\n[MainFrm]\r\nIDS_A = one\\ntwo\r\nIDS_B=\xD5\x5Cn\r\n"
            "[Other]\nIDS_A=other\nbroken line\n=x\n");
    ASSERT_NE(nullptr, t.Find("mainfrm", "ids_a"));
    EXPECT_EQ("one\ntwo", *t.Find("MainFrm", "IDS_A"));
    EXPECT_EQ("\xD5\x5Cn", *t.Find("MainFrm", "IDS_B"));
    EXPECT_EQ("other", *t.Find("Other", "IDS_A"));
    EXPECT_EQ(nullptr, t.Find("MainFrm", "IDS_C"));
    EXPECT_EQ(3u, t.Count());
}

TEST(SimCommand, GetPrintsOneStoredValue)
{
    SimState s = FreshState(2, 0);
    s.readers[1].label = "a\nb";
    EXPECT_EQ(DefaultConfig().userTitle + "\n", Cmd(s, {"get", "cfg.UserTitle"}).output);
    EXPECT_EQ("2\n", Cmd(s, {"get", "cfg.readercount"}).output);
    EXPECT_EQ("a\nb\n", Cmd(s, {"get", "1", "label"}).output);
    EXPECT_EQ("01\n", Cmd(s, {"get", "ZV Reader 0", "pintag"}).output);
    EXPECT_NE(0, Cmd(s, {"get", "label"}).exitCode); // two readers: name one
    EXPECT_NE(0, Cmd(s, {"get", "0", "nosuch"}).exitCode);
    EXPECT_NE(0, Cmd(s, {"get", "0", "cfg.UserTitle"}).exitCode);
    EXPECT_NE(0, Cmd(s, {"get"}).exitCode);
}
