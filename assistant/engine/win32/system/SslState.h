// Empties the SSL session cache that the browser shares with the system.
#pragma once

#include "assistant/engine/platform/SslSessionState.h"

class CSslState : public ISslState {
public:
    // Every missing library or entry point is skipped.
    void ClearSslState() override;
};
