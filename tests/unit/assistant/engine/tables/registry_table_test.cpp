#include "assistant/engine/tables/RegistryTableCheck.h"
#include "tests/unit/assistant/EngineFakes.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

RegCheckEntry Entry(uint32_t root, const char *subKey, uint32_t type, const char *name, const void *expected,
                    size_t expectedSize, unsigned char compare, unsigned char commandLine = 0)
{
    RegCheckEntry e;
    memset(&e, 0, sizeof(e));
    e.RootKey = root;
    strcpy(e.SubKey, subKey);
    e.ValueType = type;
    strcpy(e.ValueName, name);
    if (expected)
        memcpy(e.Expected, expected, expectedSize);
    e.CompareValue = compare;
    e.IsCommandLine = commandLine;
    return e;
}

RegCheckEntry Dword(const char *subKey, const char *name, uint32_t expected)
{
    return Entry(kRootCurrentUser, subKey, kRegDword, name, &expected, 4, 1);
}

RegCheckEntry Text(uint32_t root, const char *subKey, const char *name, const char *expected, unsigned char commandLine = 0)
{
    return Entry(root, subKey, kRegSz, name, expected, strlen(expected) + 1, 1, commandLine);
}

class RegistryTable : public ::testing::Test {
protected:
    RegistryTable() : page(state), check(reg, system, page) {}
    CommandState state;
    FakeRegistry reg;
    FakeSystem system;
    RecordingPage page;
    RegistryTableCheck check;
};

TEST_F(RegistryTable, EmptyTablePassesWithoutTouchingTheRegistry)
{
    RegCheckEntry empty[1] = {Entry(0, "", 0, "", nullptr, 0, 0)};
    EXPECT_EQ(1, check.CheckRegistryTable(empty, 1, 1));
    EXPECT_TRUE(reg.opened.empty());
}

TEST_F(RegistryTable, StopsAtTheFirstFailingEntryWithOneLogLine)
{
    reg.SetDword(kRootCurrentUser, "Zones\\2", "1001", 0);
    reg.SetDword(kRootCurrentUser, "Zones\\2", "1200", 3);
    reg.SetDword(kRootCurrentUser, "Zones\\2", "2000", 0);
    RegCheckEntry table[3] = {Dword("Zones\\2", "1001", 0), Dword("Zones\\2", "1200", 0), Dword("Zones\\2", "2000", 0)};
    EXPECT_EQ(0, check.CheckRegistryTable(table, 3, 1));
    ASSERT_EQ(1u, page.logs.size());
    EXPECT_EQ("比对键值\"HKEY_CURRENT_USER\\Zones\\2\\1200\"失败！", page.logs[0]);
    EXPECT_EQ(2u, reg.opened.size());  // the third entry was never opened
}

TEST_F(RegistryTable, MissingKeyAndMissingValueHaveTheirOwnMessages)
{
    RegCheckEntry missingKey[1] = {Entry(kRootClassesRoot, "CLSID\\{X}", kRegNone, "", nullptr, 0, 0)};
    EXPECT_EQ(0, check.CheckRegistryTable(missingKey, 1, 1));
    reg.AddKey(kRootLocalMachine, "SOFTWARE\\A");
    RegCheckEntry missingValue[1] = {Text(kRootLocalMachine, "SOFTWARE\\A", "Path", "x")};
    EXPECT_EQ(0, check.CheckRegistryTable(missingValue, 1, 1));
    ASSERT_EQ(2u, page.logs.size());
    EXPECT_EQ("打开\"HKEY_CLASSES_ROOT\\CLSID\\{X}\"失败！", page.logs[0]);
    EXPECT_EQ("读取键值\"HKEY_LOCAL_MACHINE\\SOFTWARE\\A\\Path\"失败！", page.logs[1]);
}

TEST_F(RegistryTable, ValuesLongerThanTheirBuffersFailTheRead)
{
    // A DWORD entry reads with 4 bytes: a text value that needs more fails.
    reg.SetString(kRootCurrentUser, "Domains\\bank\\www", "http", "trusted");
    RegCheckEntry site[1] = {Dword("Domains\\bank\\www", "http", 2)};
    EXPECT_EQ(0, check.CheckRegistryTable(site, 1, 1));
    // Any other entry reads with 260 bytes.
    reg.SetString(kRootLocalMachine, "SOFTWARE\\A", "Path", std::string(300, 'p'));
    RegCheckEntry longText[1] = {Entry(kRootLocalMachine, "SOFTWARE\\A", kRegSz, "Path", nullptr, 0, 0)};
    EXPECT_EQ(0, check.CheckRegistryTable(longText, 1, 1));
    ASSERT_EQ(2u, page.logs.size());
    EXPECT_NE(std::string::npos, page.logs[1].find("读取键值"));
}

TEST_F(RegistryTable, ShortTextInPlaceOfADwordFailsTheComparison)
{
    reg.SetString(kRootCurrentUser, "Domains\\bank", "http", "2");
    RegCheckEntry site[1] = {Dword("Domains\\bank", "http", 2)};
    EXPECT_EQ(0, check.CheckRegistryTable(site, 1, 1));
    EXPECT_EQ(kRegSz, site[0].ValueType);
    ASSERT_EQ(1u, page.logs.size());
    EXPECT_NE(std::string::npos, page.logs[0].find("比对键值"));
}

TEST_F(RegistryTable, PassingEntriesClearTheirBufferAndExistenceOnlyIgnoresData)
{
    reg.SetDword(kRootCurrentUser, "K", "v", 7);
    RegCheckEntry table[2] = {Entry(kRootCurrentUser, "K", kRegDword, "v", nullptr, 0, 0), Dword("K", "v", 7)};
    EXPECT_EQ(1, check.CheckRegistryTable(table, 2, 1));
    for (const RegCheckEntry &e : table) {
        unsigned char zero[sizeof(e.ReadBuffer)] = {0};
        EXPECT_EQ(0, memcmp(zero, e.ReadBuffer, sizeof(zero)));
    }
    EXPECT_TRUE(page.logs.empty());
}

TEST_F(RegistryTable, BinaryValuesCompareTheFirst136Bytes)
{
    std::vector<unsigned char> blob(200, 0x5A);
    reg.SetBinary(kRootLocalMachine, "P", "Signature", blob);
    std::vector<unsigned char> expected(136, 0x5A);
    RegCheckEntry sig[1] = {Entry(kRootLocalMachine, "P", kRegBinary, "Signature", expected.data(), expected.size(), 1)};
    EXPECT_EQ(1, check.CheckRegistryTable(sig, 1, 0));  // byte 136 onwards is not compared
    blob[135] = 0;
    reg.SetBinary(kRootLocalMachine, "P", "Signature", blob);
    EXPECT_EQ(0, check.CheckRegistryTable(sig, 1, 0));
}

TEST_F(RegistryTable, FirstVendorPathsLiveInTheSystemDirectory)
{
    const char provider[] = "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\LCCB VK820Auto CSP v1.0";
    const char run[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    reg.SetString(kRootLocalMachine, provider, "Image Path", "C:\\windows\\system32\\vk820aCSP_LCCB_s.dll");
    reg.SetString(kRootLocalMachine, run, "vk820amgr_LCCB", "control.exe \"C:\\windows\\system32\\vk820aCSP_LCCB.dll\"");
    RegCheckEntry table[2] = {Text(kRootLocalMachine, provider, "Image Path", "\\vk820aCSP_LCCB_s.dll"),
                              Text(kRootLocalMachine, run, "vk820amgr_LCCB", "\\vk820aCSP_LCCB.dll", 1)};
    EXPECT_EQ(1, check.CheckRegistryTable(table, 2, 1));

    system.systemDirectory = "D:\\sys";
    EXPECT_EQ(0, check.CheckRegistryTable(table, 2, 1));
}

TEST_F(RegistryTable, SecondVendorPathsLiveInTheProviderFolder)
{
    const char provider[] = "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\Zanvo Cryptographic Service Provider";
    const char run[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    reg.SetString(kRootLocalMachine, provider, "realPath", "C:\\zv\\OstraCSP20407.dll");
    reg.SetString(kRootLocalMachine, provider, "Image Path", "C:\\zv\\OstraCSP20407\\OstraCSP.dll");
    reg.SetString(kRootLocalMachine, run, "OrlinUser_20407", "\"C:\\zv\\OstraCSP20407\\OrlinUser_20407.exe\"");
    RegCheckEntry table[3] = {Text(kRootLocalMachine, provider, "Image Path", "\\OstraCSP20407\\OstraCSP.dll"),
                              Text(kRootLocalMachine, provider, "realPath", "\\OstraCSP20407.dll"),
                              Text(kRootLocalMachine, run, "OrlinUser_20407", "\\OstraCSP20407\\OrlinUser_20407.exe", 1)};
    EXPECT_EQ(1, check.CheckRegistryTable(table, 3, 0));

    // The comparison is case-sensitive.
    reg.SetString(kRootLocalMachine, provider, "Image Path", "C:\\ZV\\OstraCSP20407\\OstraCSP.dll");
    EXPECT_EQ(0, check.CheckRegistryTable(table, 3, 0));
}

TEST_F(RegistryTable, ValueOfAnotherTypeThanTheTablesNeverMatchesButFourBinaryBytesAreANumber)
{
    // An empty text leaves the buffer as a DWORD 0 would.
    RegCheckEntry zone[1] = {Dword("Zones\\2", "1200", 0)};
    reg.SetString(kRootCurrentUser, "Zones\\2", "1200", "");
    EXPECT_EQ(0, check.CheckRegistryTable(zone, 1, 1));
    reg.SetBinary(kRootCurrentUser, "Zones\\2", "1200", {3, 0, 0, 0});
    RegCheckEntry disabled[1] = {Dword("Zones\\2", "1200", 0)};
    EXPECT_EQ(0, check.CheckRegistryTable(disabled, 1, 1));
    reg.SetBinary(kRootCurrentUser, "Zones\\2", "1200", {0, 0, 0, 0});
    RegCheckEntry enabled[1] = {Dword("Zones\\2", "1200", 0)};
    EXPECT_EQ(1, check.CheckRegistryTable(enabled, 1, 1));
    EXPECT_EQ(kRegDword, enabled[0].ValueType);
    RegCheckEntry trusted[1] = {Dword("Zones\\2", "1200", 2)};
    reg.SetBinary(kRootCurrentUser, "Zones\\2", "1200", {2, 0, 0, 0});
    EXPECT_EQ(1, check.CheckRegistryTable(trusted, 1, 1));

    // The right path, but as binary bytes.
    const char provider[] = "SOFTWARE\\P";
    const char path[] = "C:\\windows\\system32\\vk820aCSP_LCCB_s.dll";
    reg.SetBinary(kRootLocalMachine, provider, "Image Path", std::vector<unsigned char>(path, path + sizeof(path)));
    RegCheckEntry image[1] = {Text(kRootLocalMachine, provider, "Image Path", "\\vk820aCSP_LCCB_s.dll")};
    EXPECT_EQ(0, check.CheckRegistryTable(image, 1, 1));
}

TEST(RegistryText, OnlyStringValuesAreReadAsText)
{
    FakeRegistry reg;
    reg.SetDword(kRootLocalMachine, "K", "Version", 0x00392e39);  // the bytes of "9.9"
    reg.SetBinary(kRootLocalMachine, "K", "Path", {'C', ':', 0});
    reg.SetString(kRootLocalMachine, "K", "Name", "9.0");
    auto key = reg.OpenKey(kRootLocalMachine, "K");
    char text[16] = "unchanged";
    EXPECT_FALSE(ReadRegistryString(*key, "Version", text, sizeof(text)));
    EXPECT_STREQ("", text);
    EXPECT_FALSE(ReadRegistryString(*key, "Path", text, sizeof(text)));
    EXPECT_TRUE(ReadRegistryString(*key, "Name", text, sizeof(text)));
    EXPECT_STREQ("9.0", text);
}

TEST_F(RegistryTable, DwordThatLooksLikeAQuoteIsComparedAsData)
{
    reg.SetDword(kRootCurrentUser, "K", "v", 0x22);
    RegCheckEntry e[1] = {Dword("K", "v", 0x22)};
    EXPECT_EQ(1, check.CheckRegistryTable(e, 1, 1));
}

}  // namespace
