#include "keymgr/library/TokenEntries.h"
#include "sim/core/CspBlock.h"
#include "sim/core/PinGrade.h"
#include "sim/core/PinRules.h"
#include "sim/core/PinTagFile.h"
#include "sim/core/ReaderList.h"

#include <gtest/gtest.h>
#include <string.h>

static uint32_t Get32(const uint8_t *p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

TEST(PinRules, WrongPinsCountDownAndLock)
{
    Reader r = DefaultReader(DefaultConfig(), 0, 0);
    uint8_t left = 99;
    EXPECT_EQ(TOK_ERR_WRONG_PIN, VerifyUserPin(r, "000000", &left));
    EXPECT_EQ(5, left);
    EXPECT_EQ(TOK_OK, VerifyUserPin(r, "123456", &left)); // success restores the count
    EXPECT_EQ(6u, r.retries);
    for (int expect = 5; expect >= 1; --expect) {
        EXPECT_EQ(TOK_ERR_WRONG_PIN, ChangeUserPin(r, "bad", "654321", &left));
        EXPECT_EQ(expect, left);
    }
    EXPECT_EQ(TOK_ERR_PIN_LOCKED, WriteLabel(r, "bad", "x", &left));
    EXPECT_EQ(0, left);
    EXPECT_TRUE(r.locked);
    EXPECT_EQ(TOK_ERR_PIN_LOCKED, VerifyUserPin(r, "123456", NULL)); // NULL out pointer is fine
    EXPECT_EQ("123456", r.userPin);
    EXPECT_EQ(DefaultConfig().defaultHwLabel, r.label);
}

TEST(PinRules, ChangeAndLabelWriteOnlyAfterTheRightPin)
{
    Reader r = DefaultReader(DefaultConfig(), 0, 0);
    uint8_t left;
    EXPECT_EQ(TOK_OK, ChangeUserPin(r, "123456", "abcdef12", &left));
    EXPECT_EQ("abcdef12", r.userPin);
    EXPECT_EQ(SIM_ERR_BAD_ARGUMENT, ChangeUserPin(r, "abcdef12", "", &left));
    EXPECT_EQ("abcdef12", r.userPin);
    std::string longLabel(40, 'L');
    EXPECT_EQ(TOK_OK, WriteLabel(r, "abcdef12", longLabel.c_str(), &left));
    EXPECT_EQ(std::string(32, 'L'), r.label);
    EXPECT_EQ(TOK_ERR_WRONG_PIN, VerifyUserPin(r, NULL, &left));
}

TEST(PinGrade, BandsFromLengthAndClasses)
{
    EXPECT_EQ(0u, PasswordGrade(NULL, 2000));
    EXPECT_EQ(0u, PasswordGrade("", 2000));
    EXPECT_EQ(0u, PasswordGrade("abc\tdef", 2000));
    EXPECT_EQ(1u, PasswordGrade("1", 2000));
    EXPECT_EQ(2u, PasswordGrade("123456", 2000));
    EXPECT_EQ(3u, PasswordGrade("abc123", 2000));
    EXPECT_EQ(4u, PasswordGrade("abcd1234", 2000));
    EXPECT_EQ(5u, PasswordGrade("Abcd1234", 2000));
    EXPECT_EQ(7u, PasswordGrade("Abcd!234xyzQ", 2000));
    EXPECT_EQ(7u, PasswordGrade("Abcd!234xyzQ_very_long_indeed", 2000));
    EXPECT_EQ(0u, PasswordGrade("123456", 5));
    EXPECT_EQ(1, TextHasDigit("ab3"));
    EXPECT_EQ(0, TextHasDigit("abc"));
    EXPECT_EQ(0, TextHasDigit(NULL));
}

TEST(PinTagFile, AbsentCreateWriteRead)
{
    Reader r;
    r.pinTagPresent = false;
    uint8_t buf[255];
    uint32_t len = sizeof buf;
    EXPECT_EQ(TOK_ERR_NO_FILE, ReadPinTagFile(r, buf, &len));
    EXPECT_EQ(TOK_ERR_NO_FILE, WritePinTagFile(r, (const uint8_t *)"\x01", 1));
    EXPECT_EQ(TOK_OK, CreatePinTagFile(r, 260));
    EXPECT_EQ(SIM_ERR_FILE_EXISTS, CreatePinTagFile(r, 260));
    len = sizeof buf;
    EXPECT_EQ(TOK_OK, ReadPinTagFile(r, buf, &len));
    EXPECT_EQ(0u, len);
    EXPECT_EQ(TOK_OK, WritePinTagFile(r, (const uint8_t *)"\x01", 1));
    len = sizeof buf;
    EXPECT_EQ(TOK_OK, ReadPinTagFile(r, buf, &len));
    ASSERT_EQ(1u, len);
    EXPECT_EQ(1, buf[0]);
    EXPECT_EQ(TOK_OK, WritePinTagFile(r, (const uint8_t *)"abc", 3));
    len = 2;
    EXPECT_EQ(SIM_ERR_BUFFER_TOO_SMALL, ReadPinTagFile(r, buf, &len));
    EXPECT_EQ(3u, len);
    std::vector<uint8_t> big(261, 1);
    EXPECT_EQ(SIM_ERR_BAD_ARGUMENT, WritePinTagFile(r, big.data(), 261));
}

TEST(CspBlock, RecordsAtTheirOffsets)
{
    Reader r = DefaultReader(DefaultConfig(), 0, 1700000000);
    r.containers[1].inUse = false;
    r.containers[1].keyFlags = 1;
    r.containers[1].exchange.kind = CERT_GARBAGE;
    r.containers[2].inUse = true;
    r.containers[2].name = std::string(600, 'N');
    r.containers[2].keyFlags = 3;
    std::vector<uint8_t> block(CSP_BLOCK_SIZE + 16, 0xEE);
    uint32_t len = CSP_BLOCK_SIZE - 1;
    EXPECT_EQ(SIM_ERR_BUFFER_TOO_SMALL, BuildCspBlock(r, IdentityUtf8, block.data(), &len));
    EXPECT_EQ(CSP_BLOCK_SIZE, len);
    EXPECT_EQ(0xEE, block[0]);
    len = CSP_BLOCK_SIZE;
    ASSERT_EQ(0u, BuildCspBlock(r, IdentityUtf8, block.data(), &len));
    EXPECT_EQ(0xEE, block[CSP_BLOCK_SIZE]); // nothing written past the block

    const uint8_t *r0 = block.data(), *r1 = r0 + 0x4005C, *r2 = r0 + 2 * 0x4005C;
    EXPECT_EQ(2u, Get32(r0 + 0x1C));
    EXPECT_EQ(0u, Get32(r0 + 0x20));
    uint32_t sigLen = Get32(r0 + 0x24);
    EXPECT_EQ(BuildCertificate(r.containers[0].signature, IdentityUtf8).size(), sigLen);
    EXPECT_EQ(1u, Get32(r0 + 0x28));
    EXPECT_STREQ("ZVKey-Container-0", (const char *)r0 + 0x2C);
    EXPECT_EQ(0u, Get32(r1 + 0x28)); // not in use, flags and length still reported
    EXPECT_EQ(1u, Get32(r1 + 0x1C));
    EXPECT_EQ(300u, Get32(r1 + 0x20));
    EXPECT_EQ(255u, strlen((const char *)r2 + 0x2C)); // name cut and terminated
    EXPECT_EQ(0u, Get32(r2 + 0x20));
    EXPECT_EQ(0, r2[0x2C + 256]);

    std::vector<uint8_t> cert(sigLen);
    len = sigLen - 1;
    EXPECT_EQ(SIM_ERR_BUFFER_TOO_SMALL, ReadContainerCert(r, IdentityUtf8, "ZVKey-Container-0", 2, cert.data(), &len));
    EXPECT_EQ(sigLen, len);
    EXPECT_EQ(0u, ReadContainerCert(r, IdentityUtf8, "ZVKey-Container-0", 2, cert.data(), &len));
    EXPECT_EQ(0x30, cert[0]);
    len = sigLen;
    EXPECT_EQ(SIM_ERR_NO_CERT, ReadContainerCert(r, IdentityUtf8, "ZVKey-Container-0", 1, cert.data(), &len));
    EXPECT_EQ(SIM_ERR_NO_CERT, ReadContainerCert(r, IdentityUtf8, "nope", 2, cert.data(), &len));
}

TEST(CspBlock, RegisteredCertTextNamesDecodableCertificates)
{
    Reader r = DefaultReader(DefaultConfig(), 0, 0);
    int n = -1;
    EXPECT_EQ("已将证书注册到浏览器：张三", RegisteredCertText(r, &n));
    EXPECT_EQ(1, n);
    r.containers[0].signature.kind = CERT_GARBAGE;
    EXPECT_EQ("", RegisteredCertText(r, &n));
    EXPECT_EQ(0, n);
}

TEST(ReaderList, MultiStringWithSizeAndCount)
{
    SimState s = FreshState(2, 0);
    uint32_t size = 0, count = 0;
    EXPECT_EQ(0u, ListReaders(s, NULL, &size, &count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(12u + 12u + 1u, size);
    std::vector<char> buf(size, 'x');
    uint32_t small = size - 1;
    EXPECT_EQ(SIM_ERR_BUFFER_TOO_SMALL, ListReaders(s, buf.data(), &small, NULL));
    EXPECT_EQ('x', buf[0]);
    EXPECT_EQ(0u, ListReaders(s, buf.data(), &size, &count));
    EXPECT_EQ(std::string("ZV Reader 0\0ZV Reader 1\0\0", 25), std::string(buf.data(), size));
    SimState none = FreshState(0, 0);
    EXPECT_EQ(0u, ListReaders(none, NULL, &size, &count));
    EXPECT_EQ(1u, size);
    EXPECT_EQ(0u, count);
}
