#include "sim/core/SimKeys.h"

#include "sim/core/SimTime.h"

#include <stdio.h>
#include <stdlib.h>
static bool Same(const std::string &a, const char *b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = (char)(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = (char)(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return i == a.size() && !b[i];
}

bool ParseNumber(const std::string &text, uint32_t *out)
{
    if (text.empty() || text.size() > 12)
        return false;
    const char *s = text.c_str();
    int base = 10;
    if (text.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s += 2;
    }
    char *end;
    unsigned long long v = strtoull(s, &end, base);
    if (*end || end == s || v > 0xFFFFFFFFull || *s == '-' || *s == '+' || *s == ' ')
        return false;
    *out = (uint32_t)v;
    return true;
}

static bool ParseInt(const std::string &text, int *out)
{
    if (!text.empty() && text[0] == '-') {
        uint32_t v;
        if (!ParseNumber(text.substr(1), &v) || v > 0x7FFFFFFF)
            return false;
        *out = -(int)v;
        return true;
    }
    uint32_t v;
    if (!ParseNumber(text, &v) || v > 0x7FFFFFFF)
        return false;
    *out = (int)v;
    return true;
}

static bool ParseBool(const std::string &text, bool *out)
{
    if (text == "1" || Same(text, "true") || Same(text, "yes")) {
        *out = true;
        return true;
    }
    if (text == "0" || Same(text, "false") || Same(text, "no")) {
        *out = false;
        return true;
    }
    return false;
}

std::string HexEncode(const std::string &bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

bool HexDecode(const std::string &hex, std::string *bytes)
{
    if (hex.size() % 2)
        return false;
    std::string out;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int v = 0;
        for (size_t k = i; k < i + 2; ++k) {
            char c = hex[k];
            int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
            if (d < 0)
                return false;
            v = v * 16 + d;
        }
        out += (char)v;
    }
    *bytes = out;
    return true;
}

static bool Fail(std::string *error, const std::string &text)
{
    if (error)
        *error = text;
    return false;
}

// Hook keys: "fail.<Entry>" with a result code, "delay.<Entry>" with ms,
// "len.<Entry>" with the length the entry reports (config only: len is NULL
// for a reader). An empty value removes the hook.
static int SetHook(HookMap &fail, HookMap &delay, HookMap *len, const std::string &key, const std::string &value,
                   std::string *error)
{
    bool isFail = key.compare(0, 5, "fail.") == 0;
    bool isDelay = key.compare(0, 6, "delay.") == 0;
    bool isLen = len && key.compare(0, 4, "len.") == 0;
    if (!isFail && !isDelay && !isLen)
        return -1;
    std::string entry = key.substr(isFail ? 5 : isDelay ? 6 : 4);
    if (entry.empty() || entry.size() > 64)
        return Fail(error, "hook needs an entry name: " + key) ? 1 : 0;
    HookMap &map = isFail ? fail : isDelay ? delay : *len;
    if (value.empty()) {
        map.erase(entry);
        return 1;
    }
    uint32_t v;
    if (!ParseNumber(value, &v) || (isDelay && v > 600000))
        return Fail(error, "bad value for " + key + ": " + value) ? 1 : 0;
    char text[16];
    snprintf(text, sizeof text, isDelay ? "%u" : "0x%X", v);
    map[entry] = text;
    return 1;
}

struct IntField {
    const char *key;
    int SimConfig::*field;
    int min, max;
};

static const IntField kConfigInts[] = {
    {"MinPinLen", &SimConfig::minPinLen, 0, 128},
    {"MaxPinLen", &SimConfig::maxPinLen, 0, 128},
    {"MsnType", &SimConfig::msnType, -1000, 1000},
    {"SoftKeyBoardMode", &SimConfig::softKeyBoardMode, -1000, 1000},
    {"PinMode", &SimConfig::pinMode, -1000, 1000},
    {"PinModeEx", &SimConfig::pinModeEx, -1000, 1000},
    {"ZWWXKeyPinMode", &SimConfig::zwwxKeyPinMode, -1000, 1000},
    {"UserPinTryNum", &SimConfig::userPinTryNum, 0, 255},
    {"AdmPinTryNum", &SimConfig::admPinTryNum, 0, 255},
    {"TwoRSAType", &SimConfig::twoRsaType, -1000, 1000},
    {"CertExpiredDays", &SimConfig::certExpiredDays, -100000, 100000},
    {"ShowTrayIcon", &SimConfig::showTrayIcon, -1000, 1000},
    {"PinCacheFlag", &SimConfig::pinCacheFlag, -1000, 1000},
};

struct TextField {
    const char *key;
    std::string SimConfig::*field;
    size_t max;
};

static const TextField kConfigTexts[] = {
    {"UserTitle", &SimConfig::userTitle, SIM_MAX_TITLE},
    {"HWName", &SimConfig::hwName, SIM_MAX_TITLE},
    {"MsnTitle", &SimConfig::msnTitle, SIM_MAX_TITLE},
    {"AdmTitle", &SimConfig::admTitle, SIM_MAX_TITLE},
    {"DefaultHWLabel", &SimConfig::defaultHwLabel, SIM_MAX_LABEL},
    {"DefaultUserPin", &SimConfig::defaultUserPin, SIM_MAX_TITLE},
    {"DefaultAdmPin", &SimConfig::defaultAdmPin, SIM_MAX_TITLE},
    {"Language", &SimConfig::language, 15},
    {"CertIssuerNameList", &SimConfig::certIssuerNameList, 1023},
};

bool SetConfigKey(SimConfig &c, const std::string &key, const std::string &value, std::string *error)
{
    int hook = SetHook(c.fail, c.delay, &c.len, key, value, error);
    if (hook >= 0)
        return hook == 1;
    for (const TextField &f : kConfigTexts)
        if (Same(key, f.key)) {
            c.*f.field = BoundText(value, f.max);
            return true;
        }
    for (const IntField &f : kConfigInts)
        if (Same(key, f.key)) {
            int v;
            if (!ParseInt(value, &v) || v < f.min || v > f.max)
                return Fail(error, "bad value for " + key + ": " + value);
            c.*f.field = v;
            return true;
        }
    uint32_t u;
    if (Same(key, "RegCertInfoLen") || Same(key, "VerifyPINTime")) {
        if (!ParseNumber(value, &u) || u > 0x100000)
            return Fail(error, "bad value for " + key + ": " + value);
        (Same(key, "RegCertInfoLen") ? c.regCertInfoLen : c.verifyPinTime) = u;
        return true;
    }
    if (Same(key, "PCodeCheck") || Same(key, "LogThreads")) {
        bool b;
        if (!ParseBool(value, &b))
            return Fail(error, "bad value for " + key + ": " + value);
        (Same(key, "PCodeCheck") ? c.pcodeCheck : c.logThreads) = b;
        return true;
    }
    return Fail(error, "unknown config key: " + key);
}

KeyValues ConfigKeyValues(const SimConfig &c)
{
    KeyValues kv;
    char n[24];
    for (const TextField &f : kConfigTexts)
        kv.push_back({f.key, c.*f.field});
    for (const IntField &f : kConfigInts) {
        snprintf(n, sizeof n, "%d", c.*f.field);
        kv.push_back({f.key, n});
    }
    snprintf(n, sizeof n, "%u", c.regCertInfoLen);
    kv.push_back({"RegCertInfoLen", n});
    snprintf(n, sizeof n, "%u", c.verifyPinTime);
    kv.push_back({"VerifyPINTime", n});
    kv.push_back({"PCodeCheck", c.pcodeCheck ? "1" : "0"});
    kv.push_back({"LogThreads", c.logThreads ? "1" : "0"});
    for (const auto &h : c.fail)
        kv.push_back({"fail." + h.first, h.second});
    for (const auto &h : c.delay)
        kv.push_back({"delay." + h.first, h.second});
    for (const auto &h : c.len)
        kv.push_back({"len." + h.first, h.second});
    return kv;
}

static const char *KindName(CertKind kind)
{
    switch (kind) {
    case CERT_BUILT: return "cert";
    case CERT_GARBAGE: return "garbage";
    case CERT_TRUNCATED: return "truncated";
    default: return "none";
    }
}

// Makes the certificate exist (a built one with default names and a year's
// validity from now) and marks its key in the container.
static void EnsureCert(Container &c, CertSpec &cert, uint32_t keyBit, int64_t now)
{
    if (cert.kind == CERT_NONE)
        cert.kind = CERT_BUILT;
    c.inUse = true;
    c.keyFlags |= keyBit;
    if (cert.subjectCn.empty())
        cert.subjectCn = "张三";
    if (cert.issuerCn.empty())
        cert.issuerCn = "岚川银行CA";
    if (cert.serialHex.empty())
        cert.serialHex = "01";
    if (cert.notAfter == 0) {
        cert.notBefore = now;
        cert.notAfter = now + 365 * 86400;
    }
}

static bool SetCertKey(Container &c, CertSpec &cert, uint32_t keyBit, const std::string &field,
                       const std::string &value, int64_t now, std::string *error)
{
    if (field.empty()) {
        CertKind kind;
        if (value == "none") {
            cert.kind = CERT_NONE;
            return true;
        }
        if (value == "cert")
            kind = CERT_BUILT;
        else if (value == "garbage")
            kind = CERT_GARBAGE;
        else if (value == "truncated")
            kind = CERT_TRUNCATED;
        else
            return Fail(error, "certificate must be none, cert, garbage or truncated: " + value);
        EnsureCert(c, cert, keyBit, now);
        cert.kind = kind;
        return true;
    }
    if (field == ".cn" || field == ".issuer") {
        (field == ".cn" ? cert.subjectCn : cert.issuerCn) = BoundText(value, SIM_MAX_CN);
        return true;
    }
    if (field == ".serial") {
        std::string bytes;
        if (value.size() > 40 || !HexDecode(value.size() % 2 ? "0" + value : value, &bytes))
            return Fail(error, "serial must be up to 40 hex digits: " + value);
        cert.serialHex = value;
        return true;
    }
    if (field == ".notbefore" || field == ".notafter") {
        int64_t t;
        if (!ParseTime(value, now, &t))
            return Fail(error, "bad time: " + value);
        if (cert.kind == CERT_NONE)
            EnsureCert(c, cert, keyBit, now);
        (field == ".notbefore" ? cert.notBefore : cert.notAfter) = t;
        return true;
    }
    return Fail(error, "unknown certificate key: " + field);
}

static bool SetContainerKey(Container &c, const std::string &field, const std::string &value, int64_t now,
                            std::string *error)
{
    if (field == "inuse") {
        bool b;
        if (!ParseBool(value, &b))
            return Fail(error, "bad value for inuse: " + value);
        c.inUse = b;
        return true;
    }
    if (field == "name") {
        c.name = BoundText(value, SIM_MAX_CONTAINER);
        return true;
    }
    if (field == "keyflags") {
        uint32_t v;
        if (!ParseNumber(value, &v))
            return Fail(error, "bad value for keyflags: " + value);
        c.keyFlags = v;
        return true;
    }
    if (field.compare(0, 4, "exch") == 0)
        return SetCertKey(c, c.exchange, 1, field.substr(4), value, now, error);
    if (field.compare(0, 3, "sig") == 0)
        return SetCertKey(c, c.signature, 2, field.substr(3), value, now, error);
    return Fail(error, "unknown container key: " + field);
}

bool SetReaderKey(Reader &r, const std::string &key, const std::string &value, int64_t now, std::string *error)
{
    int hook = SetHook(r.fail, r.delay, NULL, key, value, error);
    if (hook >= 0)
        return hook == 1;
    if (key.size() > 3 && key[0] == 'c' && key[1] >= '0' && key[1] < '0' + SIM_CONTAINERS && key[2] == '.')
        return SetContainerKey(r.containers[key[1] - '0'], key.substr(3), value, now, error);

    struct Text {
        const char *key;
        std::string Reader::*field;
        size_t max;
    };
    static const Text texts[] = {
        {"label", &Reader::label, SIM_MAX_LABEL},
        {"serial", &Reader::serial, SIM_SERIAL_BYTES},
        {"pin", &Reader::userPin, SIM_MAX_PIN},
        {"cid", &Reader::customerId, SIM_MAX_CID},
    };
    for (const Text &t : texts)
        if (Same(key, t.key)) {
            r.*t.field = BoundText(value, t.max);
            return true;
        }
    if (Same(key, "name")) {
        std::string name = BoundText(value, SIM_MAX_READER);
        if (name.empty())
            return Fail(error, "a reader name cannot be empty");
        r.name = name;
        return true;
    }
    struct Number {
        const char *key;
        uint32_t Reader::*field;
        uint32_t max;
    };
    static const Number numbers[] = {
        {"appstate", &Reader::appState, 0xFFFFFFFFu}, {"devtype", &Reader::devType, 0xFFFFFFFFu},
        {"totalsize", &Reader::totalSize, 0xFFFFFFFFu}, {"freesize", &Reader::freeSize, 0xFFFFFFFFu},
        {"retries", &Reader::retries, 255}, {"maxretries", &Reader::maxRetries, 255},
    };
    for (const Number &n : numbers)
        if (Same(key, n.key)) {
            uint32_t v;
            if (!ParseNumber(value, &v) || v > n.max)
                return Fail(error, "bad value for " + key + ": " + value);
            r.*n.field = v;
            return true;
        }
    struct Flag {
        const char *key;
        bool Reader::*field;
    };
    static const Flag flags[] = {{"present", &Reader::present}, {"locked", &Reader::locked}, {"pcode", &Reader::pcodeMatches}};
    for (const Flag &f : flags)
        if (Same(key, f.key)) {
            bool b;
            if (!ParseBool(value, &b))
                return Fail(error, "bad value for " + key + ": " + value);
            r.*f.field = b;
            return true;
        }
    if (Same(key, "pintag")) {
        if (value == "absent") {
            r.pinTagPresent = false;
            r.pinTag.clear();
            return true;
        }
        std::string bytes;
        if (!HexDecode(value, &bytes) || bytes.size() > SIM_MAX_FILE)
            return Fail(error, "pintag must be \"absent\" or up to 260 hex bytes: " + value);
        r.pinTagPresent = true;
        r.pinTag = bytes;
        return true;
    }
    return Fail(error, "unknown reader key: " + key);
}

static void AddCert(KeyValues &kv, const std::string &prefix, const CertSpec &cert)
{
    kv.push_back({prefix, KindName(cert.kind)});
    if (cert.kind == CERT_NONE)
        return;
    kv.push_back({prefix + ".cn", cert.subjectCn});
    kv.push_back({prefix + ".issuer", cert.issuerCn});
    kv.push_back({prefix + ".serial", cert.serialHex});
    kv.push_back({prefix + ".notbefore", FormatTime(cert.notBefore)});
    kv.push_back({prefix + ".notafter", FormatTime(cert.notAfter)});
}

KeyValues ReaderKeyValues(const Reader &r)
{
    KeyValues kv;
    char n[24];
    auto num = [&](const char *key, uint32_t v) {
        snprintf(n, sizeof n, "%u", v);
        kv.push_back({key, n});
    };
    kv.push_back({"name", r.name});
    kv.push_back({"present", r.present ? "1" : "0"});
    snprintf(n, sizeof n, "0x%X", r.appState);
    kv.push_back({"appstate", n});
    kv.push_back({"label", r.label});
    kv.push_back({"serial", r.serial});
    num("devtype", r.devType);
    num("totalsize", r.totalSize);
    num("freesize", r.freeSize);
    kv.push_back({"pin", r.userPin});
    num("retries", r.retries);
    num("maxretries", r.maxRetries);
    kv.push_back({"locked", r.locked ? "1" : "0"});
    kv.push_back({"pintag", r.pinTagPresent ? HexEncode(r.pinTag) : "absent"});
    kv.push_back({"pcode", r.pcodeMatches ? "1" : "0"});
    kv.push_back({"cid", r.customerId});
    for (int i = 0; i < SIM_CONTAINERS; ++i) {
        const Container &c = r.containers[i];
        std::string p = "c" + std::to_string(i) + ".";
        // Certificates first: naming one marks its container in use, and the
        // explicit values below must win when the file is read back.
        kv.push_back({p + "name", c.name});
        AddCert(kv, p + "exch", c.exchange);
        AddCert(kv, p + "sig", c.signature);
        kv.push_back({p + "inuse", c.inUse ? "1" : "0"});
        num((p + "keyflags").c_str(), c.keyFlags);
    }
    for (const auto &h : r.fail)
        kv.push_back({"fail." + h.first, h.second});
    for (const auto &h : r.delay)
        kv.push_back({"delay." + h.first, h.second});
    return kv;
}
