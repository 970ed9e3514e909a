#include "assistant/engine/tables/ClientTables.h"

#include "common/BoundedCopy.h"

#include <string.h>

#define PROVIDERS "SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\"
#define RUN_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"

// Made by the vendor's installer; fixed data here.
const unsigned char kZanvoProviderSignature[kZanvoSignatureBytes] = {
    0x5a, 0x56, 0x53, 0x49, 0x47, 0x01, 0x00, 0x88, 0x3d, 0x71, 0x0e, 0xa4, 0x52, 0x9b, 0xc6, 0x17,
    0xe0, 0x2f, 0x64, 0xb8, 0x03, 0x9d, 0x41, 0x7a, 0xcc, 0x15, 0x6e, 0xf2, 0x38, 0x87, 0x0b, 0x59,
    0xa6, 0x24, 0xd1, 0x7f, 0x90, 0x4c, 0x1b, 0xe8, 0x36, 0xbd, 0x62, 0x05, 0x9a, 0xf7, 0x2c, 0x83,
    0x58, 0xc1, 0x0d, 0x76, 0xea, 0x31, 0x9f, 0x44, 0xb2, 0x6b, 0x1e, 0xd8, 0x07, 0x95, 0x4a, 0xfc,
    0x23, 0x8e, 0x61, 0xb7, 0x12, 0xcd, 0x70, 0x3b, 0xa9, 0x56, 0xe4, 0x08, 0x9c, 0x47, 0xd3, 0x2a,
    0x85, 0x1f, 0x6c, 0xf0, 0x39, 0xae, 0x54, 0x02, 0xbb, 0x68, 0x13, 0xdf, 0x7c, 0x26, 0x91, 0x4e,
    0xe9, 0x34, 0x8b, 0x60, 0x1a, 0xc5, 0x77, 0x0f, 0xa2, 0x5d, 0xf6, 0x29, 0x94, 0x43, 0xd0, 0x6a,
    0x18, 0xbe, 0x57, 0x03, 0xcf, 0x7e, 0x25, 0x98, 0x4b, 0xe1, 0x3c, 0x86, 0x6f, 0x11, 0xb4, 0x59,
    0x0c, 0xa7, 0x52, 0xfd, 0x28, 0x93, 0x46, 0xd9,
};

#define FILE0(name, group) {name, 0, group, 0, 1, "FILE"}

const FileCheckEntry kSignatureFiles[kSignatureFileCount] = {FILE0("\\iesign.ocx", kGroupComponent)};
const FileCheckEntry kPasswordFiles[kPasswordFileCount] = {
    FILE0("\\PECSP.dll", kGroupComponent),
    FILE0("\\CryptoKit.CertEnrollment.Pro.x86.dll", kGroupComponent),
    FILE0("\\PowerEnterVELDRA.ocx", kGroupComponent),
};
const FileCheckEntry kPrinterFiles[kPrinterFileCount] = {FILE0("\\cfca_printer.dll", kGroupComponent)};
const FileCheckEntry kVendorOneProviderFiles[kVendorOneProviderFileCount] = {
    FILE0("\\vk820aCSP_LCCB.dll", kGroupProvider),
    FILE0("\\vk820aCSP_LCCB.sig", kGroupProvider),
    FILE0("\\vk820aCSP_LCCB_s.dll", kGroupProvider),
};
const FileCheckEntry kVendorTwoProviderFiles[kVendorTwoProviderFileCount] = {
    FILE0("\\OstraCSP20407.dll", kGroupProvider),
    FILE0("\\QKCommand.dll", kGroupProvider),
    FILE0("\\ZVCSPApi.dll", kGroupProvider),
    FILE0("\\OstraCSP20407\\OstraCSP.dll", kGroupProvider),
    FILE0("\\OstraCSP20407\\ZVCheck.dll", kGroupProvider),
    FILE0("\\OstraCSP20407\\OrlinUser_20407.exe", kGroupProvider),
    FILE0("\\OstraCSP20407\\uninst.exe", kGroupProvider),
};

#define KEY_ONLY(sub) {kRootClassesRoot, sub, kRegNone, "", {0}, {0}, 0, 0}

const RegCheckEntry kSignatureRegistry[kSignatureRegCount] = {
    KEY_ONLY("CLSID\\{F3E92562-1B4D-4BFA-B2D4-E9BCABE3B5CE}"),
};
const RegCheckEntry kPasswordRegistry[kPasswordRegCount] = {
    KEY_ONLY("CLSID\\{B51A292F-D352-4548-BBA7-E59682B9E95A}"),
    KEY_ONLY("CLSID\\{3DB59753-AAC5-4BF1-8984-D31CD04EA864}"),
    KEY_ONLY("CLSID\\{184A0E38-7403-47C2-A548-5AA1212D32EB}"),
    KEY_ONLY("CLSID\\{71BB5253-EF2B-4C5B-85FF-1FD6A03C29A6}"),
};
const RegCheckEntry kPrinterRegistry[kPrinterRegCount] = {
    KEY_ONLY("CLSID\\{EFB07BC6-BA22-45CB-88FD-3D969E006023}"),
};

#define VK820 PROVIDERS "LCCB VK820Auto CSP v1.0"
const RegCheckEntry kVendorOneProviderRegistry[kVendorOneProviderRegCount] = {
    {kRootLocalMachine, VK820, kRegSz, "Image Path", {0}, "\\vk820aCSP_LCCB_s.dll", 1, 0},
    {kRootLocalMachine, VK820, kRegDword, "Type", {0}, {1, 0, 0, 0}, 1, 0},
    {kRootLocalMachine, VK820, kRegDword, "SigInFile", {0}, {0, 0, 0, 0}, 1, 0},
};
const RegCheckEntry kVendorOneStartupRegistry[kStartupRegCount] = {
    {kRootLocalMachine, RUN_KEY, kRegSz, "vk820amgr_LCCB", {0}, "\\vk820aCSP_LCCB.dll", 1, 1},
};
const RegCheckEntry kVendorTwoStartupRegistry[kStartupRegCount] = {
    {kRootLocalMachine, RUN_KEY, kRegSz, "OrlinUser_20407", {0}, "\\OstraCSP20407\\OrlinUser_20407.exe", 1, 1},
};

static void SetEntry(RegCheckEntry &e, uint32_t type, const char *name)
{
    memset(&e, 0, sizeof(e));
    e.RootKey = kRootLocalMachine;
    CopyBounded(e.SubKey, sizeof(e.SubKey), PROVIDERS "Zanvo Cryptographic Service Provider");
    e.ValueType = type;
    CopyBounded(e.ValueName, sizeof(e.ValueName), name);
    e.CompareValue = 1;
}

void BuildVendorTwoProviderRegistry(RegCheckEntry (&t)[kVendorTwoProviderRegCount])
{
    SetEntry(t[0], kRegBinary, "Signature");
    memcpy(t[0].Expected, kZanvoProviderSignature, sizeof(kZanvoProviderSignature));
    SetEntry(t[1], kRegSz, "Image Path");
    CopyBounded(reinterpret_cast<char *>(t[1].Expected), sizeof(t[1].Expected), "\\OstraCSP20407\\OstraCSP.dll");
    SetEntry(t[2], kRegSz, "realPath");
    CopyBounded(reinterpret_cast<char *>(t[2].Expected), sizeof(t[2].Expected), "\\OstraCSP20407.dll");
    SetEntry(t[3], kRegDword, "Type");
    t[3].Expected[0] = 1;
}

static const VendorInfo kVendors[] = {
    {1, "LCCB VK820Auto CSP v1.0", "68EE4CE2-1407-4be1-AE5A-A376250F847D", 1, 1, ""},
    {2, "Zanvo Cryptographic Service Provider", "Zanvo application", 0, 2, "_ZV"},
};

const VendorInfo *FindVendor(int vendor)
{
    for (const VendorInfo &v : kVendors)
        if (v.vendor == vendor)
            return &v;
    return nullptr;
}
