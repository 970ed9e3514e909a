// Operating-system identification from a version record.
#pragma once

#include "assistant/engine/platform/OsVersionRecord.h"

#include <string>

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
