// Test doubles for the client, update and repair sequences' platform.
#pragma once

#include "assistant/engine/worker/ClientEngine.h"
#include "tests/unit/assistant/EngineFakes.h"

#include <algorithm>
#include <map>
#include <set>

#include <stdio.h>

// Files by path (ignoring case) with their content; doubles as the update
// platform: downloads land here, runs are recorded, resources come from a map.
class FakeMachine : public IUpdatePlatform, public ITokenAccess, public IDownloader {
public:
    explicit FakeMachine(FakeRegistry &registry) : m_registry(registry) {}

    // Files.
    void Put(const std::string &path, const std::string &content = "x") { files[Lower(path)] = content; }
    bool Exists(const std::string &path) override { return files.count(Lower(path)) != 0; }
    bool Remove(const std::string &path) override
    {
        if (undeletable.count(Lower(path)))
            return false;
        files.erase(Lower(path));
        return true;
    }
    std::string Content(const std::string &path) { return Exists(path) ? files[Lower(path)] : "<none>"; }

    // Update platform.
    std::string WorkFolder() override { return workFolderFails ? std::string() : std::string("C:\\work\\"); }
    void EndRun() override { ++runsEnded; }
    bool ReadIniValue(const std::string &path, const char *section, const char *key, std::string *value) override
    {
        // Content "[S]K=V;[S2]K=V2": enough INI for the version file.
        std::string text = Content(path), want = std::string("[") + section + "]" + key + "=";
        size_t at = text.find(want);
        if (at == std::string::npos)
            return false;
        size_t start = at + want.size();
        *value = text.substr(start, text.find(';', start) - start);
        return !value->empty();
    }
    bool WriteVersionValue(const char *subKey, const char *name, const std::string &value) override
    {
        m_registry.SetString(kRootLocalMachine, subKey, name, value);
        stored.push_back(std::string(name) + "=" + value);
        return true;
    }
    // A held file: its content is checked and run as it is at that moment.
    class Held : public IHeldFile {
    public:
        Held(FakeMachine &m, const std::string &path) : m_m(m), m_path(path) {}
        bool IsTrustedSigned() override { return m_m.Content(m_path).rfind("signed:", 0) == 0; }
        // Content "signed:name@A.B.C.D" carries a version resource.
        bool ReadFileVersion(uint16_t (&v)[4]) override
        {
            std::string content = m_m.Content(m_path);
            unsigned a, b, c, d;
            size_t at = content.find('@');
            if (at == std::string::npos || sscanf(content.c_str() + at + 1, "%u.%u.%u.%u", &a, &b, &c, &d) != 4)
                return false;
            v[0] = uint16_t(a), v[1] = uint16_t(b), v[2] = uint16_t(c), v[3] = uint16_t(d);
            return true;
        }
        ProcessOutcome RunAndWait() override
        {
            ProcessOutcome o;
            std::string name = m_path.substr(m_path.rfind('\\') + 1);
            if (!m_m.Exists(m_path) || m_m.unstartable.count(name))
                return o;
            o.started = true;
            o.exitKnown = true;
            o.exitCode = m_m.exitCodes.count(name) ? m_m.exitCodes[name] : 0;
            m_m.runs.push_back(name + ":" + m_m.Content(m_path));
            if (m_m.installs.count(name))
                m_m.Put(m_m.installs[name]);
            return o;
        }

    private:
        FakeMachine &m_m;
        std::string m_path;
    };
    std::unique_ptr<IHeldFile> WriteInstaller(int id, const std::string &path) override
    {
        if (!resources.count(id) || Exists(path))
            return nullptr;
        Put(path, resources[id]);
        return std::unique_ptr<IHeldFile>(new Held(*this, path));
    }
    std::unique_ptr<IHeldFile> HoldFile(const std::string &path) override
    {
        return Exists(path) ? std::unique_ptr<IHeldFile>(new Held(*this, path)) : nullptr;
    }
    bool ExtractBinResource(int id, const std::string &path) override
    {
        if (!resources.count(id) || undeletable.count(Lower(path)))
            return false;
        Put(path, resources[id]);
        return true;
    }
    bool AskYesNo(const char *text, const char *caption) override
    {
        asked.push_back(std::string(caption) + ": " + text);
        return answerYes;
    }
    void Pause(uint32_t ms) override { paused += ms; }

    // Token.
    uint32_t AcquireContext(const char *cspName) override
    {
        acquired.push_back(cspName);
        return acquireError;
    }
    int CountContainers(const char *cspName) override { return acquireError ? -1 : containers; }
    bool OpenNamedMutex(const char *name, uint32_t *lastError) override
    {
        if (mutexes.count(name))
            return true;
        *lastError = 2;
        return false;
    }

    // Downloads: url -> content; a missing url fails, "hang" runs out of time.
    bool IsConnected() override { return connected; }
    void ForgetCached(const std::string &url) override {}
    DownloadStatus Download(const std::string &url, const std::string &path, DownloadKind kind) override
    {
        fetched.push_back(url);
        kinds.push_back(kind);
        auto it = server.find(url);
        if (it == server.end())
            return DownloadStatus::Failed;
        if (it->second == "hang")
            return DownloadStatus::TimedOut;
        Put(path, it->second);
        return DownloadStatus::Ok;
    }

    std::map<std::string, std::string> files;
    std::set<std::string> undeletable;
    std::map<std::string, uint32_t> exitCodes;
    std::set<std::string> unstartable;
    std::map<int, std::string> resources;
    std::map<std::string, std::string> server;
    std::map<std::string, std::string> installs;  // installer name -> a file it puts
    std::set<std::string> mutexes;
    std::vector<std::string> runs, stored, asked, acquired, fetched;
    std::vector<DownloadKind> kinds;
    bool workFolderFails = false;
    uint32_t acquireError = 0;
    int containers = 1;
    bool connected = true;
    bool answerYes = true;
    uint32_t paused = 0;
    int runsEnded = 0;

    static std::string Lower(std::string s)
    {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
        return s;
    }

private:
    FakeRegistry &m_registry;
};

const char kTestUpdateHost[] = "update.test";
inline std::string UpdateUrl(const std::string &file) { return std::string("http://update.test/bankremote/lccb/") + file; }

// A machine with both controls and the vendor's client installed, current
// at version 1.0.12.1218, the manager running and a token with a container.
void SeedInstalledClient(FakeRegistry &reg, FakeMachine &m, int vendor);

// Runs the sequences over a FakeMachine and records what the page got.
class ClientRig {
public:
    explicit ClientRig(int vendor)
        : page(state), run(state, page, page), machine(reg),
          engine(ClientEngineServices{reg, system, machine, machine, machine, kTestUpdateHost, "http://probe.test/"})
    {
        state.Vendor = vendor;
        state.Busy = 1;
        SeedInstalledClient(reg, machine, vendor);
    }
    bool Sent(const std::string &pair) const
    {
        return std::find(page.results.begin(), page.results.end(), pair) != page.results.end();
    }
    bool Logged(const std::string &line) const
    {
        return std::find(page.logs.begin(), page.logs.end(), line) != page.logs.end();
    }

    CommandState state;
    RecordingPage page;
    CheckRun run;
    FakeRegistry reg;
    FakeSystem system;
    FakeMachine machine;
    ClientEngine engine;
};
