#include "sim/core/SimState.h"

#include "common/Gbk.h"

#include <stdio.h>

enum { SECONDS_PER_YEAR = 365 * 86400 };

SimConfig DefaultConfig()
{
    SimConfig c;
    c.userTitle = "朔岩USBKey管理工具";
    c.hwName = "朔岩USBKey";
    c.msnTitle = "朔岩USBKey提示";
    c.admTitle = "朔岩USBKey管理员工具";
    c.defaultHwLabel = "朔岩USBKey";
    c.defaultUserPin = "123456";
    c.defaultAdmPin = "88888888";
    c.certIssuerNameList = "岚川银行CA";
    return c;
}

Reader DefaultReader(const SimConfig &config, size_t index, int64_t now)
{
    Reader r;
    char text[64];
    snprintf(text, sizeof text, "ZV Reader %u", (unsigned)index);
    r.name = text;
    r.label = config.defaultHwLabel;
    snprintf(text, sizeof text, "ZV2026%010u", (unsigned)(index + 1));
    r.serial = text;
    r.userPin = config.defaultUserPin;
    r.retries = r.maxRetries = config.userPinTryNum > 0 ? (uint32_t)config.userPinTryNum : 6;
    Container &c = r.containers[0];
    c.inUse = true;
    snprintf(text, sizeof text, "ZVKey-Container-%u", (unsigned)index);
    c.name = text;
    c.keyFlags = 2;
    c.signature.kind = CERT_BUILT;
    c.signature.subjectCn = "张三";
    c.signature.issuerCn = "岚川银行CA";
    snprintf(text, sizeof text, "1A2B%04X", (unsigned)(index + 1));
    c.signature.serialHex = text;
    c.signature.notBefore = now;
    c.signature.notAfter = now + SECONDS_PER_YEAR;
    return r;
}

SimState FreshState(size_t readerCount, int64_t now)
{
    SimState s;
    s.config = DefaultConfig();
    if (readerCount > SIM_MAX_READERS)
        readerCount = SIM_MAX_READERS;
    for (size_t i = 0; i < readerCount; ++i)
        s.readers.push_back(DefaultReader(s.config, i, now));
    return s;
}

int FindReader(const SimState &state, const std::string &name)
{
    for (size_t i = 0; i < state.readers.size(); ++i)
        if (state.readers[i].name == name)
            return (int)i;
    return -1;
}

std::string BoundText(const std::string &text, size_t maxBytes)
{
    size_t end = text.find('\0');
    std::string t = end == std::string::npos ? text : text.substr(0, end);
    if (t.size() <= maxBytes)
        return t;
    return t.substr(0, GbkSafeCut(t.c_str(), maxBytes));
}
