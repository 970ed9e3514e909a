// The outside addresses the checks use. Each has its production value and
// one test override (see TestHooks.h) that replaces it:
//   ORVANE_BANK_DOMAIN   the bank's web domain (trusted sites)
//   ORVANE_EBANK_DOMAIN  the e-banking platform's domain (trusted sites)
//   ORVANE_CA_DOMAIN     the certificate authority's domain (trusted sites)
//   ORVANE_PROBE_URL     the address the network probe opens
//   ORVANE_UPDATE_HOST   the update server (host[:port]) of the version file and packages
// They are read once, when the engine is set up at start-up.
#pragma once

#include "assistant/engine/platform/Registry.h"

#include <string>

struct EngineAddresses {
    std::string bankDomain;
    std::string ebankDomain;
    std::string caDomain;
    std::string probeUrl;
    std::string updateHost;
};

extern const char kBankDomain[];
extern const char kEbankDomain[];
extern const char kCaDomain[];
extern const char kProbeUrl[];
extern const char kUpdateHost[];

// The constants with the overrides found in registry; empty ones are ignored.
EngineAddresses LoadEngineAddresses(IRegistry &registry);
EngineAddresses DefaultEngineAddresses();
