#include "assistant/engine/EngineAddresses.h"

const char kBankDomain[] = "lanchuanbank.com.cn";
const char kEbankDomain[] = "lanchuan-ebank.com.cn";
const char kCaDomain[] = "lccb-ca.com.cn";
const char kProbeUrl[] = "http://www.163.com/";
const char kUpdateHost[] = "update.lanchuanbank.com.cn";

static std::string Pick(const char *(*lookup)(const char *), const char *name, const char *fallback)
{
    const char *value = lookup ? lookup(name) : nullptr;
    return (value && *value) ? std::string(value) : std::string(fallback);
}

EngineAddresses LoadEngineAddresses(const char *(*lookup)(const char *name))
{
    EngineAddresses a;
    a.bankDomain = Pick(lookup, "ORVANE_BANK_DOMAIN", kBankDomain);
    a.ebankDomain = Pick(lookup, "ORVANE_EBANK_DOMAIN", kEbankDomain);
    a.caDomain = Pick(lookup, "ORVANE_CA_DOMAIN", kCaDomain);
    a.probeUrl = Pick(lookup, "ORVANE_PROBE_URL", kProbeUrl);
    a.updateHost = Pick(lookup, "ORVANE_UPDATE_HOST", kUpdateHost);
    return a;
}

EngineAddresses DefaultEngineAddresses()
{
    return LoadEngineAddresses(nullptr);
}
