#include "assistant/engine/run/EngineAddresses.h"

#include "assistant/engine/run/TestHooks.h"

const char kBankDomain[] = "lanchuanbank.com.cn";
const char kEbankDomain[] = "lanchuan-ebank.com.cn";
const char kCaDomain[] = "lccb-ca.com.cn";
const char kProbeUrl[] = "http://www.163.com/";
const char kUpdateHost[] = "update.lanchuanbank.com.cn";

static std::string Pick(IRegistry *registry, const char *name, const char *fallback)
{
    std::string value = registry ? ReadTestHook(*registry, name) : std::string();
    return value.empty() ? std::string(fallback) : value;
}

static EngineAddresses Load(IRegistry *registry)
{
    EngineAddresses a;
    a.bankDomain = Pick(registry, "ORVANE_BANK_DOMAIN", kBankDomain);
    a.ebankDomain = Pick(registry, "ORVANE_EBANK_DOMAIN", kEbankDomain);
    a.caDomain = Pick(registry, "ORVANE_CA_DOMAIN", kCaDomain);
    a.probeUrl = Pick(registry, "ORVANE_PROBE_URL", kProbeUrl);
    a.updateHost = Pick(registry, "ORVANE_UPDATE_HOST", kUpdateHost);
    return a;
}

EngineAddresses LoadEngineAddresses(IRegistry &registry)
{
    return Load(&registry);
}

EngineAddresses DefaultEngineAddresses()
{
    return Load(nullptr);
}
