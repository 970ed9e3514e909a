#include "keymgr/INI/profile/ProfilePaths.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

std::string IniPath(const char *program)
{
    char buf[PROFILE_PATH_SIZE];
    memset(buf, 'x', sizeof(buf));
    int rc = ProgramIniPathFrom(program, buf, sizeof(buf));
    return (rc ? "!" : "") + std::string(buf);
}

std::string Folder(const char *program)
{
    char buf[PROFILE_PATH_SIZE];
    memset(buf, 'x', sizeof(buf));
    int rc = ProgramFolderFrom(program, buf, sizeof(buf));
    return (rc ? "!" : "") + std::string(buf);
}

TEST(ProfilePaths, IniPathReplacesExtension)
{
    EXPECT_EQ("C:\\Program Files\\ZV\\ZVApp.ini", IniPath("C:\\Program Files\\ZV\\ZVApp.exe"));
    EXPECT_EQ("C:\\ZV\\a.b.ini", IniPath("C:\\ZV\\a.b.exe"));
    // A "." in a folder name is not the file's extension.
    EXPECT_EQ("C:\\v1.2\\ZVApp.ini", IniPath("C:\\v1.2\\ZVApp"));
    EXPECT_EQ("ZVApp.ini", IniPath("ZVApp"));
    EXPECT_EQ("!", IniPath(""));
    EXPECT_EQ("!", IniPath(NULL));
}

TEST(ProfilePaths, FolderIsUpToLastBackslash)
{
    EXPECT_EQ("C:\\Program Files\\ZV", Folder("C:\\Program Files\\ZV\\ZVApp.exe"));
    EXPECT_EQ("C:", Folder("C:\\ZVApp.exe"));
    EXPECT_EQ("", Folder("ZVApp.exe"));
    EXPECT_EQ("", Folder(NULL));
}

TEST(ProfilePaths, GbkTrailBackslashIsNotASeparator)
{
    // 0x95 0x5C is one character whose trail byte is a backslash.
    const char program[] = "C:\\\xD6\xD0\x95\x5C\\\x95\x5C.exe";
    EXPECT_EQ("C:\\\xD6\xD0\x95\x5C", Folder(program));
    EXPECT_EQ("C:\\\xD6\xD0\x95\x5C\\\x95\x5C.ini", IniPath(program));
    EXPECT_EQ("C:\\\x95\x5C.ini", IniPath("C:\\\x95\x5C.exe"));
    EXPECT_EQ("C:", Folder("C:\\\x95\x5C"));
}

TEST(ProfilePaths, NoBufferOrNoRoom)
{
    EXPECT_EQ(1, ProgramIniPathFrom("C:\\a.exe", NULL, 260));
    EXPECT_EQ(1, ProgramFolderFrom("C:\\a.exe", NULL, 260));
    // A longest path without an extension gains four characters and no
    // longer fits: no cut path is handed out.
    std::string program = "C:\\" + std::string(255, 'p');
    char buf[PROFILE_PATH_SIZE];
    EXPECT_EQ(1, ProgramIniPathFrom(program.c_str(), buf, sizeof(buf)));
    EXPECT_STREQ("", buf);
    std::string fits = "C:\\" + std::string(252, 'p');
    EXPECT_EQ(0, ProgramIniPathFrom(fits.c_str(), buf, sizeof(buf)));
    EXPECT_EQ(259u, strlen(buf));
}

} // namespace
