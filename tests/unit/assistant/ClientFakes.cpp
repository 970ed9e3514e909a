#include "tests/unit/assistant/ClientFakes.h"

#include "assistant/engine/tables/ClientTables.h"

static const char kProviders[] = "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\";
static const char kVersions[] = "SOFTWARE\\Kessaline\\VK820Auto_LCCBBank";
static const char kSys[] = "C:\\windows\\system32";

void SeedInstalledClient(FakeRegistry &reg, FakeMachine &m, int vendor)
{
    std::string sys = kSys;
    reg.SetString(kRootLocalMachine, "SOFTWARE\\Microsoft\\windows\\CurrentVersion", "ProgramFilesDir", "C:\\Program Files");
    for (const char *clsid : {"F3E92562-1B4D-4BFA-B2D4-E9BCABE3B5CE", "B51A292F-D352-4548-BBA7-E59682B9E95A",
                              "3DB59753-AAC5-4BF1-8984-D31CD04EA864", "184A0E38-7403-47C2-A548-5AA1212D32EB",
                              "71BB5253-EF2B-4C5B-85FF-1FD6A03C29A6", "EFB07BC6-BA22-45CB-88FD-3D969E006023"})
        reg.AddKey(kRootClassesRoot, std::string("CLSID\\{") + clsid + "}");
    for (const char *f : {"iesign.ocx", "PECSP.dll", "CryptoKit.CertEnrollment.Pro.x86.dll", "PowerEnterVELDRA.ocx",
                          "cfca_printer.dll"})
        m.Put(sys + "\\" + f);
    for (const char *v : {"Version", "ZVVer", "PSVer", "SIGNVer", "PRINTERVer"})
        reg.SetString(kRootLocalMachine, kVersions, v, "1.0.12.1218");
    m.server[UpdateUrl("Version.ini")] =
        "[SOVAN]VER=10121218;[ZVVer]VER=10121218;[PSVer]VER=10121218;[SIGNVer]VER=10121218;[PRINTERVer]VER=10121218;";
    const char *run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    const char *uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    if (vendor == 1) {
        std::string key = std::string(kProviders) + "LCCB VK820Auto CSP v1.0";
        reg.SetString(kRootLocalMachine, key, "Image Path", sys + "\\vk820aCSP_LCCB_s.dll");
        reg.SetDword(kRootLocalMachine, key, "Type", 1);
        reg.SetDword(kRootLocalMachine, key, "SigInFile", 0);
        reg.SetString(kRootLocalMachine, run, "vk820amgr_LCCB", "control.exe \"" + sys + "\\vk820aCSP_LCCB.dll\"");
        reg.AddKey(kRootLocalMachine, std::string(uninstall) + "68EE4CE2-1407-4be1-AE5A-A376250F847D");
        for (const char *f : {"vk820aCSP_LCCB.dll", "vk820aCSP_LCCB.sig", "vk820aCSP_LCCB_s.dll"})
            m.Put(sys + "\\" + f);
        m.mutexes.insert("68EE4CE2-1407-4be1-AE5A-A376250F847DMgrSingleInstance");
    } else {
        std::string key = std::string(kProviders) + "Zanvo Cryptographic Service Provider";
        reg.SetBinary(kRootLocalMachine, key, "Signature",
                      std::vector<unsigned char>(kZanvoProviderSignature, kZanvoProviderSignature + kZanvoSignatureBytes));
        reg.SetString(kRootLocalMachine, key, "Image Path", sys + "\\OstraCSP20407\\OstraCSP.dll");
        reg.SetString(kRootLocalMachine, key, "realPath", sys + "\\OstraCSP20407.dll");
        reg.SetDword(kRootLocalMachine, key, "Type", 1);
        reg.SetString(kRootLocalMachine, run, "OrlinUser_20407", sys + "\\OstraCSP20407\\OrlinUser_20407.exe");
        reg.AddKey(kRootLocalMachine, std::string(uninstall) + "Zanvo application");
        for (const char *f : {"OstraCSP20407.dll", "QKCommand.dll", "ZVCSPApi.dll", "OstraCSP20407\\OstraCSP.dll",
                              "OstraCSP20407\\ZVCheck.dll", "OstraCSP20407\\OrlinUser_20407.exe", "OstraCSP20407\\uninst.exe"})
            m.Put(sys + "\\" + f);
    }
}
