#include "keymgr/shell/websettings/WebSettings.h"

#include "keymgr/INI/store/MemoryIniStore.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

namespace {

// The in-memory store (platform semantics), counting the reads of URL
// values and failing a chosen write.
class RecordingStore : public CMemoryIniStore {
public:
    size_t GetString(const char *section, const char *key, const char *def, char *buffer, size_t size,
                     const char *file) override
    {
        if (key && strncmp(key, "URL", 3) == 0)
            ++urlReads;
        return CMemoryIniStore::GetString(section, key, def, buffer, size, file);
    }
    bool WriteString(const char *section, const char *key, const char *value, const char *file) override
    {
        writes.push_back(std::string(key ? key : "<section>") + "=" + (value ? value : "<delete>"));
        if (failAt == (int)writes.size())
            return false;
        return CMemoryIniStore::WriteString(section, key, value, file);
    }

    int urlReads = 0;
    int failAt = 0; // the write (from 1) that fails
    std::vector<std::string> writes;
};

// URLSet.ini over that store, as the program reads and writes it.
class MemoryProfile : public CIni {
public:
    MemoryProfile() : CIni("C:\\p\\URLSet.ini", store) {}
    bool Has(const char *section, const char *key) { return IsKeyExist(section, key); }
    void Set(const char *section, const char *key, const char *value)
    {
        store.CMemoryIniStore::WriteString(section, key, value, GetPathName());
    }

    RecordingStore store;
};

TEST(WebSettings, DefaultsWhenTheFileIsAbsentOrCannotBeNamed)
{
    MemoryProfile p;
    EXPECT_FALSE(WebPagesEnabled(p));
    EXPECT_TRUE(ReadWebAddresses(p).empty());
    EXPECT_FALSE(CertRequestEnabled(p));
    EXPECT_EQ("", ReadCertRequestAddress(p));
    EXPECT_FALSE(ClosedPromptEnabled(p));

    // The program folder unknown: the path is empty, whatever the store holds.
    p.SetPathName("");
    p.Set("Setting", "SetEvent", "1");
    p.Set("REQUEST_CERT", "REQUEST_ADDR", "https://req.example/");
    EXPECT_FALSE(WebPagesEnabled(p));
    EXPECT_EQ("", ReadCertRequestAddress(p));
    EXPECT_FALSE(WriteCertRequestFlag(p, true));
    EXPECT_FALSE(WriteWebPageSettings(p, true, {"https://a.example/"}));
    EXPECT_TRUE(p.store.writes.empty());
}

TEST(WebSettings, FlagsCountWhenGreaterThanZero)
{
    MemoryProfile p;
    p.Set("Setting", "SetEvent", "2");
    p.Set("REQUEST_CERT", "REQUEST", "-1");
    p.Set("IECLOSED_PROMPT", "Prompt", "1");
    EXPECT_TRUE(WebPagesEnabled(p));
    EXPECT_FALSE(CertRequestEnabled(p));
    EXPECT_TRUE(ClosedPromptEnabled(p));
}

TEST(WebSettings, AddressesInIndexOrderSkippingEmptyAndOutOfRange)
{
    MemoryProfile p;
    p.Set("Setting", "TotalNum", "4");
    p.Set("Setting", "URL2", "https://c.example/");
    p.Set("Setting", "URL0", "https://a.example/");
    p.Set("Setting", "URL1", "");
    p.Set("Setting", "URL4", "https://beyond.example/"); // not below TotalNum
    p.Set("Setting", "URL01", "https://zero-padded.example/"); // never a name the program builds
    p.Set("Setting", "url3", "https://d.example/");    // names are case-blind
    std::vector<std::string> a = ReadWebAddresses(p);
    ASSERT_EQ(3u, a.size());
    EXPECT_EQ("https://a.example/", a[0]);
    EXPECT_EQ("https://c.example/", a[1]);
    EXPECT_EQ("https://d.example/", a[2]);
}

TEST(WebSettings, HugeTotalReadsOnlyThePresentKeys)
{
    MemoryProfile p;
    p.Set("Setting", "TotalNum", "2000000000");
    p.Set("Setting", "URL0", "https://a.example/");
    p.Set("Setting", "URL1999999999", "https://last.example/");
    std::vector<std::string> a = ReadWebAddresses(p);
    ASSERT_EQ(2u, a.size());
    EXPECT_EQ("https://last.example/", a[1]);
    EXPECT_LE(p.store.urlReads, 2);
}

TEST(WebSettings, LongAddressIsCutToTheValueBuffer)
{
    MemoryProfile p;
    p.Set("Setting", "TotalNum", "1");
    p.Set("Setting", "URL0", std::string(3000, 'x').c_str());
    std::vector<std::string> a = ReadWebAddresses(p);
    ASSERT_EQ(1u, a.size());
    EXPECT_EQ(1023u, a[0].size());
    p.Set("REQUEST_CERT", "REQUEST_ADDR", std::string(600, 'y').c_str());
    EXPECT_EQ(511u, ReadCertRequestAddress(p, WEBSET_PAGE_ADDRESS_SIZE).size());
}

TEST(WebSettings, ManyKeysBeyondTheFirstListBuffer)
{
    MemoryProfile p;
    p.Set("Setting", "TotalNum", "3000");
    for (int i = 0; i < 3000; ++i) {
        char key[16], value[32];
        snprintf(key, sizeof(key), "URL%d", i);
        snprintf(value, sizeof(value), "u%d", i);
        p.Set("Setting", key, value);
    }
    std::vector<std::string> a = ReadWebAddresses(p);
    ASSERT_EQ(3000u, a.size());
    EXPECT_EQ("u2999", a[2999]);
}

TEST(WebSettings, WriteRewritesTheSection)
{
    MemoryProfile p;
    p.Set("Setting", "URL5", "old");
    p.Set("Setting", "Other", "x");
    EXPECT_TRUE(WriteWebPageSettings(p, true, {"https://a.example/", "https://b.example/"}));
    ASSERT_GE(p.store.writes.size(), 1u);
    EXPECT_EQ("<section>=<delete>", p.store.writes[0]);
    EXPECT_FALSE(p.Has("Setting", "URL5"));
    EXPECT_FALSE(p.Has("Setting", "Other"));
    EXPECT_TRUE(WebPagesEnabled(p));
    EXPECT_EQ(2, p.GetInt("Setting", "TotalNum", -1));
    std::vector<std::string> a = ReadWebAddresses(p);
    ASSERT_EQ(2u, a.size());
    EXPECT_EQ("https://b.example/", a[1]);
}

TEST(WebSettings, AFailedWriteIsReportedAndEndsTheRewrite)
{
    for (int failAt = 1; failAt <= 5; ++failAt) {
        MemoryProfile p;
        p.store.failAt = failAt;
        EXPECT_FALSE(WriteWebPageSettings(p, true, {"https://a.example/", "https://b.example/"})) << failAt;
        EXPECT_EQ((size_t)failAt, p.store.writes.size()) << "nothing written after the failure";
    }
    MemoryProfile p;
    p.store.failAt = 1;
    EXPECT_FALSE(WriteCertRequestFlag(p, true));
    p.store.failAt = 2;
    EXPECT_FALSE(WriteCertRequestAddress(p, "https://req.example/"));
}

TEST(WebSettings, WriteWithEmptyListLeavesSetEventAlone)
{
    MemoryProfile p;
    p.Set("Setting", "TotalNum", "3");
    p.Set("Setting", "URL0", "a");
    WriteWebPageSettings(p, false, {});
    EXPECT_TRUE(p.Has("Setting", "SetEvent"));
    EXPECT_EQ(0, p.GetInt("Setting", "SetEvent", -1));
    EXPECT_FALSE(p.Has("Setting", "TotalNum"));
    EXPECT_FALSE(p.Has("Setting", "URL0"));
}

TEST(WebSettings, RequestFlagAndAddressWrites)
{
    MemoryProfile p;
    WriteCertRequestFlag(p, true);
    EXPECT_TRUE(CertRequestEnabled(p));
    WriteCertRequestFlag(p, false);
    EXPECT_FALSE(CertRequestEnabled(p));
    WriteCertRequestAddress(p, "https://req.example/");
    EXPECT_EQ("https://req.example/", ReadCertRequestAddress(p));
}

TEST(WebSettings, UrlKeyNames)
{
    unsigned long i = 99;
    EXPECT_TRUE(ParseUrlKeyIndex("URL0", &i));
    EXPECT_EQ(0u, i);
    EXPECT_TRUE(ParseUrlKeyIndex("uRl2147483647", &i));
    EXPECT_EQ(2147483647u, i);
    EXPECT_FALSE(ParseUrlKeyIndex("URL2147483648", &i));
    EXPECT_FALSE(ParseUrlKeyIndex("URL99999999999999999999", &i));
    EXPECT_FALSE(ParseUrlKeyIndex("URL", &i));
    EXPECT_FALSE(ParseUrlKeyIndex("URL-1", &i));
    EXPECT_FALSE(ParseUrlKeyIndex("URL1a", &i));
    EXPECT_FALSE(ParseUrlKeyIndex("URL00", &i));
    EXPECT_FALSE(ParseUrlKeyIndex("URX1", &i));
    EXPECT_FALSE(ParseUrlKeyIndex(NULL, &i));
}

TEST(WebSettings, KeyListThatIsCutOrUnterminated)
{
    const char list[] = "URL0\0URL1\0";
    std::vector<unsigned long> v = UrlKeyIndices(list, sizeof(list), 5);
    ASSERT_EQ(2u, v.size());
    // A list cut inside its last name: that name is not trusted.
    char cut[7];
    memcpy(cut, "URL0\0UR", 7);
    v = UrlKeyIndices(cut, sizeof(cut), 5);
    ASSERT_EQ(1u, v.size());
    const char dup[] = "URL1\0url1\0URL0\0";
    v = UrlKeyIndices(dup, sizeof(dup), 5);
    ASSERT_EQ(2u, v.size());
    EXPECT_EQ(0u, v[0]);
    EXPECT_TRUE(UrlKeyIndices(list, sizeof(list), 0).empty());
    EXPECT_TRUE(UrlKeyIndices(list, sizeof(list), -3).empty());
}

} // namespace
