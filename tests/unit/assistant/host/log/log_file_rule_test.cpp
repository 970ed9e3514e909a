// Which opened log files the administrator process may empty and write.
#include "assistant/host/log/LogFormat.h"

#include <gtest/gtest.h>

TEST(LogFileRule, OnlyOnePlainDiskFileWithASingleName)
{
    const unsigned long kNormal = 0x80, kArchive = 0x20, kDirectory = 0x10, kDevice = 0x40, kReparse = 0x400;
    EXPECT_TRUE(IsPlainLogFile({kNormal, 1, true}));
    EXPECT_TRUE(IsPlainLogFile({kArchive, 1, true}));
    // A hard link planted under the log's name: the file has two names.
    EXPECT_FALSE(IsPlainLogFile({kArchive, 2, true}));
    EXPECT_FALSE(IsPlainLogFile({kArchive, 0, true}));
    // A junction or symbolic link opened as itself, a folder, a device.
    EXPECT_FALSE(IsPlainLogFile({kArchive | kReparse, 1, true}));
    EXPECT_FALSE(IsPlainLogFile({kDirectory, 1, true}));
    EXPECT_FALSE(IsPlainLogFile({kDevice, 1, true}));
    EXPECT_FALSE(IsPlainLogFile({kNormal, 1, false}));
}
