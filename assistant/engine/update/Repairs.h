// The one-click repair and the first-run installation: the installers the
// program carries, written to the work folder, run and deleted.
#pragma once

#include "assistant/engine/platform/ClientPlatform.h"
#include "assistant/engine/platform/Registry.h"
#include "assistant/engine/run/CheckRun.h"

enum BinResource {
    kBinSignature = 187,
    kBinPassword = 208,
    kBinPrinter = 210,
    kBinZanvoSetup = 200,
    kBinZanvoClient = 199,
    kBinSovanClient = 215,
    kBinWebSettings = 211,
};

// The work folder's file name of an installer resource; null for another id.
const char *InstallerFileName(int resourceId);

// A file of the second vendor's client folder under Program Files; "" when
// the Program Files folder cannot be read (never a drive-relative path).
std::string ZanvoClientFile(IRegistry &registry, const char *name);

extern const char kRepairCaption[];
extern const char kRepairQuestion[];

class Repairs {
public:
    Repairs(CheckRun &run, IRegistry &registry, IUpdatePlatform &platform)
        : m_run(run), m_registry(registry), m_platform(platform) {}

    void RunRepair();
    // Whether every step succeeded; a failed step has reported.
    bool RunFirstRunInstallation();
    bool RunEmbeddedInstaller(int resourceId, int progress);

    // "" when the Program Files folder cannot be read.
    std::string WebSettingsPath();

private:
    bool RunSteps(int vendor);
    void ReportFailure(int progress);

    CheckRun &m_run;
    IRegistry &m_registry;
    IUpdatePlatform &m_platform;
};
