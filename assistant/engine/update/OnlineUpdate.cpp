#include "assistant/engine/update/OnlineUpdate.h"

#include "assistant/engine/update/Repairs.h"
#include "assistant/engine/version/PackageVersion.h"

#include <stdio.h>

static const DownloadKindInfo kDownloads[] = {
    {"LCCB_Sovan.dat", "LCCB_SovanExt.exe", 1},
    {"LCCB_Zanvo.dat", "LCCB_ZanvoExt.exe", 2},
    {"LCCB_Sign.dat", "LCCB_SignExt.exe", 4},
    {"LCCB_PowerEnter.dat", "LCCB_PowerEnterExt.exe", 3},
    {"LCCB_Printer.dat", "LCCB_PrinterExt.exe", 5},
};

const DownloadKindInfo *FindDownloadKind(int kind)
{
    return kind >= 1 && kind <= 5 ? &kDownloads[kind - 1] : nullptr;
}

bool OnlineUpdate::ClientCurrent(int vendor)
{
    ClientChecks checks(m_run, m_s.checks);
    int kind = vendor == 1 ? 1 : 2;
    if (!m_s.checks.versions.CheckComponentVersion(kind, true) || !checks.IsClientInstalled(vendor))
        return false;
    if (!checks.IsProviderComplete(vendor))
        return false;
    return checks.StartupEntryPresent(vendor);
}

int OnlineUpdate::RunOnlineUpdate()
{
    int vendor = m_run.Vendor();
    bool clientCurrent = true;
    if (vendor == 1 || vendor == 2) {
        clientCurrent = ClientCurrent(vendor);
        if (clientCurrent) {
            m_run.WriteLog(vendor == 1 ? "岚川银行朔岩USBKey网银客户端已经是最新版本!"
                                       : "岚川银行泽沃USBKey网银客户端已经是最新版本!");
            m_run.ReportResult("TITLE_CE", 10);
        }
    }
    VersionCheck &versions = m_s.checks.versions;
    bool passwordCurrent = versions.CheckComponentVersion(3, true) != 0;
    bool signatureCurrent = versions.CheckComponentVersion(4, true) != 0;
    bool printerCurrent = versions.CheckComponentVersion(5, true) != 0;

    if (m_s.checks.system.ProbeNetwork(m_s.probeUrl.c_str()) != 1) {
        m_run.ReportResult("WEB1", 40);
        m_run.ClearBusy();
        return 0;
    }
    if (!signatureCurrent)
        DownloadAndRunUpdate(3);
    if (!passwordCurrent)
        DownloadAndRunUpdate(4);
    if (!printerCurrent)
        DownloadAndRunUpdate(5);
    if (vendor == 1 && !clientCurrent)
        DownloadAndRunUpdate(1);
    if (vendor == 2 && !clientCurrent)
        DownloadAndRunUpdate(2);
    if (vendor == 1)
        m_run.ReportResult("VERSION", 95);
    else if (vendor == 2)
        m_run.ReportResult("VERSION_ZV", 95);
    return 1;
}

// A package without a version resource cannot show that it is not an old
// release: it is refused like one.
bool OnlineUpdate::AdmitsVersion(IHeldFile &held, const DownloadKindInfo *info)
{
    uint16_t version[4];
    return held.ReadFileVersion(version) &&
           m_s.checks.versions.AdmitPackage(info->versionKind, PackageVersionForm(version));
}

void OnlineUpdate::ReportPackageFailure(int kind)
{
    if (kind == 1)
        m_run.ReportResult("SIGN2", 100);
    else if (kind == 2)
        m_run.ReportResult("SIGN2_ZV", 100);
}

int OnlineUpdate::DownloadAndRunUpdate(int kind)
{
    const DownloadKindInfo *info = FindDownloadKind(kind);
    if (!info)
        return 0;
    m_run.ReportResult("TITLE_CE", 10);
    VersionCheck &versions = m_s.checks.versions;
    IUpdatePlatform &platform = m_s.platform;

    if (kind == 2) {
        std::string local;
        if (!versions.FetchVersionFile(&local, false))
            return 0;
        std::string published;
        bool found = versions.ReadPublishedVersion(local, "ZVVer", &published);
        platform.Remove(local);
        if (!found)
            return 0;
        if (!versions.InstalledIsAtLeast(2, published))
            versions.KeepPublished(2, published);
    }

    // Without a folder of ours there is nowhere to put the package; its bare
    // name would be somebody's file in the current folder.
    std::string folder = platform.WorkFolder();
    if (folder.empty()) {
        m_run.ClearBusy();
        ReportPackageFailure(kind);
        return 0;
    }
    std::string local = folder + info->localName;
    std::string url = versions.Address((std::string("/bankremote/lccb/") + info->package).c_str());
    bool silent = versions.ServerSilent();
    bool fetched = FetchFresh(m_s.downloader, platform, url, local, DownloadKind::Package, false, &silent);
    if (silent)
        versions.MarkServerSilent();
    if (!fetched) {
        platform.Remove(local);
        m_run.ClearBusy();
        ReportPackageFailure(kind);
        return 0;
    }
    // Plain HTTP proves nothing about where the file came from (and an
    // error page arrives as a "downloaded" file): only the pinned signer's
    // code is run, no older than what is installed, and the file stays held
    // from the check to the start.
    std::unique_ptr<IHeldFile> held = platform.HoldFile(local);
    const char *refusal = !held                         ? nullptr
                          : !held->IsTrustedSigned()    ? "文件\"%s\"签名无效,未运行!"
                          : !AdmitsVersion(*held, info) ? "文件\"%s\"版本低于已安装版本,未运行!"
                                                        : nullptr;
    if (!held || refusal) {
        if (refusal) {
            char line[400];
            snprintf(line, sizeof(line), refusal, local.c_str());
            m_run.WriteLog(line);
        }
        held.reset();
        platform.Remove(local);
        m_run.ClearBusy();
        ReportPackageFailure(kind);
        return 0;
    }
    // The client's version checker goes only for its own verified package,
    // which brings a fresh one.
    if (kind == 2) {
        std::string checker = ZanvoClientFile(m_s.checks.registry, "CheckFileVer.dll");
        if (!checker.empty())
            platform.Remove(checker);
    }
    ProcessOutcome outcome = held->RunAndWait();
    held.reset();
    if (!outcome.started) {
        m_run.ReportResult("REPAIR0", 100);
        m_run.ReportResult("REPAIR0", 0);
        m_run.ClearBusy();
        return 0;
    }
    platform.Remove(local);
    // A crash (an error status as exit code) has installed nothing either.
    if (!outcome.Succeeded()) {
        m_run.ClearBusy();
        return 0;
    }
    // Only now does the installed version change.
    versions.StorePublished(info->versionKind);
    return 1;
}
