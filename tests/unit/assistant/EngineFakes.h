// Test doubles for the engine's outside interfaces, shared by the native
// unit tests and the Wine tests.
#pragma once

#include "assistant/engine/platform/Clock.h"
#include "assistant/engine/platform/Registry.h"
#include "assistant/engine/run/CheckRun.h"
#include "assistant/engine/system/SystemChecks.h"
#include "assistant/engine/worker/ClientEngine.h"
#include "assistant/engine/worker/CommandRunner.h"

#include <ctype.h>
#include <stdint.h>
#include <string.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

struct FakeValue {
    uint32_t type;
    std::vector<unsigned char> data;
};

// Keys are matched ignoring case, as the registry does.
class FakeRegistry : public IRegistry {
public:
    void AddKey(uint32_t root, const std::string &subKey) { Key(root, subKey); }
    void SetDword(uint32_t root, const std::string &subKey, const std::string &name, uint32_t value)
    {
        std::vector<unsigned char> data(4);
        memcpy(data.data(), &value, 4);
        Key(root, subKey).values[name] = {kRegDword, data};
    }
    void SetString(uint32_t root, const std::string &subKey, const std::string &name, const std::string &value)
    {
        std::vector<unsigned char> data(value.begin(), value.end());
        data.push_back(0);
        Key(root, subKey).values[name] = {kRegSz, data};
    }
    void SetBinary(uint32_t root, const std::string &subKey, const std::string &name, std::vector<unsigned char> data)
    {
        Key(root, subKey).values[name] = {kRegBinary, std::move(data)};
    }
    std::unique_ptr<IRegistryKey> OpenKey(uint32_t root, const char *subKey) override
    {
        opened.push_back(std::to_string(root) + ":" + subKey);
        auto it = m_keys.find(Name(root, subKey));
        if (it == m_keys.end())
            return nullptr;
        return std::unique_ptr<IRegistryKey>(new OpenFakeKey(it->second));
    }

    std::vector<std::string> opened;

private:
    struct KeyData {
        std::map<std::string, FakeValue> values;
    };
    class OpenFakeKey : public IRegistryKey {
    public:
        explicit OpenFakeKey(KeyData &key) : m_key(key) {}
        RegStatus QueryValue(const char *name, uint32_t *type, unsigned char *data, uint32_t *size) override
        {
            auto it = m_key.values.find(name ? name : "");
            if (it == m_key.values.end())
                return RegStatus::NotFound;
            const FakeValue &v = it->second;
            *type = v.type;
            if (v.data.size() > *size) {
                *size = static_cast<uint32_t>(v.data.size());
                return RegStatus::MoreData;
            }
            memcpy(data, v.data.data(), v.data.size());
            *size = static_cast<uint32_t>(v.data.size());
            return RegStatus::Ok;
        }

    private:
        KeyData &m_key;
    };

    static std::string Name(uint32_t root, std::string subKey)
    {
        for (char &c : subKey)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        return std::to_string(root) + ":" + subKey;
    }
    KeyData &Key(uint32_t root, const std::string &subKey) { return m_keys[Name(root, subKey)]; }

    std::map<std::string, KeyData> m_keys;
};

// Records every delivered (code, second) pair, the page function it went
// to and every log line in one stream, so tests can check the order of both.
class RecordingPage : public IResultChannel, public ILog {
public:
    explicit RecordingPage(CommandState &state) : m_state(state) {}
    void Deliver(const PageResult &result) override
    {
        std::string pair = result.code + "|" + result.second;
        results.push_back(pair);
        functions.push_back(result.function);
        events.push_back("R " + pair);
        busyAtDelivery.push_back(m_state.Busy);
    }
    void WriteLog(const char *text) override
    {
        logs.push_back(text);
        events.push_back(std::string("L ") + text);
    }

    std::vector<std::string> results;
    std::vector<std::string> functions;
    std::vector<std::string> logs;
    std::vector<std::string> events;
    std::vector<int> busyAtDelivery;

private:
    CommandState &m_state;
};

class FakeSystem : public ISystemInfo {
public:
    FakeSystem()
    {
        record.valid = true;
        record.extended = true;
        record.platformId = kPlatformNt;
        record.major = 6;
        record.minor = 1;
        record.build = 7601;
        record.servicePack = "Service Pack 1";
        record.productType = kProductWorkstation;
        record.architecture = kArchX86;
        record.productInfo = 1;
    }
    OsVersionRecord ReadVersionRecord() override { return record; }
    int GetUserRole() override { return role; }
    int ProbeNetwork(const char *url) override
    {
        probed.push_back(url);
        return probeResult;
    }
    std::string SystemDirectory() override { return systemDirectory; }

    OsVersionRecord record;
    int role = 1;
    int probeResult = 1;
    std::string systemDirectory = "C:\\windows\\system32";
    std::vector<std::string> probed;
};

class FakeSsl : public ISslState {
public:
    void ClearSslState() override { ++cleared; }
    int cleared = 0;
};

class FixedClock : public IClock {
public:
    std::string TimeStamp() override { return "2026-12-08 10:00:00"; }
};

// Stands in for the client, update and repair sequences: reports a marker so
// the worker's order is visible, and can fail the installation. What it
// reported is kept in reported, in the page's "code|second" form.
class FakeClientEngine : public IClientEngine {
public:
    int RunClientChecks(CheckRun &run, int vendor, bool standAlone) override
    {
        calls.push_back("client " + std::to_string(vendor) + (standAlone ? " alone" : " inside"));
        Report(run, "TITLE_CT", 1);
        if (standAlone)
            Report(run, "TITLE_RC", 0);
        return 1;
    }
    int RunOnlineUpdate(CheckRun &run) override
    {
        calls.push_back("update");
        Report(run, "VERSION", 95);
        return 1;
    }
    void RunRepair(CheckRun &run) override
    {
        calls.push_back("repair");
        Report(run, "REPAIR2", 100);
        Report(run, "REPAIR2", 0);
    }
    bool RunFirstRunInstallation(CheckRun &run) override
    {
        calls.push_back("install");
        if (!installSucceeds) {
            Report(run, "REPAIR0", 20);
            Report(run, "REPAIR0", 0);
        }
        return installSucceeds;
    }

    bool installSucceeds = true;
    std::vector<std::string> calls;
    std::vector<std::string> reported;

protected:
    void Report(CheckRun &run, const char *code, int second)
    {
        reported.push_back(std::string(code) + "|" + std::to_string(second));
        run.ReportResult(code, second);
    }
};
