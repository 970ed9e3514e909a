#include "assistant/engine/client/ClientChecks.h"

#include <stdio.h>
#include <string.h>

#include <vector>

static const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
static const char kManagerSuffix[] = "MgrSingleInstance";

struct ClientChecks::Component {
    const char *codeBase;           // "SIGN", "CONTROL", "PRINTER"
    const FileCheckEntry *files;
    int fileCount;
    const RegCheckEntry *registry;
    int registryCount;
    int versionKind;
    const char *name;               // for the log lines
};

int ClientChecks::CheckFileTable(int folderSet, FileCheckEntry *entries, int count, unsigned char group)
{
    FileTableCheck check(m_s.registry, m_s.system, m_s.files, m_run.LogSink());
    return check.CheckFileTable(folderSet, entries, count, group);
}

int ClientChecks::CheckRegistryTable(RegCheckEntry *entries, int count, int vendorFlag)
{
    RegistryTableCheck check(m_s.registry, m_s.system, m_run.LogSink());
    return check.CheckRegistryTable(entries, count, vendorFlag);
}

void ClientChecks::Report(const char *code, const char *suffix, int progress)
{
    std::string full = std::string(code) + suffix;
    m_run.ReportResult(full.c_str(), progress);
}

void ClientChecks::CheckComponent(const Component &c)
{
    std::vector<FileCheckEntry> files(c.files, c.files + c.fileCount);
    std::vector<RegCheckEntry> registry(c.registry, c.registry + c.registryCount);
    int code;
    const char *state;
    if (CheckFileTable(1, files.data(), c.fileCount, kGroupComponent) != 0) {
        code = 4;
        state = "未安装";
    } else if (!CheckRegistryTable(registry.data(), c.registryCount, 1)) {
        code = 3;
        state = "未注册";
    } else if (m_s.versions.CheckComponentVersion(c.versionKind, false)) {
        code = 0;
        state = "已安装,且是最新版本!";
    } else {
        code = 1;
        state = "已安装,不是最新版本,请选择<<高级>>中<<在线更新>>,!";
    }
    char result[32];
    snprintf(result, sizeof(result), "%s%d", c.codeBase, code);
    m_run.ReportResult(result, 90);
    std::string line = std::string("岚川银行网银") + c.name + state;
    m_run.WriteLog(line.c_str());
}

bool ClientChecks::IsClientInstalled(int vendor)
{
    const VendorInfo *v = FindVendor(vendor);
    if (!v)
        return false;
    std::string key = std::string(kUninstallKey) + v->uninstallKey;
    return m_s.registry.OpenKey(kRootLocalMachine, key.c_str()) != nullptr;
}

bool ClientChecks::IsManagerRunning()
{
    uint32_t error = 0;
    std::string first = std::string("68EE4CE2-1407-4be1-AE5A-A376250F847D") + kManagerSuffix;
    if (m_s.token.OpenNamedMutex(first.c_str(), &error))
        return true;
    char line[64];
    snprintf(line, sizeof(line), "%d %d", static_cast<int>(error), 183);
    m_run.WriteLog(line);
    std::string second = std::string("7DA1A2D7-D203-4ca5-A8A0-947C663E06E8") + kManagerSuffix;
    if (m_s.token.OpenNamedMutex(second.c_str(), &error))
        return true;
    m_run.WriteLog("Certd未启动");
    return false;
}

bool ClientChecks::IsProviderComplete(int vendor)
{
    if (vendor == 1) {
        TableCopy<kVendorOneProviderRegCount> table(kVendorOneProviderRegistry);
        FileCheckEntry files[kVendorOneProviderFileCount];
        memcpy(files, kVendorOneProviderFiles, sizeof(files));
        // All three are looked at, so each leaves its log lines.
        bool registry = CheckRegistryTable(table.entries, kVendorOneProviderRegCount, 1) != 0;
        bool present = CheckFileTable(1, files, kVendorOneProviderFileCount, kGroupProvider) == 0;
        bool manager = IsManagerRunning();
        return registry && present && manager;
    }
    if (vendor == 2) {
        RegCheckEntry table[kVendorTwoProviderRegCount];
        BuildVendorTwoProviderRegistry(table);
        FileCheckEntry files[kVendorTwoProviderFileCount];
        memcpy(files, kVendorTwoProviderFiles, sizeof(files));
        bool registry = CheckRegistryTable(table, kVendorTwoProviderRegCount, 0) != 0;
        bool present = CheckFileTable(0, files, kVendorTwoProviderFileCount, kGroupProvider) == 0;
        return registry && present;
    }
    return false;
}

bool ClientChecks::StartupEntryPresent(int vendor)
{
    if (vendor == 1) {
        TableCopy<kStartupRegCount> table(kVendorOneStartupRegistry);
        return CheckRegistryTable(table.entries, kStartupRegCount, 1) != 0;
    }
    if (vendor == 2) {
        TableCopy<kStartupRegCount> table(kVendorTwoStartupRegistry);
        return CheckRegistryTable(table.entries, kStartupRegCount, 0) != 0;
    }
    return false;
}

// Errors that mean no token; any other (a missing default container among
// them) still means a token is there.
static bool MeansNoToken(uint32_t error)
{
    return error == 0x80090020u || error == 87u || error == 0x8010000Cu;
}

bool ClientChecks::IsTokenPresent(int vendor)
{
    const VendorInfo *v = FindVendor(vendor);
    if (!v)
        return false;
    uint32_t error = m_s.token.AcquireContext(v->cspName);
    return error == 0 || !MeansNoToken(error);
}

bool ClientChecks::HasKeyContainer(int vendor)
{
    const VendorInfo *v = FindVendor(vendor);
    return v && m_s.token.CountContainers(v->cspName) > 0;
}

int ClientChecks::RunClientChecks(int vendor, bool standAlone)
{
    const VendorInfo *v = FindVendor(vendor);
    static const Component components[] = {
        {"SIGN", kSignatureFiles, kSignatureFileCount, kSignatureRegistry, kSignatureRegCount, 4, "签名控件"},
        {"CONTROL", kPasswordFiles, kPasswordFileCount, kPasswordRegistry, kPasswordRegCount, 3, "密码控件"},
        {"PRINTER", kPrinterFiles, kPrinterFileCount, kPrinterRegistry, kPrinterRegCount, 5, "打印控件"},
    };
    m_run.ReportResult("TITLE_CT", 1);
    for (const Component &c : components)
        CheckComponent(c);
    m_run.ReportResult("TITLE_UK", 95);
    if (v) {
        const char *sfx = v->suffix;
        if (!IsClientInstalled(vendor)) {
            Report("UKEY_NO_DRIVER", sfx, 50);
            Report("UKEY_WQ2324", sfx, 100);
        } else {
            bool current = m_s.versions.CheckComponentVersion(v->versionKind, false) != 0;
            Report(current ? "VERSION" : "VERSION_OLD", sfx, 95);
            if (vendor == 1)
                m_run.WriteLog(current ? "岚川银行朔岩USBKey网银客户端已经是最新版本!"
                                       : "岚川银行朔岩USBKey网银客户端不是最新版本，建议进行修复或者在线更新!");
            else
                m_run.WriteLog(current ? "岚川银行泽沃USBKey网银客户端已经是最新版本!"
                                       : "岚川银行泽沃USBKey网银客户端不是最新版本，建议进行修复或者在线更新!");
            if (!StartupEntryPresent(vendor) || !IsProviderComplete(vendor)) {
                Report("UKEY_WQ2321", sfx, 50);
                Report("UKEY_WQ2324", sfx, 100);
            } else {
                Report("UKEY_WQ2322", sfx, 95);
                if (!IsTokenPresent(vendor)) {
                    Report("UKEY_NO_KEY", sfx, 50);
                } else {
                    Report("UKEY_WQ2301", sfx, 95);
                    bool container = HasKeyContainer(vendor);
                    if (vendor == 1)
                        m_run.ReportResult(container ? "UKEY_CERT_YQ" : "UKEY_NO_CERT_YQ", 95);
                    else
                        m_run.ReportResult(container ? "UKEY_CERT_ZV" : "UKEY_NO_CERT_ZV", 95);
                }
            }
        }
    }
    if (standAlone)
        m_run.ReportResult("TITLE_RC", 0);
    return 1;
}
