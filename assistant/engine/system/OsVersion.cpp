#include "assistant/engine/system/OsVersion.h"

#include <stdio.h>

enum : uint16_t {
    kSuiteEnterprise = 0x2,
    kSuiteDatacenter = 0x80,
    kSuitePersonal = 0x200,
    kSuiteBlade = 0x400,
    kSuiteStorageServer = 0x2000,
    kSuiteComputeServer = 0x4000,
};

static char ServicePackLetter(const OsVersionRecord &r)
{
    return r.servicePack.size() > 1 ? r.servicePack[1] : '\0';
}

int ClassifyOsVersion(const OsVersionRecord &r)
{
    if (!r.valid)
        return kOsUnknown;
    switch (r.platformId) {
    case kPlatformWin32s:
        return kOsWin32s;
    case kPlatformWindows: {
        char letter = ServicePackLetter(r);
        if (r.major == 4 && r.minor == 0)
            return (letter == 'B' || letter == 'C') ? kOsWin95Osr2 : kOsWin95;
        if (r.major == 4 && r.minor == 10)
            return letter == 'A' ? kOsWin98Se : kOsWin98;
        if (r.major == 4 && r.minor == 90)
            return kOsWinMe;
        return kOsUnknown;
    }
    case kPlatformNt:
        if (r.major <= 4)
            return kOsNt4;
        if (r.major == 5)
            return r.minor == 0 ? kOsWin2000 : r.minor == 1 ? kOsWinXp : kOsWin2003;
        if (r.major == 6 && r.minor == 0)
            return kOsVista;
        return kOsWin7;
    default:
        return kOsUnknown;
    }
}

static const char *ClassName(int versionClass, const OsVersionRecord &r)
{
    switch (versionClass) {
    case kOsWin32s: return "Microsoft Win32s";
    case kOsWin95: return "Microsoft Windows 95";
    case kOsWin95Osr2: return "Microsoft Windows 95 OSR2";
    case kOsWin98: return "Microsoft Windows 98";
    case kOsWin98Se: return "Microsoft Windows 98 SE";
    case kOsWinMe: return "Microsoft Windows Me";
    case kOsNt4: return "Microsoft Windows NT";
    case kOsWin2000: return "Microsoft Windows 2000";
    case kOsWinXp: return "Microsoft Windows XP";
    case kOsWin2003: return "Microsoft Windows Server 2003";
    case kOsVista: return "Microsoft Windows Vista";
    case kOsWin7:
        return (r.major == 6 && r.minor == 1) ? "Microsoft Windows seven"
                                              : "Unknown Windows version, but above Windows 7";
    default: return "Unknown";
    }
}

static const char *VistaEditionSuffix(uint32_t productInfo)
{
    switch (productInfo) {
    case 6: return " Business";
    case 1: return " Ultimate";
    case 19: return " Home Server";
    case 2: return " Home Basic";
    case 3: return " Home Premium";
    case 4: return " Enterprise";
    default: return nullptr;
    }
}

static std::string NtSuffix(const OsVersionRecord &r, const std::string &productOptionsType)
{
    if (!r.extended) {
        if (productOptionsType == "WINNT")
            return " Professional";
        if (productOptionsType == "LANMANNT")
            return " Server";
        if (productOptionsType == "SERVERNT")
            return " Advanced Server";
        return std::string();
    }
    if (r.major >= 6) {
        if (const char *edition = VistaEditionSuffix(r.productInfo))
            return edition;
    }
    if (r.productType == kProductWorkstation)
        return (r.suiteMask & kSuitePersonal) ? " Personal" : " Professional";
    if (r.suiteMask & kSuiteDatacenter)
        return " DataCenter Server";
    if (r.suiteMask & kSuiteEnterprise)
        return " Advanced Server";
    return " Server";
}

OSVersion::OSVersion(const OsVersionRecord &record, const std::string &productOptionsType)
    : m_class(ClassifyOsVersion(record))
{
    m_name = ClassName(m_class, record);
    if (!record.valid)
        return;
    char text[512];
    if (record.platformId == kPlatformNt) {
        m_name += NtSuffix(record, productOptionsType);
        snprintf(text, sizeof(text), "Version %u.%u %s (Build %u)", record.major, record.minor,
                 record.servicePack.c_str(), record.build);
    } else {
        snprintf(text, sizeof(text), "Version %u.%u Build %u %s", record.major, record.minor,
                 record.build & 0xFFFF, record.servicePack.c_str());
    }
    m_version = text;
}

static const char *EditionName(uint32_t type)
{
    switch (type) {
    case 1: return "Ultimate Edition";
    case 2: return "Home Basic Edition";
    case 3: return "Home Premium Edition";
    case 4:
    case 10: return "Enterprise Edition";
    case 6: return "Business Edition";
    case 7: return "Standard Edition";
    case 8: return "Datacenter Edition";
    case 9: return "Small Business Server";
    case 11: return "Starter Edition";
    case 12: return "Datacenter Edition (core installation)";
    case 13: return "Standard Edition (core installation)";
    case 14: return "Enterprise Edition (core installation)";
    case 15: return "Enterprise Edition for Itanium-based Systems";
    case 17: return "Web Server Edition";
    case 18: return "Cluster Server Edition";
    case 25: return "Small Business Server Premium Edition";
    default: return "Unknown";
    }
}

static std::string Server2003Name(const OsVersionRecord &r)
{
    bool workstation = r.productType == kProductWorkstation;
    std::string name;
    if (r.serverR2)
        name = "Windows Server 2003 R2, ";
    else if (r.suiteMask == kSuiteStorageServer)
        name = "Windows Storage Server 2003";
    else if (workstation && r.architecture == kArchAmd64)
        return "Windows XP Professional x64 Edition";
    else
        name = "Windows Server 2003, ";
    if (workstation)
        return name;
    if (r.architecture == kArchIa64) {
        if (r.suiteMask & kSuiteDatacenter)
            name += "Datacenter Edition for Itanium-based Systems";
        else if (r.suiteMask & kSuiteEnterprise)
            name += "Enterprise Edition for Itanium-based Systems";
    } else if (r.architecture == kArchAmd64) {
        if (r.suiteMask & kSuiteDatacenter)
            name += "Datacenter x64 Edition";
        else if (r.suiteMask & kSuiteEnterprise)
            name += "Enterprise x64 Edition";
        else
            name += "Standard x64 Edition";
    } else if (r.suiteMask & kSuiteComputeServer) {
        name += "Compute Cluster Edition";
    } else if (r.suiteMask & kSuiteDatacenter) {
        name += "Datacenter Edition";
    } else if (r.suiteMask & kSuiteEnterprise) {
        name += "Enterprise Edition";
    } else if (r.suiteMask & kSuiteBlade) {
        name += "Web Edition";
    } else {
        name += "Standard Edition";
    }
    return name;
}

std::string ComposeOsName(const OsVersionRecord &r, const OSVersion &fallback)
{
    // Versions after 6.x have no composed name; the fallback at least says so.
    if (!r.valid || !r.extended || r.platformId != kPlatformNt || r.major < 5 || r.major > 6)
        return fallback.FullName();

    std::string name = "Microsoft ";
    if (r.major == 6) {
        if (r.minor == 0)
            name += r.productType == kProductWorkstation ? "Windows Vista " : "Windows Server 2008 ";
        else if (r.minor == 1)
            name += "Windows 7 ";
        name += EditionName(r.productInfo);
        if (r.architecture == kArchAmd64)
            name += ", 64-bit";
        else if (r.architecture == kArchX86)
            name += ", 32-bit";
    } else if (r.minor == 2) {
        name += Server2003Name(r);
    } else if (r.minor == 1) {
        name += "Windows XP ";
        name += (r.suiteMask & kSuitePersonal) ? "Home Edition" : "Professional";
    } else if (r.minor == 0) {
        name += "Windows 2000 ";
        if (r.productType == kProductWorkstation)
            name += "Professional";
        else if (r.suiteMask & kSuiteDatacenter)
            name += "Datacenter Server";
        else if (r.suiteMask & kSuiteEnterprise)
            name += "Advanced Server";
        else
            name += "Server";
    }
    if (!r.servicePack.empty())
        name += " " + r.servicePack;
    char build[32];
    snprintf(build, sizeof(build), " (build %u)", r.build);
    return name + build;
}

const char *RoleWord(int role)
{
    switch (role) {
    case 0:
    case 1: return "Administrator";
    case 2: return "User";
    case 3: return "Guest";
    default: return "Guest";
    }
}

std::string ComposeBrowserText(bool versionRead, const std::string &version)
{
    return versionRead ? "IE " + version : std::string("unknow");
}

std::string ComposeOsText(const std::string &osName, int role, const std::string &browserText)
{
    return std::string("操作系统版本:") + osName + ";" + "用户:" + RoleWord(role) + ";" + "IE版本:" + browserText;
}
