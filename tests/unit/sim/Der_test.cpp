#include "sim/core/CertBuilder.h"
#include "sim/core/SimTime.h"

#include <gtest/gtest.h>

// Walks a DER element and checks that every length matches its contents,
// down through every constructed element. Returns the element's total size
// or 0 when malformed.
static size_t Walk(const Bytes &b, size_t pos, size_t end, int depth, std::vector<uint8_t> *tags)
{
    if (pos + 2 > end || depth > 20)
        return 0;
    uint8_t tag = b[pos];
    tags->push_back(tag);
    size_t len = b[pos + 1], head = 2;
    if (len & 0x80) {
        size_t n = len & 0x7F;
        if (n == 0 || n > 3 || pos + 2 + n > end)
            return 0;
        len = 0;
        for (size_t i = 0; i < n; ++i)
            len = len * 256 + b[pos + 2 + i];
        if (len < 0x80 || (n > 1 && b[pos + 2] == 0)) // not the shortest form
            return 0;
        head += n;
    }
    if (pos + head + len > end)
        return 0;
    if (tag & 0x20) {
        size_t p = pos + head, stop = pos + head + len;
        while (p < stop) {
            size_t sub = Walk(b, p, stop, depth + 1, tags);
            if (!sub)
                return 0;
            p += sub;
        }
    }
    return head + len;
}

static CertSpec SampleCert(int64_t notAfter)
{
    CertSpec c;
    c.kind = CERT_BUILT;
    c.subjectCn = "张三";
    c.issuerCn = "岚川银行CA";
    c.serialHex = "8A01";
    c.notBefore = CivilToSeconds({2011, 3, 5, 8, 0, 0});
    c.notAfter = notAfter;
    return c;
}

TEST(Der, LengthsUseTheShortestForm)
{
    EXPECT_EQ((Bytes{0x04, 0x00}), Der::Tlv(0x04, Bytes()));
    Bytes b = Der::Tlv(0x04, Bytes(200, 1));
    EXPECT_EQ(0x81, b[1]);
    EXPECT_EQ(200, b[2]);
    b = Der::Tlv(0x04, Bytes(300, 1));
    EXPECT_EQ((Bytes{0x04, 0x82, 0x01, 0x2C}), Bytes(b.begin(), b.begin() + 4));
    EXPECT_EQ((Bytes{0x02, 0x02, 0x00, 0x80}), Der::Integer(Bytes{0x80}));
    EXPECT_EQ((Bytes{0x02, 0x01, 0x05}), Der::Integer(Bytes{0, 0, 5}));
    EXPECT_EQ((Bytes{0x06, 0x03, 0x55, 0x04, 0x03}), Der::Oid("2.5.4.3"));
    EXPECT_EQ((Bytes{0x06, 0x09, 0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x01, 0x01}),
              Der::Oid("1.2.840.113549.1.1.1"));
}

TEST(Der, CertificateIsWellFormedX509)
{
    Bytes cert = BuildCertificate(SampleCert(CivilToSeconds({2027, 1, 2, 3, 4, 5})), IdentityUtf8);
    std::vector<uint8_t> tags;
    ASSERT_EQ(cert.size(), Walk(cert, 0, cert.size(), 0, &tags));
    // Certificate, TBS, [0] version, INTEGER version, INTEGER serial, AlgId ...
    ASSERT_GE(tags.size(), 6u);
    EXPECT_EQ(0x30, tags[0]);
    EXPECT_EQ(0x30, tags[1]);
    EXPECT_EQ(0xA0, tags[2]);
    EXPECT_EQ(0x02, tags[3]);
    EXPECT_EQ(0x02, tags[4]);
    EXPECT_GT(cert.size(), 300u); // a 1024-bit key and signature
    std::string text(cert.begin(), cert.end());
    EXPECT_NE(std::string::npos, text.find("270102030405Z"));
    EXPECT_NE(std::string::npos, text.find("110305080000Z"));
    EXPECT_NE(std::string::npos, text.find("张三"));
}

TEST(Der, TimesFrom2050AreGeneralized)
{
    EXPECT_EQ(Der::UTC_TIME, Der::Time(CivilToSeconds({2049, 12, 31, 23, 59, 59}))[0]);
    Bytes g = Der::Time(CivilToSeconds({2050, 1, 1, 0, 0, 0}));
    EXPECT_EQ(Der::GENERALIZED_TIME, g[0]);
    EXPECT_EQ("20500101000000Z", std::string(g.begin() + 2, g.end()));
    Bytes cert = BuildCertificate(SampleCert(CivilToSeconds({2060, 6, 1, 0, 0, 0})), IdentityUtf8);
    std::vector<uint8_t> tags;
    EXPECT_EQ(cert.size(), Walk(cert, 0, cert.size(), 0, &tags));
}

TEST(Der, BrokenKindsDoNotDecode)
{
    CertSpec s = SampleCert(CivilToSeconds({2027, 1, 1, 0, 0, 0}));
    Bytes full = BuildCertificate(s, IdentityUtf8);
    s.kind = CERT_TRUNCATED;
    Bytes cut = BuildCertificate(s, IdentityUtf8);
    EXPECT_EQ(full.size() / 2, cut.size());
    std::vector<uint8_t> tags;
    EXPECT_EQ(0u, Walk(cut, 0, cut.size(), 0, &tags));
    s.kind = CERT_GARBAGE;
    Bytes g = BuildCertificate(s, IdentityUtf8);
    EXPECT_FALSE(g.empty());
    EXPECT_NE(0x30, g[0]);
    s.kind = CERT_NONE;
    EXPECT_TRUE(BuildCertificate(s, IdentityUtf8).empty());
}

TEST(SimTime, CivilConversionAndParsing)
{
    EXPECT_EQ(0, CivilToSeconds({1970, 1, 1, 0, 0, 0}));
    EXPECT_EQ(951782400, CivilToSeconds({2000, 2, 29, 0, 0, 0}));
    CivilTime t = SecondsToCivil(951782400 + 86399);
    EXPECT_EQ(2000, t.year);
    EXPECT_EQ(2, t.month);
    EXPECT_EQ(29, t.day);
    EXPECT_EQ(23, t.hour);
    int64_t out = 0;
    EXPECT_TRUE(ParseTime("+3d", 1000, &out));
    EXPECT_EQ(1000 + 3 * 86400, out);
    EXPECT_TRUE(ParseTime("+259200s", 0, &out));
    EXPECT_EQ(259200, out);
    EXPECT_TRUE(ParseTime("-2h", 10000, &out));
    EXPECT_EQ(10000 - 7200, out);
    EXPECT_TRUE(ParseTime("2027-03-05", 0, &out));
    EXPECT_EQ("2027-03-05T00:00:00Z", FormatTime(out));
    EXPECT_TRUE(ParseTime("2027-03-05T12:30:01Z", 0, &out));
    EXPECT_EQ("2027-03-05T12:30:01Z", FormatTime(out));
    out = 5;
    EXPECT_FALSE(ParseTime("tomorrow", 0, &out));
    EXPECT_FALSE(ParseTime("+", 0, &out));
    EXPECT_FALSE(ParseTime("2027-13-01", 0, &out));
    // Only times the state file can write and read back again (a far offset
    // wrote a year the reader refused; a huge one overflowed).
    EXPECT_FALSE(ParseTime("-8000000002", 1796000000, &out));
    EXPECT_FALSE(ParseTime("+999999999999999d", 0, &out));
    EXPECT_FALSE(ParseTime("@999999999999999", 0, &out));
    EXPECT_EQ(5, out);
}
