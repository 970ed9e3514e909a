// The command-line switches and the addresses made from the program path.
#include "assistant/host/protocol/ProgramPaths.h"
#include "assistant/host/startup/StartMode.h"

#include <gtest/gtest.h>

TEST(StartMode, SwitchesTakeSlashOrDashInAnyCase)
{
    EXPECT_EQ(StartMode::Interface, ParseStartMode(""));
    EXPECT_EQ(StartMode::Interface, ParseStartMode(NULL));
    EXPECT_EQ(StartMode::Register, ParseStartMode("/Regserver"));
    EXPECT_EQ(StartMode::Register, ParseStartMode("-REGISTER"));
    EXPECT_EQ(StartMode::Unregister, ParseStartMode("/unregserver"));
    EXPECT_EQ(StartMode::Unregister, ParseStartMode("-Unregister"));
    EXPECT_EQ(StartMode::Embedding, ParseStartMode("-Embedding"));
    EXPECT_EQ(StartMode::Embedding, ParseStartMode("/automation"));
}

TEST(StartMode, OtherWordsStartTheInterfaceAndTheLastSwitchWins)
{
    // Without a leading switch character, or only a prefix of a switch name.
    EXPECT_EQ(StartMode::Interface, ParseStartMode("Regserver"));
    EXPECT_EQ(StartMode::Interface, ParseStartMode("/Reg"));
    EXPECT_EQ(StartMode::Interface, ParseStartMode("/Regserverx"));
    EXPECT_EQ(StartMode::Interface, ParseStartMode("/"));
    EXPECT_EQ(StartMode::Interface, ParseStartMode("\"C:\\a b\\page.htm\""));
    EXPECT_EQ(StartMode::Unregister, ParseStartMode("  /Regserver\t-Unregserver  "));
    EXPECT_EQ(StartMode::Register, ParseStartMode("file.txt /Regserver \"quoted /Unregserver\""));
}

TEST(ProgramPaths, StartPageTestFileAndQuotedModule)
{
    const std::string exe = "C:\\Program Files\\Orvane_Assistant\\Orvane_Assistant.exe";
    EXPECT_EQ("res://C:\\Program Files\\Orvane_Assistant\\Orvane_Assistant.exe/index.htm", StartPageUrl(exe));
    EXPECT_EQ("C:\\Program Files\\Orvane_Assistant\\images\\test.gif", ProtocolFilePath(exe));
    EXPECT_EQ("\"" + exe + "\"", QuotedModulePath(exe));
    EXPECT_EQ("", ProtocolFilePath("noslash.exe"));
}

TEST(ProgramPaths, GbkTrailByteThatLooksLikeABackslashIsNotAFolder)
{
    // 0x955C is one GBK character whose second byte is '\'.
    const std::string exe = "C:\\\x95\x5C" "dir\\a\x95\x5C.exe";
    EXPECT_EQ("C:\\\x95\x5C" "dir\\images\\test.gif", ProtocolFilePath(exe));
    EXPECT_EQ("C:\\images\\test.gif", ProtocolFilePath("C:\\\x95\x5C.exe"));
}
