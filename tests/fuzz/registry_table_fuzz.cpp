// The registry tables checked against whatever a machine stores: every
// value of any type, any length, or missing, and table records whose texts
// fill their arrays without a terminator.
#include "assistant/engine/tables/RegistryTableCheck.h"
#include "assistant/engine/tables/SystemTables.h"
#include "tests/fuzz/FuzzInput.h"

#include <string.h>

#include <vector>

namespace {

class FuzzKey : public IRegistryKey {
public:
    explicit FuzzKey(FuzzInput &in) : m_in(in) {}
    RegStatus QueryValue(const char *name, uint32_t *type, unsigned char *data, uint32_t *size) override
    {
        FUZZ_REQUIRE(name != NULL && strlen(name) <= kRegCheckTextSize);
        uint8_t how = m_in.Byte();
        if (how % 5 == 0)
            return RegStatus::NotFound;
        if (how % 5 == 1)
            return RegStatus::Failed;
        *type = m_in.Byte() % 6;
        std::string value = m_in.Text();
        if (value.size() > *size) {
            *size = static_cast<uint32_t>(value.size());
            return RegStatus::MoreData;
        }
        memcpy(data, value.data(), value.size());
        *size = static_cast<uint32_t>(value.size());
        return RegStatus::Ok;
    }

private:
    FuzzInput &m_in;
};

class FuzzRegistry : public IRegistry {
public:
    explicit FuzzRegistry(FuzzInput &in) : m_in(in) {}
    std::unique_ptr<IRegistryKey> OpenKey(uint32_t, const char *subKey) override
    {
        FUZZ_REQUIRE(subKey != NULL && strlen(subKey) <= kRegCheckTextSize);
        if (m_in.Byte() % 7 == 0)
            return nullptr;
        return std::unique_ptr<IRegistryKey>(new FuzzKey(m_in));
    }

private:
    FuzzInput &m_in;
};

class Folders : public ISystemFolders {
public:
    std::string SystemDirectory() override { return "C:\\windows\\system32"; }
};

class NullLog : public ILog {
public:
    void WriteLog(const char *text) override { FUZZ_REQUIRE(strlen(text) < 1024); }
};

void FillText(char (&field)[kRegCheckTextSize], const std::string &text)
{
    // A text as long as the array leaves no room for a terminator.
    memset(field, 'k', sizeof field);
    memcpy(field, text.data(), text.size() < sizeof field ? text.size() : sizeof field);
    if (text.size() < sizeof field)
        field[text.size()] = '\0';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int vendor = 1 + in.Byte() % 2;

    std::vector<RegCheckEntry> table(kBaseRegistryTable, kBaseRegistryTable + kBaseRegistryCount);
    table.insert(table.end(), kTrustedZoneTable, kTrustedZoneTable + kTrustedZoneCount);
    RegCheckEntry sites[kTrustedSitesCount];
    BuildTrustedSitesTable(DefaultEngineAddresses(), sites);
    table.insert(table.end(), sites, sites + kTrustedSitesCount);

    RegCheckEntry own = {};
    own.RootKey = kRootLocalMachine;
    own.ValueType = in.Byte() % 6;
    own.CompareValue = in.Byte() % 3;
    own.IsCommandLine = in.Byte() % 3;
    FillText(own.SubKey, in.Text());
    FillText(own.ValueName, in.Text());
    std::string expected = in.Text();
    memcpy(own.Expected, expected.data(), expected.size() < sizeof own.Expected ? expected.size() : sizeof own.Expected);
    table.insert(table.begin() + in.Byte() % (table.size() + 1), own);

    FuzzRegistry registry(in);
    Folders folders;
    NullLog log;
    RegistryTableCheck check(registry, folders, log);
    // Walk on from each failure so every entry meets the registry.
    for (size_t i = 0; i < table.size() && !in.Empty(); ++i) {
        int result = check.CheckRegistryTable(&table[i], 1, vendor);
        FUZZ_REQUIRE(result == 0 || result == 1);
    }
    return 0;
}
