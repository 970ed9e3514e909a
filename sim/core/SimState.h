// The whole state of the token stand-ins: global configuration of the CSP
// control library and the readers with the token each may hold.
#pragma once

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

// Results of our own beyond the ones the programs tell apart.
enum : uint32_t {
    SIM_ERR_GENERIC = 0x88000001u,
    SIM_ERR_BAD_ARGUMENT = 0x88000002u,
    SIM_ERR_BUFFER_TOO_SMALL = 0x88000010u,
    SIM_ERR_NO_TOKEN = 0x88000030u,
    SIM_ERR_NO_READER = 0x88000031u,
    SIM_ERR_BAD_HANDLE = 0x88000032u,
    SIM_ERR_NO_CERT = 0x88000033u,
    SIM_ERR_FILE_EXISTS = 0x88000038u,
};

// Field limits in bytes, without the terminating NUL.
enum {
    SIM_MAX_TITLE = 63,     // config texts read into 64-byte buffers
    SIM_MAX_READER = 254,
    SIM_MAX_LABEL = 32,
    SIM_SERIAL_BYTES = 17,
    SIM_MAX_PIN = 128,
    SIM_MAX_CID = 255,
    SIM_MAX_CONTAINER = 255,
    SIM_MAX_CN = 128,
    SIM_MAX_FILE = 260,     // the PIN-tag file's size as the program creates it
    SIM_MAX_READERS = 16,
    SIM_CONTAINERS = 3,
};

enum CertKind { CERT_NONE, CERT_BUILT, CERT_GARBAGE, CERT_TRUNCATED };

// A certificate is kept as its description; the DER bytes are built from it
// on every read, so the same description always gives the same bytes.
struct CertSpec {
    CertKind kind = CERT_NONE;
    std::string subjectCn;
    std::string issuerCn;
    std::string serialHex;
    int64_t notBefore = 0; // seconds since 1970-01-01 UTC
    int64_t notAfter = 0;
};

struct Container {
    bool inUse = false;
    std::string name;
    uint32_t keyFlags = 0; // bit 0 exchange key, bit 1 signature key
    CertSpec exchange;
    CertSpec signature;
};

typedef std::map<std::string, std::string> HookMap; // entry name -> value text

struct Reader {
    std::string name;
    bool present = false;
    uint32_t appState = 1;
    std::string label;
    std::string serial; // up to 17 bytes, handed out zero-padded
    uint32_t devType = 1;
    uint32_t totalSize = 65536;
    uint32_t freeSize = 40960;
    std::string userPin;
    uint32_t retries = 6;
    uint32_t maxRetries = 6;
    bool locked = false;
    bool pinTagPresent = true;
    std::string pinTag = std::string(1, '\x01');
    bool pcodeMatches = true;
    std::string customerId;
    Container containers[SIM_CONTAINERS];
    HookMap fail;
    HookMap delay;
};

struct SimConfig {
    std::string userTitle, hwName, msnTitle, admTitle, defaultHwLabel;
    int minPinLen = 6, maxPinLen = 16;
    int msnType = 1;
    uint32_t regCertInfoLen = 1024;
    uint32_t verifyPinTime = 30000; // ms
    int softKeyBoardMode = 1;
    int pinMode = 0, pinModeEx = 0, zwwxKeyPinMode = 0;
    std::string defaultUserPin, defaultAdmPin;
    int userPinTryNum = 6, admPinTryNum = 6;
    int twoRsaType = 1;
    int certExpiredDays = 30;
    bool pcodeCheck = false;
    bool logThreads = false; // each call-log line ends with the calling thread's id
    std::string language = "0804";
    int showTrayIcon = 1;
    std::string certIssuerNameList;
    int pinCacheFlag = 0;
    HookMap fail;
    HookMap delay;
    HookMap len; // length reported by an entry, whatever the state says
};

struct SimState {
    SimConfig config;
    std::vector<Reader> readers;
    std::vector<std::string> warnings; // what could not be read, for "show"
};

// Default configuration texts and values.
SimConfig DefaultConfig();

// A reader holding (when inserted) an ordinary customer token: application
// state 1, PIN-tag 0x01, one signature certificate valid from now for a year.
Reader DefaultReader(const SimConfig &config, size_t index, int64_t now);

// A fresh state with readerCount empty readers named "ZV Reader <i>".
SimState FreshState(size_t readerCount, int64_t now);

// Index of the reader with that exact name, or -1.
int FindReader(const SimState &state, const std::string &name);

// Bounded GBK-safe copy into a std::string.
std::string BoundText(const std::string &text, size_t maxBytes);
