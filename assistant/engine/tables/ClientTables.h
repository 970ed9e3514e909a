// The fixed registry and file tables of the client check.
#pragma once

#include "assistant/engine/tables/FileTableCheck.h"
#include "assistant/engine/tables/RegistryTableCheck.h"

#include <vector>

enum {
    kSignatureFileCount = 1,
    kPasswordFileCount = 3,
    kPrinterFileCount = 1,
    kVendorOneProviderFileCount = 3,
    kVendorTwoProviderFileCount = 7,
    kSignatureRegCount = 1,
    kPasswordRegCount = 4,
    kPrinterRegCount = 1,
    kVendorOneProviderRegCount = 3,
    kVendorTwoProviderRegCount = 4,
    kStartupRegCount = 1,
};

// The first bytes of the second vendor's provider "Signature" value.
enum { kZanvoSignatureBytes = 136 };
extern const unsigned char kZanvoProviderSignature[kZanvoSignatureBytes];

extern const FileCheckEntry kSignatureFiles[kSignatureFileCount];
extern const FileCheckEntry kPasswordFiles[kPasswordFileCount];
extern const FileCheckEntry kPrinterFiles[kPrinterFileCount];
extern const FileCheckEntry kVendorOneProviderFiles[kVendorOneProviderFileCount];
extern const FileCheckEntry kVendorTwoProviderFiles[kVendorTwoProviderFileCount];

extern const RegCheckEntry kSignatureRegistry[kSignatureRegCount];
extern const RegCheckEntry kPasswordRegistry[kPasswordRegCount];
extern const RegCheckEntry kPrinterRegistry[kPrinterRegCount];
extern const RegCheckEntry kVendorOneProviderRegistry[kVendorOneProviderRegCount];
extern const RegCheckEntry kVendorOneStartupRegistry[kStartupRegCount];
extern const RegCheckEntry kVendorTwoStartupRegistry[kStartupRegCount];
// The second vendor's table holds the signature blob, so it is built.
void BuildVendorTwoProviderRegistry(RegCheckEntry (&table)[kVendorTwoProviderRegCount]);

// What differs between the two vendors.
struct VendorInfo {
    int vendor;
    const char *cspName;
    const char *uninstallKey;   // under ...\CurrentVersion\Uninstall\ .
    int vendorFlag;             // and folder set of its tables
    int versionKind;
    const char *suffix;         // "" or "_ZV"
};

// Null for a vendor other than 1 and 2.
const VendorInfo *FindVendor(int vendor);
