// The system's version record, as the platform layer reads it.
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
