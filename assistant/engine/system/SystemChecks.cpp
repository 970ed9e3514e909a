#include "assistant/engine/system/SystemChecks.h"

#include "assistant/engine/system/Autoplay.h"

#include <string.h>

static const char kProductOptionsKey[] = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";
static const char kInternetExplorerKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";

void SystemChecks::Report(const char *code, int progress, const char *logLine)
{
    m_run.ReportResult(code, progress);
    if (logLine)
        m_run.WriteLog(logLine);
}

int SystemChecks::CheckRegistryTable(RegCheckEntry *entries, int count, int vendorFlag)
{
    RegistryTableCheck check(m_registry, m_system, m_run.LogSink());
    return check.CheckRegistryTable(entries, count, vendorFlag);
}

int SystemChecks::RunSystemChecks(bool standAlone)
{
    m_run.ReportResult("TITLE_WS", 1);

    std::string osText = GetOsText();
    m_run.ReportResult("OS0", osText.c_str());
    m_run.WriteLog(osText.c_str());

    RegCheckEntry base[kBaseRegistryCount];
    memcpy(base, kBaseRegistryTable, sizeof(base));
    if (CheckRegistryTable(base, kBaseRegistryCount, 1))
        Report("REG0", 15, "岚川银行网银相关注册表项检测正常");
    else
        Report("REG2", 15, "岚川银行网银相关注册表项检测失败");

    if (m_system.ProbeNetwork(m_addresses.probeUrl.c_str()) == 1)
        Report("WEB0", 30, "网络状态正常");
    else
        Report("WEB1", 30, "网络状态异常");

    switch (GetAutoplayState()) {
    case kAutoplayOn:
        Report("AUTORUN0", 45, "系统自动播放功能:开启");
        break;
    case kAutoplayOff:
        Report("AUTORUN1", 45, "系统自动播放功能:关闭");
        break;
    default:
        Report("AUTORUN2", 45, "系统自动播放功能:关闭;系统为Vista以上");
        break;
    }

    m_run.ReportResult("TITLE_IE", 45);

    RegCheckEntry sites[kTrustedSitesCount];
    BuildTrustedSitesTable(m_addresses, sites);
    if (CheckRegistryTable(sites, kTrustedSitesCount, 1))
        Report("SITE0", 60, "您已将岚川银行网银相关网址加入了可信任站点");
    else
        Report("SITE10", 60, "岚川银行网银相关网址没有加入可信任站点");

    RegCheckEntry zone[kTrustedZoneCount];
    memcpy(zone, kTrustedZoneTable, sizeof(zone));
    if (CheckRegistryTable(zone, kTrustedZoneCount, 1))
        Report("IELEVEL2", 75, "IE安全设置正确");
    else
        Report("IELEVEL0", 75, "IE安全设置不正确");

    m_run.ReportResult("TITLE_RC", 75);

    if (IsRootCertInstalled())
        Report("ROOTCERT0", 90, "岚川银行根证书已安装");
    else
        Report("ROOTCERT1", 90, "岚川银行根证书未安装");

    if (standAlone)
        m_run.ReportResult("TITLE_RC", 0);
    return 1;
}

std::string SystemChecks::GetOsText()
{
    OsVersionRecord record = m_system.ReadVersionRecord();
    std::string productOptions;
    if (record.valid && record.platformId == kPlatformNt && !record.extended) {
        std::unique_ptr<IRegistryKey> key = m_registry.OpenKey(kRootLocalMachine, kProductOptionsKey);
        char type[80];
        if (key && ReadRegistryString(*key, "ProductType", type, sizeof(type)))
            productOptions = type;
    }
    OSVersion fallback(record, productOptions);
    std::string name = ComposeOsName(record, fallback);
    return ComposeOsText(name, m_system.GetUserRole(), GetIeVersionText());
}

std::string SystemChecks::GetIeVersionText()
{
    std::unique_ptr<IRegistryKey> key = m_registry.OpenKey(kRootLocalMachine, kInternetExplorerKey);
    char version[kRegCheckTextSize];
    bool read = key && ReadRegistryString(*key, "Version", version, sizeof(version));
    return ComposeBrowserText(read, read ? version : "");
}

int SystemChecks::GetAutoplayState()
{
    OSVersion version(m_system.ReadVersionRecord(), std::string());
    return ::GetAutoplayState(m_registry, version.VersionClass());
}

static bool AllKeysOpen(IRegistry &registry, const RegKeyRef *keys, size_t count)
{
    if (count == 0 || keys[0].RootKey == 0)
        return true;
    for (size_t i = 0; i < count; ++i) {
        if (!registry.OpenKey(keys[i].RootKey, keys[i].SubKey))
            return false;
    }
    return true;
}

bool SystemChecks::IsRootCertInstalled()
{
    return AllKeysOpen(m_registry, kRootCertKeysMachine, 1) || AllKeysOpen(m_registry, kRootCertKeysUser, 1);
}
