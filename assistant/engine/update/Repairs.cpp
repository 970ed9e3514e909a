#include "assistant/engine/update/Repairs.h"

#include "assistant/engine/tables/FileTableCheck.h"

#include <stdio.h>

const char kRepairCaption[] = "岚川银行网银助手";
const char kRepairQuestion[] = "将要进行一键修复操作，建议关闭所有开启的IE浏览器窗口，是否继续?";

static const char kClientFolder[] = "\\OstraCSP20407\\OstraCSP20407";

const char *InstallerFileName(int resourceId)
{
    switch (resourceId) {
    case kBinSignature:
        return "LCCB_SignExt.exe";
    case kBinPassword:
        return "LCCB_PowerEnterExt.exe";
    case kBinPrinter:
        return "LCCB_PrinterExt.exe";
    case kBinZanvoSetup:
        return "mainsetExt.exe";
    case kBinZanvoClient:
        return "LCCB_ZanvoExt.exe";
    case kBinSovanClient:
        return "LCCB_SovanExt.exe";
    default:
        return nullptr;
    }
}

std::string ZanvoClientFile(IRegistry &registry, const char *name)
{
    std::string programFiles = ReadProgramFilesFolder(registry);
    if (programFiles.empty())
        return std::string();
    return programFiles + kClientFolder + "\\" + name;
}

std::string Repairs::WebSettingsPath()
{
    return ZanvoClientFile(m_registry, "URLSet.ini");
}

void Repairs::ReportFailure(int progress)
{
    m_run.ReportResult("REPAIR0", progress);
    m_run.ReportResult("REPAIR0", 0);
}

bool Repairs::RunEmbeddedInstaller(int resourceId, int progress)
{
    if (resourceId == kBinWebSettings) {
        std::string web = WebSettingsPath();
        return !web.empty() && m_platform.ExtractBinResource(kBinWebSettings, web);
    }
    const char *name = InstallerFileName(resourceId);
    std::string folder = name ? m_platform.WorkFolder() : std::string();
    if (folder.empty()) {
        ReportFailure(progress);
        return false;
    }
    if (resourceId == kBinZanvoClient) {
        std::string checker = ZanvoClientFile(m_registry, "CheckFileVer.dll");
        if (checker.empty()) {
            ReportFailure(progress);
            return false;
        }
        m_platform.Remove(checker);
    }

    // A leftover that cannot be removed is somebody else's file: nothing
    // runs in its place.
    std::string path = folder + name;
    std::unique_ptr<IHeldFile> held;
    if (m_platform.Remove(path))
        held = m_platform.WriteInstaller(resourceId, path);
    if (!held) {
        ReportFailure(progress);
        return false;
    }
    // Our own resource, checked as it lies on disk: what runs is what was checked.
    if (!held->IsTrustedSigned()) {
        char line[400];
        snprintf(line, sizeof(line), "文件\"%s\"签名无效,未运行!", path.c_str());
        m_run.WriteLog(line);
        held.reset();
        m_platform.Remove(path);
        ReportFailure(progress);
        return false;
    }
    ProcessOutcome outcome = held->RunAndWait();
    held.reset();
    if (!outcome.started) {
        ReportFailure(progress);
        return false;
    }
    m_platform.Remove(path);
    if (!outcome.Succeeded()) {
        ReportFailure(progress);
        return false;
    }
    return true;
}

bool Repairs::RunSteps(int vendor)
{
    if (!RunEmbeddedInstaller(kBinSignature, 50) || !RunEmbeddedInstaller(kBinPassword, 50) ||
        !RunEmbeddedInstaller(kBinPrinter, 50))
        return false;
    if (vendor == 2) {
        if (!RunEmbeddedInstaller(kBinZanvoSetup, 75) || !RunEmbeddedInstaller(kBinZanvoClient, 75))
            return false;
        m_platform.Pause(1000);
        if (!RunEmbeddedInstaller(kBinWebSettings, 75)) {
            // Without an end-of-run signal the page would wait for ever.
            ReportFailure(75);
            return false;
        }
    } else if (vendor == 1) {
        if (!RunEmbeddedInstaller(kBinSovanClient, 100))
            return false;
    }
    return true;
}

void Repairs::RunRepair()
{
    m_run.ReportResult("TITLE_CS", 1);
    if (!m_platform.AskYesNo(kRepairQuestion, kRepairCaption)) {
        m_run.ReportResult("REPAIR1", 100);
        m_run.ReportResult("REPAIR1", 0);
        return;
    }
    if (!RunSteps(m_run.Vendor()))
        return;
    m_run.ReportResult("REPAIR2", 100);
    m_run.ReportResult("REPAIR2", 0);
}

bool Repairs::RunFirstRunInstallation()
{
    return RunSteps(m_run.Vendor());
}
