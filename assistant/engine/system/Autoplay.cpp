#include "assistant/engine/system/Autoplay.h"

#include "assistant/engine/system/OsVersion.h"

static const char kPoliciesExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
static const char kAutoplayHandlers[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers";
static const char kCdromService[] = "SYSTEM\\CurrentControlSet\\Services\\Cdrom";

static bool IsOffValue(uint32_t value)
{
    return value == 0xB5 || value == 0xFF;
}

// A policy key that cannot be opened counts as off; a present off value too.
static bool PolicyKeySaysOff(IRegistry &registry, uint32_t root, bool missingKeyIsOff)
{
    std::unique_ptr<IRegistryKey> key = registry.OpenKey(root, kPoliciesExplorer);
    if (!key)
        return missingKeyIsOff;
    uint32_t value = 0;
    return ReadRegistryDword(*key, "NoDriveTypeAutoRun", &value) && IsOffValue(value);
}

static bool VistaAutoplayOff(IRegistry &registry)
{
    std::unique_ptr<IRegistryKey> handlers = registry.OpenKey(kRootCurrentUser, kAutoplayHandlers);
    if (!handlers)
        return true;
    uint32_t disable = 0;
    if (!ReadRegistryDword(*handlers, "DisableAutoplay", &disable))
        return false;
    if (disable == 1)
        return true;
    std::unique_ptr<IRegistryKey> cdrom = registry.OpenKey(kRootLocalMachine, kCdromService);
    if (!cdrom)
        return true;
    uint32_t autoRun = 0;
    return !ReadRegistryDword(*cdrom, "AutoRun", &autoRun) || autoRun != 1;
}

int GetAutoplayState(IRegistry &registry, int versionClass)
{
    bool off;
    if (versionClass == kOsWin98 || versionClass == kOsWin98Se)
        off = PolicyKeySaysOff(registry, kRootCurrentUser, true);
    else if (versionClass == kOsVista)
        off = VistaAutoplayOff(registry);
    else
        off = PolicyKeySaysOff(registry, kRootLocalMachine, false) || PolicyKeySaysOff(registry, kRootCurrentUser, true);
    if (!off)
        return kAutoplayOn;
    return versionClass >= kOsVista ? kAutoplayOffVistaOrLater : kAutoplayOff;
}
