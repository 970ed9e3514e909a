// The client check: the bank's three browser components, the vendor's
// token client, the token and its key containers.
#pragma once

#include "assistant/engine/platform/ClientPlatform.h"
#include "assistant/engine/run/CheckRun.h"
#include "assistant/engine/system/SystemChecks.h"
#include "assistant/engine/tables/ClientTables.h"
#include "assistant/engine/version/VersionCheck.h"

#include <string.h>

struct ClientCheckServices {
    IRegistry &registry;
    ISystemInfo &system;
    IFileSystem &files;
    ITokenAccess &token;
    VersionCheck &versions;
};

class ClientChecks {
public:
    ClientChecks(CheckRun &run, ClientCheckServices services) : m_run(run), m_s(services) {}

    // Always 1; standAlone ends with ("TITLE_RC", 0).
    int RunClientChecks(int vendor, bool standAlone);

    int CheckFileTable(int folderSet, FileCheckEntry *entries, int count, unsigned char group);
    int CheckRegistryTable(RegCheckEntry *entries, int count, int vendorFlag);
    bool IsClientInstalled(int vendor);
    bool IsProviderComplete(int vendor);
    bool IsManagerRunning();
    bool IsTokenPresent(int vendor);
    bool HasKeyContainer(int vendor);
    // The vendor's start-up entry table passes.
    bool StartupEntryPresent(int vendor);

private:
    struct Component;
    void CheckComponent(const Component &c);
    void Report(const char *code, const char *suffix, int progress);

    CheckRun &m_run;
    ClientCheckServices m_s;
};

// The table copied so the check may write into it.
template <size_t N>
struct TableCopy {
    explicit TableCopy(const RegCheckEntry (&src)[N]) { memcpy(entries, src, sizeof(entries)); }
    RegCheckEntry entries[N];
};
