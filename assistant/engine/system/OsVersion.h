// Operating-system identification from a version record.
#pragma once

#include <stdint.h>

#include <string>

enum : uint32_t { kPlatformWin32s = 0, kPlatformWindows = 1, kPlatformNt = 2 };
enum : uint8_t { kProductWorkstation = 1, kProductDomainController = 2, kProductServer = 3 };
enum : uint16_t { kArchX86 = 0, kArchIa64 = 6, kArchAmd64 = 9 };

// Everything the system tells about its version, gathered by the platform layer.
struct OsVersionRecord {
    bool valid = false;       // a version record could be read at all
    bool extended = false;    // it was the extended record
    uint32_t platformId = 0;
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    std::string servicePack;  // the service-pack text, may be empty
    uint16_t suiteMask = 0;
    uint8_t productType = 0;
    uint16_t architecture = 0xFFFF;  // native processor architecture
    uint32_t productInfo = 0;        // edition type, 0 when it cannot be asked
    bool serverR2 = false;
};

enum OsVersionClass {
    kOsUnknown = 0,
    kOsWin32s = 1,
    kOsNt4 = 2,
    kOsWin95 = 3,
    kOsWin95Osr2 = 4,
    kOsWin98 = 5,
    kOsWin98Se = 6,
    kOsWinMe = 7,
    kOsWin2000 = 8,
    kOsWinXp = 9,
    kOsWin2003 = 10,
    kOsVista = 11,
    kOsWin7 = 12,  // and anything later
};

class OSVersion {
public:
    // productOptionsType: "ProductType" of the ProductOptions key, used only
    // for NT systems that give no extended record.
    OSVersion(const OsVersionRecord &record, const std::string &productOptionsType);
    virtual ~OSVersion() {}

    int VersionClass() const { return m_class; }
    std::string FullName() const { return m_name + m_version; }

private:
    int m_class;
    std::string m_name;
    std::string m_version;
};

int ClassifyOsVersion(const OsVersionRecord &record);

// "Microsoft Windows 7 Ultimate Edition, 64-bit Service Pack 1 (build 7601)" style name.
std::string ComposeOsName(const OsVersionRecord &record, const OSVersion &fallback);

const char *RoleWord(int role);
std::string ComposeBrowserText(bool versionRead, const std::string &version);
std::string ComposeOsText(const std::string &osName, int role, const std::string &browserText);
